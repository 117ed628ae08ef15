// The main window's note entry points and the save, on real catalogues.
#include "support/page_gestures.h"
#include "support/window_fixture.h"

#include "notes/frm_note.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_text_box.h"

#include <QCoreApplication>
#include <QTest>

#include <sys/stat.h>

using namespace mosswick;
using store::Row;
using testsupport::click;

namespace {

class NoteEntryTest : public WindowTest {
protected:
    // A catalogue of pictures with files, its file given the mode, opened on page 1.
    void open_catalogue(int pictures = 13, store::Schema schema = store::Schema::Full, mode_t file_mode = 0644)
    {
        testsupport::CatalogueSpec spec;
        spec.write_files = true;
        spec.schema = schema;
        path = make(pictures, spec);
        ::chmod(QFile::encodeName(path).constData(), file_mode);
        open(path);
        ASSERT_TRUE(window->session().db_open());
    }

    Row row(qint64 numpic) const
    {
        store::Error error;
        const std::optional<Row> r = window->session().db_conn()->find_row(numpic, error);
        EXPECT_FALSE(error) << error.text.toStdString();
        EXPECT_TRUE(r.has_value()) << numpic;
        return r.value_or(Row{});
    }

    const testsupport::NoteControls* editor() const { return testsupport::note_editor(*window); }

    auto viewers() const { return testsupport::note_windows(*window, NoteMode::View); }

    // Deletes windows that closed (they delete themselves later).
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void TearDown() override
    {
        if (!path.isEmpty())
            ::chmod(QFile::encodeName(path).constData(), 0644);
    }

    QString path;
};

// ---- entry points ---------------------------------------------------------------

TEST_F(NoteEntryTest, WithoutASelectedCellNothingOpens)
{
    open_catalogue();
    window->set_message({});
    EXPECT_FALSE(testsupport::type_keypad(*window, '1'));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(testsupport::type_keypad(*window, '2'));
    EXPECT_TRUE(viewers().empty());
    EXPECT_EQ(window->message_text(), "");
    expect_usable();
}

TEST_F(NoteEntryTest, EditOpensTheSharedModalEditorForTheSelectedCell)
{
    open_catalogue();
    testsupport::click_cell(*window, 5);
    testsupport::click_cell(*window, 2);   // the cell selected last is the one edited
    EXPECT_TRUE(testsupport::type_keypad(*window, '1'));
    const auto* w = editor();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->window->windowTitle(), "Note for pic002.jpg");
    EXPECT_EQ(w->window->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(w->window->isVisible());
    EXPECT_EQ(w->window->mode(), NoteMode::Edit);
    EXPECT_EQ(w->lbl_note->Text(), "note 2");

    // Asking again while it is open gives the same window.
    testsupport::type_keypad(*window, '1');
    EXPECT_EQ(editor(), w);
    EXPECT_EQ(window->findChildren<frmNote*>().size(), 1);
    w->Command2->click();
}

TEST_F(NoteEntryTest, OkWritesExactlyTheThreeNoteFieldsOfThatRow)
{
    open_catalogue();
    const Row before1 = row(1);
    const Row before3 = row(3);
    const auto* w = testsupport::open_note_editor(*window, 2);
    ASSERT_NE(w, nullptr);
    w->lbl_note->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->lbl_note, " edited");
    w->Text2->setText("ref two");
    QTest::keyClicks(w->Text1, "more");
    w->Command1->click();
    settle();

    const Row r = row(2);
    EXPECT_EQ(richtext::extract_plain_text(r.value(store::col_note).toString()), "note 2 edited");
    EXPECT_TRUE(r.value(store::col_note).toString().startsWith("{\\rtf"));
    EXPECT_EQ(r.value(store::col_reference).toString(), "ref two");
    EXPECT_EQ(richtext::extract_plain_text(r.value(store::col_addnote).toString()), "more");
    EXPECT_FALSE(r.value(store::col_movfile).isValid());
    EXPECT_EQ(r.value(store::col_picfile).toString(), "pic002.jpg");
    EXPECT_EQ(r.value(store::col_numpage).toLongLong(), 1);
    EXPECT_FALSE(r.value(store::col_inoutpic).isValid());
    EXPECT_EQ(row(1).values, before1.values);
    EXPECT_EQ(row(3).values, before3.values);

