// The light edition working on a catalogue the full edition made, and the
// full edition finding everything again afterwards.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "support/list_gestures.h"
#include "journey_fixture.h"

using namespace journey;

namespace {

QString snap(int n)
{
    return QStringLiteral("snap%1.jpg").arg(n);
}

} // namespace

TEST_F(Journey, LightEditionOnAFullCatalogueLosesNothing)
{
    // ---- session 1, full edition: a catalogue with movies, references and additional notes.
    ASSERT_TRUE(QDir().mkpath(data()));
    for (int n = 1; n <= 7; ++n)
        picture(data(snap(n)), QColor::fromHsv(n * 45, 200, 200));
    touch(data("snap2.avi"), "movie");
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, dir.path()));
    ctl(*window).Create_database->click();
    const QString path = dir.file("new.mdb");
    open(path);
    ASSERT_TRUE(window->session().db_open());
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, data()));
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "7 pictures processed. 7 loaded. No Errors found.");
    EXPECT_EQ(field("movfile", snap(2)).toString(), "snap2.avi");
    ctl(*window).mnuRefresh->trigger();
    ASSERT_NE(testsupport::open_note_editor(*window, 2), nullptr);
    editor()->lbl_note->selectAll();
    QTest::keyClicks(editor()->lbl_note, "river bend");
    QTest::keyClicks(editor()->Text2, "ref two");
    QTest::keyClicks(editor()->Text1, "the full edition's own note");
    editor()->Command1->click();
    settle();
    const QVariant full_reference = field("reference", snap(2));
    const QVariant full_addnote = field("addnote", snap(2));
    ASSERT_EQ(full_reference.toString(), "ref two");
    ASSERT_TRUE(full_addnote.toString().startsWith("{\\rtf"));
    ctl(*window).mnuDb->trigger();

    // ---- session 2, light edition.
    restart(Edition::light());
    dialogs->asked.clear();
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("message"), 0);   // no upgrade question, nothing missing
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    expect_consistent(7);
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 2");
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(cell_shows_picture(i)) << i;
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "river bend");
    EXPECT_EQ(ctl(*window).lbl_fileName[2]->text(), "avi");
    ctl(*window).go_right->click();
    EXPECT_EQ(page_numbers(), QStringList{"7"});
    ctl(*window).bof->click();
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 2");

    // A single load from the data folder, with a note typed in.
    picture(data("late.jpg"), Qt::blue);
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, data()));
    const int late = int(ctl(*window).Fil_ImportFile->names().indexOf("late.jpg"));
    ASSERT_GE(late, 0);
    testsupport::double_click_row(ctl(*window).Fil_ImportFile, late);
    ASSERT_TRUE(ctl(*window).cmd_OK->isEnabled());
    ctl(*window).Txt_Notes->setText("came later");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    EXPECT_EQ(ctl(*window).lbl_load_picture->text(), "Pic# 8 at the pag# 2.");
    expect_consistent(8);
    EXPECT_EQ(field("note", "late.jpg").toString(), "came later");
    for (const char* column : {"reference", "addnote", "inoutpic", "dbpic"})
        EXPECT_FALSE(field(column, "late.jpg").isValid()) << column;

    // A note edit writes the note only.
    ctl(*window).SSTab_main->setCurrentIndex(0);
    ASSERT_NE(testsupport::open_note_editor(*window, 2), nullptr);
    EXPECT_EQ(editor()->lbl_note->Text(), "river bend");
    type_at_end(editor()->lbl_note, " in autumn");
    editor()->Command1->click();
    settle();
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "river bend in autumn");
    EXPECT_EQ(note_text(snap(2)), "river bend in autumn");
    EXPECT_EQ(field("reference", snap(2)), full_reference);
    EXPECT_EQ(field("addnote", snap(2)), full_addnote);
    EXPECT_EQ(field("movfile", snap(2)).toString(), "snap2.avi");

    // Compact: the catalogue is rewritten and left closed.
    ctl(*window).compact_database->click();
    EXPECT_EQ(window->message_text(), "Database compacted, now you can open the database.");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_FALSE(QFileInfo::exists(dir.file("NewCmpctDB.mdb")));
    expect_usable();
    open(path);
    ASSERT_TRUE(window->session().db_open());
    expect_consistent(8);
    ctl(*window).mnuDb->trigger();

    // ---- session 3, full edition: nothing was lost.
    restart(Edition::enhanced());
    dialogs->asked.clear();
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("message"), 0);
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    expect_consistent(8);
    QStringList expected;
    for (int n = 1; n <= 7; ++n)
        expected << snap(n);
    expected << "late.jpg";
    EXPECT_EQ(order(), expected);
    EXPECT_EQ(note_text(snap(2)), "river bend in autumn");
    EXPECT_EQ(field("reference", snap(2)), full_reference);
    EXPECT_EQ(field("addnote", snap(2)), full_addnote);
    EXPECT_EQ(field("movfile", snap(2)).toString(), "snap2.avi");
    EXPECT_EQ(field("note", "late.jpg").toString(), "came later");
    EXPECT_EQ(ctl(*window).Text34[2]->text(), "ref two");
    EXPECT_EQ(ctl(*window).Text18[2]->Text(), "the full edition's own note");
    search_names("late");
    EXPECT_EQ(found(), QStringList{"8"});
    expect_usable();
}

