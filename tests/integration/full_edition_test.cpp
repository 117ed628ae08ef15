// The full edition end to end: a catalogue made from nothing, filled,
// browsed, annotated, searched, edited, checked and reopened; and a
// protected catalogue with its pictures stored inside.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "support/list_gestures.h"
#include "journey_fixture.h"
#include "support/grid_clicks.h"

using namespace journey;

namespace {

QString shot(int n)
{
    return QStringLiteral("shot%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

TEST_F(Journey, FullEditionFromNothingToAReopenedCatalogue)
{
    // Fourteen pictures in the future data folder; two with movies, three with notes.
    ASSERT_TRUE(QDir().mkpath(data()));
    for (int n = 1; n <= 14; ++n)
        picture(data(shot(n)), QColor::fromHsv(n * 25, 200, 200));
    touch(data("shot02.avi"), "movie two");
    touch(data("shot05.avi"), "movie five");
    touch(data("shot03.txt"), "sunset over the harbour");
    touch(data("shot08.txt"), "grandmother's garden");
    touch(data("shot13.txt"), "first snow");

    // 1. The loader lists the catalogue's folder; "Create database" makes new.mdb there.
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, dir.path()));
    ctl(*window).Create_database->click();
    EXPECT_EQ(window->message_text(), "Database created.");
    const QString path = dir.file("new.mdb");
    ASSERT_TRUE(QFileInfo::exists(path));
    expect_usable();

    // 2. Open it: empty, so the loader is in front.
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 2);
    EXPECT_EQ(window->session().picture_count(), 0);
    expect_usable();