    // The page shows the new texts without a reload.
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "note 2 edited");
    EXPECT_EQ(ctl(*window).Text34[2]->text(), "ref two");
    EXPECT_EQ(ctl(*window).Text18[2]->Text(), "more");
    EXPECT_EQ(editor(), nullptr);
    expect_usable();

    // A second edit starts from what was saved.
    testsupport::type_keypad(*window, '1');
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->lbl_note->Text(), "note 2 edited");
    EXPECT_EQ(editor()->Text2->text(), "ref two");
    editor()->Command2->click();
}

TEST_F(NoteEntryTest, OkWithNothingChangedKeepsTheStoredValuesExactly)
{
    open_catalogue();
    const Row before = row(4);
    ASSERT_FALSE(before.value(store::col_reference).isValid());
    ASSERT_NE(testsupport::open_note_editor(*window, 4), nullptr);
    editor()->Command1->click();
    const Row after = row(4);
    EXPECT_EQ(after.value(store::col_note).toString(), "note 4");   // still plain text
    EXPECT_FALSE(after.value(store::col_reference).isValid());      // still Null
    EXPECT_FALSE(after.value(store::col_addnote).isValid());
    EXPECT_EQ(after.values, before.values);
}

TEST_F(NoteEntryTest, EmptiedBoxesAreSavedEmpty)
{
    open_catalogue();
    ASSERT_FALSE(window->session().db_conn()->update_fields(1, {{store::col_reference, QStringLiteral("r1")}}));
    testsupport::type_page(*window, 1);
    ASSERT_NE(testsupport::open_note_editor(*window, 1), nullptr);
    click(editor()->Label27);   // clear note
    editor()->Command1->click();
    const Row r = row(1);
    EXPECT_EQ(richtext::extract_plain_text(r.value(store::col_note).toString()), "");
    EXPECT_TRUE(r.value(store::col_note).isValid());
    EXPECT_EQ(r.value(store::col_reference).toString(), "");
    EXPECT_TRUE(r.value(store::col_reference).isValid());
}

// In both editions (light: true), Null fields emptied by "Clear note" stay Null.
class ClearedNullNotes : public NoteEntryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ClearedNullNotes, StayNullThoughTextWasTypedFirst)
{
    const bool light = GetParam();
    if (light)
        start(Edition::light());
    ASSERT_NO_FATAL_FAILURE(open_catalogue(3, light ? store::Schema::Light : store::Schema::Full));
    ASSERT_FALSE(window->session().db_conn()->update_fields(2, {{store::col_note, QVariant()}}));
    testsupport::type_page(*window, 1);
    const auto* w = testsupport::open_note_editor(*window, 2);
    ASSERT_NE(w, nullptr);
    QTest::keyClicks(w->lbl_note, "typed");
    if (!light)
        QTest::keyClicks(w->Text1, "more");
    click(w->Label27);   // clear note
    w->Command1->click();
    settle();
    const Row r = row(2);
    EXPECT_FALSE(r.value(store::col_note).isValid());
    if (!light) {
        EXPECT_FALSE(r.value(store::col_reference).isValid());
        EXPECT_FALSE(r.value(store::col_addnote).isValid());
    }
    // A field that held text and was emptied holds an empty text.
    ASSERT_NE(testsupport::open_note_editor(*window, 1), nullptr);
    click(editor()->Label27);
    editor()->Command1->click();
    EXPECT_TRUE(row(1).value(store::col_note).isValid());
    EXPECT_EQ(richtext::extract_plain_text(row(1).value(store::col_note).toString()), "");
}

INSTANTIATE_TEST_SUITE_P(Editions, ClearedNullNotes, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Light" : "Full"; });

TEST_F(NoteEntryTest, CancelEscAndTheCloseBoxWriteNothing)
{
    open_catalogue();
    const Row before = row(3);
    for (size_t way = 0; way < testsupport::leave_without_ok.size(); ++way) {
        const auto* w = testsupport::open_note_editor(*window, 3);
        ASSERT_NE(w, nullptr);
        w->lbl_note->setText("discard me");
        w->Text2->setText("discard");
        testsupport::leave_without_ok[way](*w);
        settle();
        EXPECT_EQ(editor(), nullptr) << way;
        EXPECT_EQ(row(3).values, before.values) << way;
        EXPECT_EQ(ctl(*window).lbl_note[3]->Text(), "note 3") << way;
        EXPECT_EQ(ctl(*window).Text34[3]->text(), "") << way;
        expect_usable();
    }
}

TEST_F(NoteEntryTest, TheKeypadOpensTheEditorWithOneAndAViewerWithTwo)
{
    open_catalogue();
    testsupport::click_cell(*window, 3);
    EXPECT_TRUE(testsupport::type_keypad(*window, '1'));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->lbl_note->Text(), "note 3");
    editor()->Command2->click();
    settle();

    EXPECT_TRUE(testsupport::type_keypad(*window, '2'));
    ASSERT_EQ(viewers().size(), 1u);
    EXPECT_EQ(viewers().front()->lbl_note->Text(), "note 3");
    EXPECT_EQ(viewers().front()->window->windowTitle(), "Note for pic003.jpg");
}