TEST_F(Journey, ALightCatalogueUpgradedByTheFullEditionStillOpensInTheLight)
{
    // ---- the light edition makes and fills a catalogue.
    restart(Edition::light());
    ASSERT_TRUE(QDir().mkpath(data()));
    for (int n = 1; n <= 8; ++n)
        picture(data(snap(n)), QColor::fromHsv(n * 40, 200, 200));
    touch(data("snap3.avi"), "movie");
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, dir.path()));
    ctl(*window).Create_database->click();
    EXPECT_EQ(window->message_text(), "Database created.");
    const QString path = dir.file("new.mdb");
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->session().db_conn()->column_count(), 5);
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, data()));
    ctl(*window).load_pictures->click();
    expect_consistent(8);
    EXPECT_EQ(field("movfile", snap(3)).toString(), "snap3.avi");
    ctl(*window).mnuDb->trigger();

    // ---- the full edition upgrades it on Yes and adds what only it has.
    restart(Edition::enhanced());
    dialogs->asked.clear();
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->messages(), QStringList{"Detected an old version of database file, update it?"});
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    expect_consistent(8);
    ASSERT_NE(testsupport::open_note_editor(*window, 3), nullptr);
    QTest::keyClicks(editor()->Text2, "harbour");
    editor()->Command1->click();
    settle();
    EXPECT_EQ(field("reference", snap(3)).toString(), "harbour");
    ctl(*window).Text15->setText("1");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    expect_consistent(7);
    ctl(*window).mnuDb->trigger();

    // ---- the light edition opens the wider file as it is and keeps its fields.
    restart(Edition::light());
    dialogs->asked.clear();
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("message"), 0);
    expect_consistent(7);
    EXPECT_EQ(ctl(*window).lbl_filePic[2]->text(), snap(3));
    ASSERT_TRUE(write_note(2, "boats"));
    EXPECT_EQ(note_text(snap(3)), "boats");
    EXPECT_EQ(field("reference", snap(3)).toString(), "harbour");
    ctl(*window).renumber_pages->click();
    expect_consistent(7);
    EXPECT_EQ(ctl(*window).lbl_filePic[1]->text(), snap(2));
    EXPECT_EQ(field("reference", snap(3)).toString(), "harbour");
    expect_usable();
}

TEST_F(Journey, ACatalogueScrambledByAPasswordChangeOpensInBothEditions)
{
    const QString path = make_with_files(7, store::Schema::Full, {30, 20}, "old");
    dialogs->passwords = {"old"};
    open(path);
    ASSERT_TRUE(window->session().db_open());

    // No new password, "encrypt" ticked: scrambled, no prompt any more.
    ctl(*window).Check4->setChecked(true);
    ctl(*window).Command1->click();
    EXPECT_EQ(window->message_text(), "Database password changed.");
    EXPECT_EQ(store::probe_file(path), store::FileProbe::MaybeEncrypted);
    restart(Edition::enhanced());
    dialogs->asked.clear();
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
    expect_consistent(7);
    ctl(*window).mnuDb->trigger();

    // The light edition opens, edits and compacts it; it stays scrambled.
    restart(Edition::light());
    open(path);
    ASSERT_TRUE(window->session().db_open());
    expect_consistent(7);
    ASSERT_TRUE(add_to_note(1, " light"));
    ctl(*window).compact_database->click();
    EXPECT_EQ(window->message_text(), "Database compacted, now you can open the database.");
    EXPECT_EQ(store::probe_file(path), store::FileProbe::MaybeEncrypted);

    restart(Edition::enhanced());
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
    expect_consistent(7);
    EXPECT_EQ(note_text(testsupport::picture_name(1)), "note 1 light");
    expect_usable();
}