    // 3. Batch load OUT from the data folder, note files into the notes.
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, data()));
    EXPECT_EQ(ctl(*window).Fil_ImportFile->count(), 14);
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    ctl(*window).OptionFL[0]->click();
    ASSERT_TRUE(ctl(*window).OptionF1[0]->isChecked());
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "14 pictures processed. 14 loaded. No Errors found.");
    EXPECT_EQ(window->ready_text(), "Ready");
    expect_consistent(14);
    EXPECT_EQ(note_text(shot(3)), "sunset over the harbour");
    EXPECT_EQ(note_text(shot(13)), "first snow");
    EXPECT_EQ(field("note", shot(1)).toString(), shot(1));
    // Note files went to the catalogue's folder; the movies stayed, unrecorded.
    EXPECT_TRUE(QFileInfo::exists(dir.file("shot03.txt")));
    EXPECT_FALSE(QFileInfo::exists(data("shot03.txt")));
    EXPECT_TRUE(QFileInfo::exists(data("shot02.avi")));
    EXPECT_FALSE(field("movfile", shot(2)).isValid());
    EXPECT_FALSE(QFileInfo::exists(dir.file("Mosswick-Zudidudi load errors.log")));

    // 4. Refresh and browse to the last page.
    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(window->message_text(), "Database refreshed.");
    ctl(*window).SSTab_main->setCurrentIndex(0);
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 3");
    ASSERT_TRUE(ctl(*window).eof->isEnabled());
    ctl(*window).eof->click();
    EXPECT_EQ(ctl(*window).lbl_page->text(), "3 / 3");
    EXPECT_EQ(ctl(*window).Label3->text(), "3");
    EXPECT_EQ(page_numbers(), (QStringList{"13", "14"}));
    EXPECT_EQ(ctl(*window).lbl_filePic[1]->text(), shot(13));
    EXPECT_EQ(ctl(*window).lbl_note[1]->Text(), "first snow");
    EXPECT_TRUE(cell_shows_picture(1));
    EXPECT_TRUE(cell_shows_picture(2));
    EXPECT_FALSE(ctl(*window).eof->isEnabled());
    expect_usable();

    // 5. Select the last cell and edit its note in the note window.
    testsupport::click_cell(*window, 2);
    EXPECT_EQ(window->message_text(), shot(14));
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    testsupport::type_keypad(*window, '1');
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->window->windowTitle(), "Note for shot14.jpg");
    EXPECT_EQ(editor()->lbl_note->Text(), shot(14));
    editor()->lbl_note->selectAll();
    QTest::keyClicks(editor()->lbl_note, "lighthouse at dawn");
    QTest::keyClicks(editor()->Text2, "coast");
    QTest::keyClicks(editor()->Text1, "taken from the pier");
    editor()->Command1->click();
    settle();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "lighthouse at dawn");
    EXPECT_EQ(ctl(*window).Text34[2]->text(), "coast");
    EXPECT_EQ(note_text(shot(14)), "lighthouse at dawn");
    EXPECT_EQ(field("reference", shot(14)).toString(), "coast");
    EXPECT_EQ(note_text(shot(14), "addnote"), "taken from the pier");
    expect_usable();

    // 6. Search the notes, then the file names.
    ctl(*window).SSTab_main->setCurrentIndex(1);
    search_notes("HARBOUR");
    EXPECT_EQ(window->message_text(), "1 record selected.");
    EXPECT_EQ(found(), QStringList{"3"});
    search_notes("lighthouse");
    EXPECT_EQ(found(), QStringList{"14"});
    search_names("shot1");
    EXPECT_EQ(window->message_text(), "5 records selected.");
    EXPECT_EQ(found(), (QStringList{"10", "11", "12", "13", "14"}));
    search_names("SHOT08");
    ASSERT_EQ(found(), QStringList{"8"});
    expect_usable();

    // 7. The record's details, then its page with its cell selected.
    pick_row(ctl(*window).MSFlexGrid1, 0);
    EXPECT_EQ(ctl(*window).Text29->text(), shot(8));
    EXPECT_EQ(ctl(*window).Text33->Text(), "grandmother's garden");
    ASSERT_TRUE(ctl(*window).display_page->isEnabled());
    ctl(*window).display_page->click();
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(ctl(*window).lbl_page->text(), "2 / 3");
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    EXPECT_EQ(ctl(*window).Label5[2]->text(), "8");
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "grandmother's garden");
    expect_usable();

    // 8. Delete picture 5 (its files go too), exchange 1 and 13, move 10 to 2.
    ctl(*window).Text15->setText("5");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    expect_consistent(13);
    EXPECT_FALSE(order().contains(shot(5)));
    ASSERT_TRUE(QFile::remove(data(shot(5))));
    ASSERT_TRUE(QFile::remove(data("shot05.avi")));

    ctl(*window).Text9->setText("1");
    ctl(*window).Text11->setText("13");
    ctl(*window).exchange_picture->click();
    EXPECT_EQ(window->message_text(), "Pictures exchanged.");
    EXPECT_EQ(order().front(), shot(14));
    EXPECT_EQ(order().back(), shot(1));
    expect_consistent(13);

    ctl(*window).Text22->setText("10");
    ctl(*window).Text20->setText("2");
    ctl(*window).insert_picture->click();
    EXPECT_EQ(window->message_text(), "Picture inserted.");
    EXPECT_EQ(order().mid(0, 3), (QStringList{shot(14), shot(11), shot(2)}));
    expect_consistent(13);
    expect_usable();

    // 9. Renumber: back in file-name order, page 1 shown.
    ctl(*window).renumber_pages->click();
    QStringList by_name;
    for (int n = 1; n <= 14; ++n)
        if (n != 5)
            by_name << shot(n);
    EXPECT_EQ(order(), by_name);
    expect_consistent(13);
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 3");
    EXPECT_EQ(ctl(*window).lbl_filePic[1]->text(), shot(1));
    EXPECT_EQ(page_numbers(), (QStringList{"1", "2", "3", "4", "5", "6"}));

    // 10. Link the movie left in the data folder, then verify against it.
    ctl(*window).refresh_pictures->click();
    EXPECT_EQ(ctl(*window).Fil_ImportFile->count(), 13);
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures completed on 1 record.");
    EXPECT_EQ(field("movfile", shot(2)).toString(), "shot02.avi");
    ctl(*window).verify_loaded_pictures->click();
    EXPECT_EQ(window->message_text(), "Verify complete, no error(s) found.");
    EXPECT_EQ(ctl(*window).List1->count() + ctl(*window).List2->count() + ctl(*window).List3->count(), 0);
    expect_consistent(13);
    expect_usable();

    // 11. Close and open again: everything is still there.
    ctl(*window).mnuDb->trigger();
    EXPECT_EQ(window->message_text(), "Database closed.");
    EXPECT_FALSE(window->session().db_conn());
    restart(Edition::enhanced());
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "Database opened.");
    expect_consistent(13);
    EXPECT_EQ(order(), by_name);
    EXPECT_EQ(note_text(shot(14)), "lighthouse at dawn");
    EXPECT_EQ(field("reference", shot(14)).toString(), "coast");
    EXPECT_EQ(note_text(shot(14), "addnote"), "taken from the pier");
    EXPECT_EQ(note_text(shot(3)), "sunset over the harbour");
    EXPECT_EQ(field("movfile", shot(2)).toString(), "shot02.avi");
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 3");
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(cell_shows_picture(i)) << i;
    EXPECT_EQ(ctl(*window).lbl_fileName[2]->text(), "avi");
    ctl(*window).eof->click();
    EXPECT_EQ(page_numbers(), QStringList{"13"});
    EXPECT_EQ(ctl(*window).lbl_note[1]->Text(), "lighthouse at dawn");
    EXPECT_EQ(ctl(*window).Text34[1]->text(), "coast");
    EXPECT_EQ(dialogs->count("message"), 0) << dialogs->messages().join(" | ").toStdString();
    expect_usable();
}