TEST_F(NoteEntryTest, ViewersAreModelessCopiesThatDoNotFollowLaterEdits)
{
    open_catalogue();
    testsupport::click_cell(*window, 1);
    testsupport::type_keypad(*window, '2');
    EXPECT_EQ(editor(), nullptr);
    testsupport::type_keypad(*window, '2');
    ASSERT_EQ(viewers().size(), 2u);
    for (const auto* v : viewers()) {
        EXPECT_EQ(v->window->windowTitle(), "Note for pic001.jpg");
        EXPECT_EQ(v->window->windowModality(), Qt::NonModal);
        EXPECT_EQ(v->lbl_note->Text(), "note 1");
        EXPECT_TRUE(v->lbl_note->Locked());
    }

    testsupport::type_keypad(*window, '1');
    ASSERT_NE(editor(), nullptr);
    editor()->lbl_note->setText("");
    QTest::keyClicks(editor()->lbl_note, "new text");
    editor()->Command1->click();
    settle();
    for (const auto* v : viewers())
        EXPECT_EQ(v->lbl_note->Text(), "note 1");

    testsupport::type_keypad(*window, '2');
    ASSERT_EQ(viewers().size(), 3u);
    int showing_new = 0;
    for (const auto* v : viewers())
        showing_new += v->lbl_note->Text() == "new text";
    EXPECT_EQ(showing_new, 1);

    // Each viewer closes on its own.
    const auto* first = viewers().front();
    QTest::keyClick(first->lbl_note, '2');
    settle();
    EXPECT_EQ(viewers().size(), 2u);
}

TEST_F(NoteEntryTest, DoubleClicksOnEitherNoteBoxOpenTheEditorDirectly)
{
    open_catalogue();
    testsupport::click_cell(*window, 5);
    testsupport::double_click_note(*window, 5);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->window->windowTitle(), "Note");
    editor()->Command2->click();
    settle();

    testsupport::double_click_addnote(*window, 6);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->lbl_note->Text(), "note 6");
    editor()->Text2->setText("six");
    editor()->Command1->click();
    EXPECT_EQ(row(6).value(store::col_reference).toString(), "six");

    // An empty cell has nothing to open.
    ctl(*window).go_right->click();
    ctl(*window).go_right->click();
    ASSERT_EQ(testsupport::cells_shown(*window), 1);
    testsupport::double_click_note(*window, 4);
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(NoteEntryTest, ADoubleClickOnACellsNoteBoxOpensItsEditor)
{
    open_catalogue();
    window->show();
    // A double-click starts with a click, which selects the cell.
    QTest::mouseClick(ctl(*window).lbl_note[4]->viewport(), Qt::LeftButton);
    QTest::mouseDClick(ctl(*window).lbl_note[4]->viewport(), Qt::LeftButton);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(testsupport::white_cell(*window), 4);
    // Opened this way the window keeps its design caption.
    EXPECT_EQ(editor()->window->windowTitle(), "Note");
    EXPECT_EQ(editor()->lbl_note->Text(), "note 4");
    editor()->Command2->click();
    expect_usable();
}

TEST_F(NoteEntryTest, AReadOnlyCatalogueOnlyShowsNotes)
{
    ASSERT_NO_FATAL_FAILURE(open_catalogue(8, store::Schema::Full, 0444));
    ASSERT_TRUE(window->session().db_read_only());
    const Row before = row(1);

    testsupport::click_cell(*window, 1);
    EXPECT_TRUE(testsupport::type_keypad(*window, '1'));
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(viewers().empty());

    window->set_message({});
    testsupport::double_click_note(*window, 1);
    EXPECT_EQ(editor(), nullptr);
    ASSERT_EQ(viewers().size(), 1u);
    EXPECT_EQ(viewers().front()->lbl_note->Text(), "note 1");
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");

    window->set_message({});
    testsupport::double_click_addnote(*window, 1);
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_EQ(viewers().size(), 1u);

    testsupport::type_keypad(*window, '2');
    EXPECT_EQ(viewers().size(), 2u);
    EXPECT_EQ(row(1).values, before.values);
    expect_usable();
}

