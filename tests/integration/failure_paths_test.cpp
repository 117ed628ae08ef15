// Things going wrong across subsystems: files vanishing under the window,
// a catalogue turned read-only between sessions, stops and Esc in the middle
// of long actions. After each the window takes input again and the
// catalogue is whole.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "support/list_gestures.h"
#include "journey_fixture.h"

using namespace journey;
using testsupport::picture_name;

namespace {

class FailurePaths : public InEachEdition<Journey> {
protected:
    // A catalogue of n pictures (pic001.jpg ...) with their files, opened.
    QString open_catalogue(int n)
    {
        const QString path = make_with_files(n, schema());
        open(path);
        EXPECT_TRUE(window->session().db_open());
        return path;
    }

    // The page of a search grid's row, its cell selected: through the
    // details panel's "Display Page", or straight from the grid without one.
    void show_page_of_row(int row)
    {
        pick_row(ctl(*window).MSFlexGrid1, row);
        if (!light())
            ctl(*window).display_page->click();
    }

    auto viewers() const { return testsupport::note_windows(*window, NoteMode::View); }
};

} // namespace

TEST_P(FailurePaths, APictureFileDeletedWhileBrowsingAndZooming)
{
    open_catalogue(13);
    ASSERT_EQ(dialogs->count("message"), 0);
    testsupport::double_click_cell(*window, 2);
    ASSERT_TRUE(testsupport::last_zoom());
    QPointer<frmZoom> zoom = testsupport::last_zoom();
    ASSERT_TRUE(wait_for_zoom());
    EXPECT_FALSE(zoom->failed());
    expect_usable();

    // The file goes while its zoom window is open: the next redraw says so
    // and closes that window only.
    ASSERT_TRUE(QFile::remove(data(picture_name(2))));
    QTest::keyClick(zoom, '.');
    EXPECT_EQ(dialogs->messages(), QStringList{"Picture file not found."});
    settle();
    EXPECT_TRUE(zoom.isNull());
    EXPECT_EQ(zoom_windows_shown(), 0);
    expect_usable();

    // Zooming it again from the page, by the picture or its type label.
    testsupport::double_click_cell(*window, 2);
    QTest::mouseClick(ctl(*window).Label7[2], Qt::LeftButton);
    settle();
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), 3);
    EXPECT_EQ(zoom_windows_shown(), 0);
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    expect_usable();

    // Other pictures still zoom.
    testsupport::double_click_cell(*window, 3);
    EXPECT_EQ(zoom_windows_shown(), 1);
    close_zoom_windows();

    // Browsing away and back: the page shows, the missing cell is empty.
    ctl(*window).go_right->click();
    EXPECT_EQ(page_numbers(), (QStringList{"7", "8", "9", "10", "11", "12"}));
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), 3);
    ctl(*window).go_left->click();
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), 4);
    EXPECT_EQ(page_numbers(), (QStringList{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(ctl(*window).lbl_filePic[2]->text(), picture_name(2));
    EXPECT_FALSE(cell_shows_picture(2));
    EXPECT_EQ(ctl(*window).im[2]->toolTip(), "Picture file not found.");
    for (int i : {1, 3, 4, 5, 6})
        EXPECT_TRUE(cell_shows_picture(i)) << i;
    EXPECT_TRUE(ctl(*window).go_right->isEnabled());
    expect_usable();

    // A file of the page shown goes too; its note can still be edited.
    ASSERT_TRUE(QFile::remove(data(picture_name(5))));
    ASSERT_TRUE(add_to_note(5, " (file lost)"));
    EXPECT_EQ(note_text(picture_name(5)), "note 5 (file lost)");

    // The search finds it and shows its page; the details panel says the file is gone.
    ctl(*window).SSTab_main->setCurrentIndex(1);
    search_names("pic002");
    show_page_of_row(0);
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), light() ? 4 : 5);
    if (!light()) {
        EXPECT_EQ(ctl(*window).Text29->text(), picture_name(2));
    }
    EXPECT_EQ(testsupport::white_cell(*window), 2);

    // The user drops the lost picture from the catalogue.
    ctl(*window).Text15->setText("2");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    expect_consistent(12);
    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(ctl(*window).lbl_filePic[2]->text(), picture_name(3));
    expect_usable();
}