TEST_F(Journey, ProtectedCatalogueWithStoredPictures)
{
    // Pictures waiting in a folder of their own; a png cannot be stored inside.
    testsupport::TempDir incoming;
    QByteArray originals[7];
    for (int n = 1; n <= 7; ++n) {
        picture(incoming.file(shot(n)), QColor::fromHsv(n * 40, 220, 220), 64, 40);
        originals[n - 1] = testsupport::read_all(incoming.file(shot(n)));
    }
    ASSERT_TRUE(testsupport::write_picture(incoming.file("flat.png"), 20, 20, "png"));

    // 1. A new catalogue with the default password.
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, dir.path()));
    ctl(*window).Check1->setChecked(true);
    ctl(*window).Create_database->click();
    EXPECT_EQ(window->message_text(), "Database created.");
    const QString path = dir.file("new.mdb");
    {
        store::Error e;
        EXPECT_FALSE(store::Connection::open(path, {}, e));
        EXPECT_EQ(e.kind, store::ErrorKind::WrongPassword);
    }

    // 2. Opening asks for it.
    dialogs->passwords = {"qmvrtzo"};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 1);

    // 3. Batch load IN: the bytes go into the catalogue, the png is logged.
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, incoming.path()));
    ctl(*window).Option4[0]->setChecked(true);
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "8 pictures processed. 7 loaded. There are errors.");
    const QByteArray log = testsupport::read_all(dir.file("Mosswick-Zudidudi load errors.log"));
    EXPECT_TRUE(log.endsWith(" - File name: flat.png\r\n")) << log.toStdString();
    expect_consistent(7);
    for (int n = 1; n <= 7; ++n) {
        store::Error e;
        EXPECT_EQ(window->session().db_conn()->read_picture_bytes(n, e), originals[n - 1]) << n;
        EXPECT_EQ(field("inoutpic", shot(n)).toInt(), 1);
    }
    // The source files are not needed any more.
    for (int n = 1; n <= 7; ++n)
        ASSERT_TRUE(QFile::remove(incoming.file(shot(n))));

    // 4. The page shows the stored pictures; a zoom window draws one.
    ctl(*window).mnuRefresh->trigger();
    ctl(*window).SSTab_main->setCurrentIndex(0);
    EXPECT_EQ(page_numbers(), (QStringList{"1", "2", "3", "4", "5", "6"}));
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(cell_shows_picture(i)) << i;
        EXPECT_FALSE(ctl(*window).Im2[size_t(i)]->isHidden()) << i;
    }
    testsupport::double_click_cell(*window, 3);
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_TRUE(testsupport::last_zoom()->request().picture_in_db);
    ASSERT_TRUE(wait_for_zoom());
    EXPECT_FALSE(testsupport::last_zoom()->failed());
    EXPECT_EQ(testsupport::last_zoom()->drawn().size(), QSize(64, 40));
    EXPECT_TRUE(testsupport::last_zoom()->windowTitle().endsWith(shot(3)));
    QTest::keyClick(testsupport::last_zoom(), '3');   // largest size, drawn again from the stored bytes
    EXPECT_FALSE(testsupport::last_zoom()->failed());
    EXPECT_GT(testsupport::last_zoom()->drawn().width(), 64);
    close_zoom_windows();
    expect_usable();

    // 5. A new password; the catalogue closes.
    change_password(*window, "n3w pass");
    EXPECT_EQ(window->message_text(), "Database password changed.");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_FALSE(QFileInfo::exists(dir.file("NewCmpctDB.mdb")));
    {
        store::Error e;
        EXPECT_FALSE(store::Connection::open(path, "qmvrtzo", e));
        EXPECT_TRUE(store::Connection::open(path, "n3w pass", e)) << e.text.toStdString();
    }
    expect_usable();

    // 6. Reopened with the new password, in a new session.
    restart(Edition::enhanced());
    dialogs->asked.clear();
    dialogs->passwords = {"n3w pass"};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 1);
    expect_consistent(7);
    {
        store::Error e;
        EXPECT_EQ(window->session().db_conn()->read_picture_bytes(7, e), originals[6]);
    }

    // 7. Export picture 2 into the catalogue's folder, then import it back.
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ctl(*window).refresh_extraction->click();
    EXPECT_EQ(window->message_text(), " 7 records listed.");
    const int row = grid_row_of(ctl(*window).MSHFlexGrid2, 0, "2");
    ASSERT_EQ(grid(ctl(*window).MSHFlexGrid2)->text(row, 3), "IN");
    pick_row(ctl(*window).MSHFlexGrid2, row);
    ASSERT_TRUE(ctl(*window).Extract->isEnabled());
    ctl(*window).Extract->click();
    EXPECT_EQ(testsupport::read_all(dir.file("shot02.bmp")), originals[1]);
    EXPECT_EQ(grid(ctl(*window).MSHFlexGrid2)->text(row, 3), "OUT");
    EXPECT_EQ(grid(ctl(*window).MSHFlexGrid2)->text(row, 4), "shot02.bmp");
    EXPECT_FALSE(field("inoutpic", "shot02.bmp").isValid());
    EXPECT_FALSE(field("dbpic", "shot02.bmp").isValid());

    pick_row(ctl(*window).MSHFlexGrid2, row);
    ctl(*window).Extract->click();
    EXPECT_EQ(grid(ctl(*window).MSHFlexGrid2)->text(row, 3), "IN");
    EXPECT_EQ(field("inoutpic", "shot02.bmp").toInt(), 1);
    {
        store::Error e;
        EXPECT_EQ(window->session().db_conn()->read_picture_bytes(2, e), originals[1]);
    }
    expect_consistent(7);

    // 8. The imported picture shows and zooms from the catalogue.
    ctl(*window).mnuRefresh->trigger();
    ctl(*window).SSTab_main->setCurrentIndex(0);
    EXPECT_EQ(ctl(*window).lbl_filePic[2]->text(), "shot02.bmp");
    EXPECT_TRUE(cell_shows_picture(2));
    testsupport::double_click_cell(*window, 2);
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_TRUE(testsupport::last_zoom()->request().picture_in_db);
    ASSERT_TRUE(wait_for_zoom());
    EXPECT_EQ(testsupport::last_zoom()->drawn().size(), QSize(64, 40));
    close_zoom_windows();

    // 9. Closed and opened once more: the same seven pictures.
    ctl(*window).mnuDb->trigger();
    dialogs->passwords = {"n3w pass"};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    expect_consistent(7);
    EXPECT_EQ(dialogs->count("message"), 0) << dialogs->messages().join(" | ").toStdString();
    expect_usable();
}