// ---- faults the save guards against -------------------------------------------------

TEST_F(NoteEntryTest, ARowChangedMeanwhileIsNotWrittenAndTheUserIsToldToRefresh)
{
    open_catalogue();
    const auto* w = testsupport::open_note_editor(*window, 1);
    ASSERT_NE(w, nullptr);
    ASSERT_FALSE(window->session().db_conn()->update_fields(1, {{store::col_picfile, QStringLiteral("other.jpg")}}));
    const Row before = row(1);
    w->lbl_note->setText("my edit");
    w->Command1->click();

    ASSERT_EQ(dialogs->messages().size(), 1);
    EXPECT_TRUE(dialogs->messages().front().contains("Refresh")) << dialogs->messages().front().toStdString();
    EXPECT_EQ(dialogs->asked.back().title, "Error");
    EXPECT_EQ(row(1).values, before.values);
    EXPECT_EQ(ctl(*window).lbl_note[1]->Text(), "note 1");
    // The editor stays open with the user's text.
    EXPECT_EQ(editor(), w);
    EXPECT_EQ(w->lbl_note->Text(), "my edit");
    expect_usable();
    w->Command2->click();
    settle();
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(NoteEntryTest, APageChangedUnderTheEditorWritesNeitherRow)
{
    open_catalogue();
    const auto* w = testsupport::open_note_editor(*window, 1);
    ASSERT_NE(w, nullptr);
    ctl(*window).go_right->click();   // cell 1 now shows picture 7
    ASSERT_EQ(ctl(*window).Label5[1]->text(), "7");
    const Row before1 = row(1);
    const Row before7 = row(7);
    w->lbl_note->setText("meant for picture 1");
    w->Command1->click();
    EXPECT_EQ(row(1).values, before1.values);
    EXPECT_EQ(row(7).values, before7.values);
    EXPECT_EQ(ctl(*window).lbl_note[1]->Text(), "note 7");
    EXPECT_EQ(dialogs->messages().size(), 1);
    EXPECT_EQ(editor(), w);
    w->Command2->click();
}

TEST_F(NoteEntryTest, ADeletedRowOrAClosedCatalogueIsReported)
{
    open_catalogue();
    ASSERT_NE(testsupport::open_note_editor(*window, 2), nullptr);
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("DELETE FROM demopicture WHERE numpic = ?1"), {2}));
    editor()->Command1->click();
    EXPECT_EQ(dialogs->messages().size(), 1);
    EXPECT_NE(editor(), nullptr);
    editor()->Command2->click();
    settle();

    ASSERT_NE(testsupport::open_note_editor(*window, 3), nullptr);
    const auto* w = editor();
    ctl(*window).mnuDb->trigger();   // closes the catalogue under the editor
    ASSERT_FALSE(window->session().db_open());
    w->Command1->click();
    EXPECT_EQ(dialogs->messages().size(), 2);
    EXPECT_EQ(dialogs->messages().back(), "The note was not saved: no catalogue is open.");
    w->Command2->click();
    expect_usable();
}

TEST_F(NoteEntryTest, AFailedWriteIsReportedAndTheEditCanBeSavedLater)
{
    open_catalogue();
    const auto* w = testsupport::open_note_editor(*window, 1);
    ASSERT_NE(w, nullptr);
    w->Text2->setText("kept reference");

    // Another connection holds the write lock: the save cannot write.
    store::Error error;
    auto other = store::Connection::open(path, QString(), error);
    ASSERT_TRUE(other) << error.text.toStdString();
    ASSERT_FALSE(other->begin_savepoint());
    ASSERT_FALSE(other->exec(QStringLiteral("UPDATE demopicture SET movfile = 'x.avi' WHERE numpic = ?1"), {5}));
    w->Command1->click();
    ASSERT_EQ(dialogs->messages().size(), 1);
    EXPECT_TRUE(dialogs->messages().front().startsWith("Error ")) << dialogs->messages().front().toStdString();
    EXPECT_EQ(window->message_text(), dialogs->messages().front());
    EXPECT_EQ(editor(), w);
    EXPECT_EQ(w->Text2->text(), "kept reference");
    EXPECT_EQ(ctl(*window).Text34[1]->text(), "");
    expect_usable();

    ASSERT_FALSE(other->rollback_savepoint());
    other.reset();
    w->Command1->click();
    settle();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(row(1).value(store::col_reference).toString(), "kept reference");
    EXPECT_EQ(ctl(*window).Text34[1]->text(), "kept reference");
}

} // namespace