TEST_P(FailurePaths, ACatalogueMadeReadOnlyBetweenTwoSessions)
{
    // Session 1 writes a note and closes.
    const QString path = open_catalogue(8);
    ASSERT_TRUE(add_to_note(1, " first session"));
    ctl(*window).mnuDb->trigger();
    make_read_only(path);
    const QByteArray before = testsupport::read_all(path);
    const QStringList files_before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    // Session 2 can look, search and zoom, but writes nothing.
    restart(edition());
    dialogs->asked.clear();
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(2));
    EXPECT_EQ(ctl(*window).lbl_note[1]->Text(), "note 1 first session");
    ctl(*window).eof->click();
    EXPECT_EQ(page_numbers(), (QStringList{"7", "8"}));
    testsupport::click_cell(*window, 2);
    testsupport::type_keypad(*window, '1');
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_EQ(editor(), nullptr);
    testsupport::double_click_note(*window, 2);
    EXPECT_EQ(editor(), nullptr);
    ASSERT_EQ(viewers().size(), 1u);
    EXPECT_EQ(viewers().front()->lbl_note->Text(), "note 8");
    viewers().front()->window->close();
    testsupport::type_keypad(*window, '1');   // the keypad's "edit note"
    EXPECT_EQ(editor(), nullptr);
    testsupport::double_click_cell(*window, 2);
    EXPECT_EQ(zoom_windows_shown(), 1);
    close_zoom_windows();
    ctl(*window).SSTab_main->setCurrentIndex(1);
    search_names("pic00");
    EXPECT_EQ(window->message_text(), "8 records selected.");
    search_notes("first session");
    EXPECT_EQ(found(), QStringList{"1"});
    show_page_of_row(0);
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_EQ(testsupport::white_cell(*window), 1);
    // Nothing that writes is offered.
    for (QWidget* w : std::initializer_list<QWidget*>{ctl(*window).renumber_pages, ctl(*window).delete_picture,
                                                      ctl(*window).exchange_picture, ctl(*window).insert_picture,
                                                      ctl(*window).load_pictures, ctl(*window).Command1}) {
        if (w) {   // the light edition has no password change
            EXPECT_FALSE(w->isEnabled());
        }
    }
    // Were the buttons left enabled, their clicks would still write nothing.
    ctl(*window).renumber_pages->setEnabled(true);
    ctl(*window).renumber_pages->click();
    ctl(*window).Text15->setText("1");
    ctl(*window).delete_picture->setEnabled(true);
    ctl(*window).delete_picture->click();
    expect_consistent(8);
    expect_usable();
    ctl(*window).mnuDb->trigger();

    // Renumbering at open is refused too.
    ctl(*window).mnuDbRnm->trigger();
    ASSERT_TRUE(ctl(*window).mnuDbRnm->isChecked());
    open(path);
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_FALSE(window->session().db_open());
    ctl(*window).mnuDbRnm->trigger();
    EXPECT_EQ(testsupport::read_all(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files_before);
    EXPECT_EQ(dialogs->count("message"), 0) << dialogs->messages().join(" | ").toStdString();

    // Session 3, writable again: editing works as before.
    ::chmod(QFile::encodeName(path).constData(), 0644);
    restart(edition());
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(2));
    ctl(*window).Text15->setText("8");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    expect_consistent(7);
    EXPECT_EQ(note_text(picture_name(1)), "note 1 first session");
    expect_usable();
}

TEST_P(FailurePaths, AStopDuringABatchLoadThenARenumbering)
{
    const QString path = open_catalogue(5);
    // Twenty new pictures, placed in the data folder and waiting in another.
    testsupport::TempDir incoming;
    for (int n = 1; n <= 20; ++n) {
        const QString name = QStringLiteral("b%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
        picture(incoming.file(name), QColor::fromHsv(n * 15, 200, 200), 24, 16);
        ASSERT_TRUE(QFile::copy(incoming.file(name), data(name)));
    }
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, incoming.path()));
    window->session().busy().request_stop(ui::StopRequest::ProgressBar);   // an old click does not stop the new run
    when_bar_reaches(8, [this] { click_progress_bar(); },
                     [this] { return window->message_text().startsWith("File length verification phase 1/2 passed."); });
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "File loading stopped.");
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    expect_consistent(13);
    EXPECT_EQ(order().mid(5), (QStringList{"b01.jpg", "b02.jpg", "b03.jpg", "b04.jpg", "b05.jpg", "b06.jpg",
                                          "b07.jpg", "b08.jpg"}));
    expect_usable();

    // Renumbering puts them in name order; page 1 shows the first six.
    ctl(*window).renumber_pages->click();
    expect_consistent(13);
    EXPECT_EQ(order().front(), "b01.jpg");
    EXPECT_EQ(order().back(), picture_name(5));
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 3");
    EXPECT_EQ(ctl(*window).lbl_filePic[1]->text(), "b01.jpg");
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    expect_usable();

    // A stop during a renumbering leaves the numbers as they were.
    ASSERT_FALSE(window->session().db_conn()->exec("UPDATE demopicture SET numpic = 100 + numpic"));
    ASSERT_FALSE(window->session().db_conn()->exec("UPDATE demopicture SET numpic = 114 - numpic"));   // reversed, pages kept
    const QStringList reversed = rows();
    when_bar_reaches(3, [this] { click_progress_bar(); });
    ctl(*window).renumber_pages->click();
    EXPECT_EQ(window->message_text(), "Renumbering stopped.");
    EXPECT_EQ(rows(), reversed);
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    expect_usable();
    ctl(*window).renumber_pages->click();
    expect_consistent(13);
    EXPECT_EQ(order().front(), "b01.jpg");

    // The rest of the folder loads in a new run; the first eight are duplicates now.
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "20 pictures processed. 12 loaded. There are errors.");
    expect_consistent(25);
    ctl(*window).mnuDb->trigger();
    open(path);
    expect_consistent(25);
    EXPECT_EQ(dialogs->count("message"), 0) << dialogs->messages().join(" | ").toStdString();
    expect_usable();
}