TEST_F(Journey, APageLeftShowingOldRowsNeverSavesANoteOnTheWrongPicture)
{
    open(make_with_files(9));
    ASSERT_TRUE(window->session().db_open());

    // The edits by number leave the page view as it was.
    ctl(*window).Text15->setText("2");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    expect_consistent(8);
    EXPECT_EQ(ctl(*window).Label5[3]->text(), "3");
    EXPECT_EQ(ctl(*window).lbl_filePic[3]->text(), testsupport::picture_name(3));   // now number 2

    // A note typed for the picture the cell shows is refused, not saved elsewhere.
    ASSERT_TRUE(write_note(3, "meant for picture three"));
    ASSERT_NE(editor(), nullptr);   // kept open with its text
    EXPECT_TRUE(window->message_text().startsWith("The note was not saved")) << window->message_text().toStdString();
    EXPECT_EQ(dialogs->count("message"), 1);
    editor()->Command2->click();
    settle();
    EXPECT_EQ(field("note", testsupport::picture_name(3)).toString(), "note 3");
    EXPECT_EQ(field("note", testsupport::picture_name(4)).toString(), "note 4");
    expect_usable();

    // The search grid made before an exchange shows nothing wrong either.
    ctl(*window).SSTab_main->setCurrentIndex(1);
    ctl(*window).refresh_grid->click();
    ctl(*window).Text9->setText("1");
    ctl(*window).Text11->setText("8");
    ctl(*window).exchange_picture->click();
    EXPECT_EQ(window->message_text(), "Pictures exchanged.");
    pick_row(ctl(*window).MSFlexGrid1, 0);
    EXPECT_NE(ctl(*window).Text29->text(), testsupport::picture_name(1));
    EXPECT_TRUE(ctl(*window).Text30->text().isEmpty());

    // Nor does a zoom from the old page show another picture under this one's name.
    ctl(*window).SSTab_main->setCurrentIndex(0);
    ASSERT_EQ(ctl(*window).lbl_filePic[1]->text(), testsupport::picture_name(1));   // now picture 8
    testsupport::double_click_cell(*window, 1);
    EXPECT_EQ(zoom_windows_shown(), 0);
    EXPECT_EQ(window->message_text(), "The picture 1 has changed in the catalogue: refresh the page.");
    expect_usable();

    // After a refresh the same steps work.
    ctl(*window).mnuRefresh->trigger();
    testsupport::double_click_cell(*window, 1);
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_EQ(testsupport::last_zoom()->request().file_path, data(testsupport::picture_name(9)));
    EXPECT_TRUE(testsupport::last_zoom()->windowTitle().endsWith(testsupport::picture_name(9)));
    close_zoom_windows();
    ASSERT_TRUE(write_note(2, "picture three"));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(note_text(testsupport::picture_name(3)), "picture three");
    ctl(*window).refresh_grid->click();
    pick_row(ctl(*window).MSFlexGrid1, 0);
    EXPECT_EQ(ctl(*window).Text29->text(), testsupport::picture_name(9));
    ctl(*window).display_page->click();
    EXPECT_EQ(ctl(*window).lbl_filePic[size_t(testsupport::white_cell(*window))]->text(), testsupport::picture_name(9));
    expect_consistent(8);
    expect_usable();
}

TEST_F(Journey, ARenamedPictureIsFoundEverywhereUnderItsNewName)
{
    const QString path = make_with_files(8);
    touch(data("pic007.avi"), "movie");
    open(path);
    ASSERT_TRUE(window->session().db_open());
    ASSERT_FALSE(window->session().db_conn()->exec("UPDATE demopicture SET movfile = 'pic007.avi' WHERE numpic = 7"));

    // Rename picture 7 and its movie from the management grid.
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ctl(*window).load_list->click();
    auto* model = ctl(*window).mgm_pic->model();
    int row = -1;
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->index(r, 0).data().toString() == "7")
            row = r;
    ASSERT_GE(row, 0);
    testsupport::click_grid_row(ctl(*window).mgm_pic, row);
    EXPECT_EQ(ctl(*window).Text8->text(), "pic007");
    ctl(*window).Text8->setText("harbour");
    ctl(*window).Command2->click();
    EXPECT_EQ(window->message_text(), "Picture & Multimedia files renamed.");
    EXPECT_TRUE(QFileInfo::exists(data("harbour.jpg")));
    EXPECT_TRUE(QFileInfo::exists(data("harbour.avi")));
    EXPECT_FALSE(QFileInfo::exists(data("pic007.jpg")));
    expect_consistent(8);

    // The page shows and zooms it, the search finds it, the verify agrees with the folder.
    ctl(*window).mnuRefresh->trigger();
    ctl(*window).SSTab_main->setCurrentIndex(0);
    ctl(*window).go_right->click();
    EXPECT_EQ(ctl(*window).lbl_filePic[1]->text(), "harbour.jpg");
    EXPECT_EQ(ctl(*window).lbl_fileName[1]->text(), "avi");
    EXPECT_TRUE(cell_shows_picture(1));
    testsupport::double_click_cell(*window, 1);
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_FALSE(testsupport::last_zoom()->failed());
    EXPECT_TRUE(testsupport::last_zoom()->windowTitle().endsWith("harbour.jpg"));
    close_zoom_windows();
    search_names("HARB");
    EXPECT_EQ(found(), QStringList{"7"});
    EXPECT_EQ(found(2), QStringList{"*"});
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, data()));
    ctl(*window).verify_loaded_pictures->click();
    EXPECT_EQ(window->message_text(), "Verify complete, no error(s) found.");

    // Renumbering by name moves it to the front.
    ctl(*window).renumber_pages->click();
    EXPECT_EQ(order().front(), "harbour.jpg");
    EXPECT_EQ(field("movfile", "harbour.jpg").toString(), "harbour.avi");
    expect_consistent(8);
    EXPECT_EQ(dialogs->count("message"), 0) << dialogs->messages().join(" | ").toStdString();
    expect_usable();
}