TEST_P(FailurePaths, EscDuringANoteSearch)
{
    open_catalogue(40);
    const QStringList before = rows();
    ctl(*window).SSTab_main->setCurrentIndex(1);
    ctl(*window).SSTab_search->setCurrentIndex(1);
    ctl(*window).Text4->setText("note");
    window->session().busy().request_stop(ui::StopRequest::Esc);   // an old Esc does not stop the new search
    when_bar_reaches(10, [this] { press_esc(); });
    ctl(*window).refresh_grid->click();
    const int found = grid(ctl(*window).MSFlexGrid1)->rowCount();
    EXPECT_GT(found, 0);
    EXPECT_LT(found, 40);
    EXPECT_EQ(window->message_text(), QStringLiteral("%1 records selected.").arg(found));
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::Esc));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_TRUE(ctl(*window).SSTab_main->isEnabled());
    EXPECT_TRUE(ctl(*window).refresh_grid->isEnabled());
    EXPECT_FALSE(ctl(*window).Text4->isReadOnly());
    EXPECT_FALSE(window->session().busy().search_running());
    expect_usable();

    // What was found is usable: a row shows its page.
    const QString number = grid(ctl(*window).MSFlexGrid1)->text(found - 1, 0);
    show_page_of_row(found - 1);
    ASSERT_GT(testsupport::white_cell(*window), 0);
    EXPECT_EQ(ctl(*window).Label5[size_t(testsupport::white_cell(*window))]->text(), number);

    // The Esc stops nothing that starts later: the update pass and a new search run through.
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, data()));
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures completed, no updates made.");
    ctl(*window).SSTab_main->setCurrentIndex(1);
    search_notes("note");
    EXPECT_EQ(grid(ctl(*window).MSFlexGrid1)->rowCount(), 40);
    EXPECT_EQ(rows(), before);
    expect_consistent(40);
    expect_usable();
}

TEST_P(FailurePaths, AProtectedCatalogueMadeReadOnlyStillAsksAndOnlyShows)
{
    const QString path = make_with_files(7, schema(), {30, 20}, "secret");
    make_read_only(path);
    const QByteArray before = testsupport::read_all(path);
    if (light()) {
        // No passwords here: refused with a message, nothing asked or written.
        open(path);
        EXPECT_FALSE(window->session().db_open());
        EXPECT_EQ(dialogs->count("password"), 0);
        EXPECT_TRUE(window->message_text().contains("password")) << window->message_text().toStdString();
        EXPECT_EQ(testsupport::read_all(path), before);
        expect_usable();
        return;
    }
    dialogs->passwords = {"wrong", "secret"};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 2);
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_FALSE(ctl(*window).Command1->isEnabled());
    change_password(*window, "x");
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_TRUE(window->session().db_open());
    ctl(*window).eof->click();
    EXPECT_EQ(page_numbers(), QStringList{"7"});
    EXPECT_TRUE(cell_shows_picture(1));
    expect_consistent(7);
    ctl(*window).mnuDb->trigger();
    EXPECT_EQ(testsupport::read_all(path), before);
    expect_usable();
}

TEST_P(FailurePaths, APasswordChangeOrCompactionInAFolderThatCannotBeWrittenSaysSoAndKeepsTheCatalogue)
{
    const QString path = open_catalogue(7);
    const QByteArray before = testsupport::read_all(path);
    const auto copy = [this] {
        if (light())
            return ctl(*window).compact_database->click();
        change_password(*window, "new");
    };
    // The folder was made read-only after the open: no copy can be made there.
    ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
    copy();
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(window->message_text(), "Error 75 - The folder " + dir.path() +
                                          " cannot be written: no temporary copy of the catalogue can be made there. "
                                          "Nothing was changed.");
    EXPECT_EQ(testsupport::read_all(path), before);
    EXPECT_FALSE(QFileInfo::exists(dir.file("NewCmpctDB.mdb")));
    // Still open for writing; the copy is made once the folder takes it.
    ASSERT_TRUE(window->session().db_open());
    EXPECT_FALSE(window->session().db_read_only());
    EXPECT_TRUE((light() ? ctl(*window).compact_database : ctl(*window).Command1)->isEnabled());
    copy();
    EXPECT_EQ(window->message_text(),
              light() ? "Database compacted, now you can open the database." : "Database password changed.");
    expect_usable();
}

INSTANTIATE_TEST_SUITE_P(Editions, FailurePaths, ::testing::Bool(), edition_name);