TEST_F(Journey, APendingSingleLoadDoesNotOutliveItsCatalogue)
{
    testsupport::TempDir other;
    const QString first = make(3);
    testsupport::CatalogueSpec spec;
    spec.name = "second.mdb";
    spec.pictures = 2;
    const QString second = testsupport::make_catalogue(other.path(), spec);
    testsupport::TempDir incoming;
    picture(incoming.file("new.jpg"));
    open(first);
    ASSERT_TRUE(window->session().db_open());
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, incoming.path()));
    testsupport::double_click_row(ctl(*window).Fil_ImportFile, 0);
    ASSERT_TRUE(ctl(*window).cmd_OK->isEnabled());
    EXPECT_FALSE(ctl(*window).Fil_ImportFile->isEnabled());   // locked while the pick is pending

    // The user closes this catalogue and opens another before committing.
    ctl(*window).mnuDb->trigger();
    open(second);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_FALSE(ctl(*window).cmd_OK->isEnabled());
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(rows().size(), 2);
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, incoming.path()));
    EXPECT_TRUE(ctl(*window).Fil_ImportFile->isEnabled());
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());

    // A new pick goes into the catalogue open now.
    testsupport::double_click_row(ctl(*window).Fil_ImportFile, 0);
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    expect_consistent(3);
    EXPECT_EQ(order().back(), "new.jpg");
    ctl(*window).mnuDb->trigger();
    open(first);
    expect_consistent(3);
    EXPECT_FALSE(order().contains("new.jpg"));
    expect_usable();
}
