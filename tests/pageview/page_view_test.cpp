#include "support/page_gestures.h"
#include "support/layout_probe.h"
#include "support/metafile_writer.h"
#include "support/window_fixture.h"

#include "platform/ui/vb.h"

#include <QFile>
#include <QLabel>
#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace mosswick;

namespace {

class PageViewTest : public WindowTest {
protected:
    // A catalogue of n pictures whose files exist in data/.
    QString make_with_files(int n, int width = 120, int height = 80, const QString& name = "catalogue.mdb")
    {
        testsupport::CatalogueSpec spec;
        spec.write_files = true;
        spec.width = width;
        spec.height = height;
        spec.name = name;
        return make(n, spec);
    }

    // A connection of its own to the catalogue at path, as another program holds one.
    static std::unique_ptr<store::Connection> connect(const QString& path)
    {
        store::Error e;
        return store::Connection::open(path, {}, e);
    }

    bool cell_filled(int i) const
    {
        return !ctl(*window).Label5[size_t(i)]->text().isEmpty() && !ctl(*window).lbl_note[size_t(i)]->isHidden();
    }

    // Thirteen pictures whose page 2 has lost its rows, opened, and a move to page 2.
    void open_on_empty_second_page()
    {
        const QString path = make_with_files(13);
        ASSERT_TRUE(connect(path)->exec("DELETE FROM demopicture WHERE numpage = 2").ok());
        open(path);
        ctl(*window).go_right->click();
    }

    unsigned note_colour(int i) const { return ui::to_bgr(ctl(*window).lbl_note[size_t(i)]->back_color()); }

    QColor pixel(QLabel* l, int x, int y) const { return l->pixmap().toImage().pixelColor(x, y); }
};

} // namespace

TEST_F(PageViewTest, ThirteenPicturesMakeThreePages)
{
    open(make_with_files(13));
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(ctl(*window).lbl_page->text(), "1 / 3");
    EXPECT_EQ(testsupport::cells_shown(*window), 6);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(cell_filled(i)) << i;
        EXPECT_FALSE(ctl(*window).im[size_t(i)]->isHidden());
        EXPECT_FALSE(ctl(*window).im[size_t(i)]->pixmap().isNull());
    }
    EXPECT_EQ(ctl(*window).lbl_filePic[1]->text(), testsupport::picture_name(1));
    EXPECT_EQ(ctl(*window).Label7[1]->text(), "jpg");
    EXPECT_EQ(ctl(*window).Label4[1]->text(), "1");
    EXPECT_EQ(ctl(*window).Label5[6]->text(), "6");
    EXPECT_EQ(ctl(*window).lbl_note[2]->Text(), "note 2");
    EXPECT_TRUE(ctl(*window).go_right->isEnabled());
    EXPECT_TRUE(ctl(*window).eof->isEnabled());
    EXPECT_FALSE(ctl(*window).go_left->isEnabled());
    EXPECT_FALSE(ctl(*window).bof->isEnabled());
    EXPECT_TRUE(ctl(*window).Slider1->isEnabled());
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));

    ctl(*window).eof->click();
    EXPECT_EQ(window->session().current_page(), 3);
    EXPECT_EQ(ctl(*window).lbl_page->text(), "3 / 3");
    EXPECT_EQ(ctl(*window).Label3->text(), "3");
    EXPECT_EQ(ctl(*window).Slider1->value(), 3);
    EXPECT_EQ(testsupport::cells_shown(*window), 1);
    EXPECT_TRUE(cell_filled(1));
    EXPECT_EQ(ctl(*window).Label5[1]->text(), "13");
    for (int i = 2; i <= 6; ++i) {
        EXPECT_FALSE(cell_filled(i)) << i;
        EXPECT_TRUE(ctl(*window).im[size_t(i)]->isHidden());
        // Nothing of the previous page stays in an empty cell.
        EXPECT_TRUE(ctl(*window).lbl_filePic[size_t(i)]->text().isEmpty());
        EXPECT_TRUE(ctl(*window).Text34[size_t(i)]->text().isEmpty());
    }
    EXPECT_FALSE(ctl(*window).go_right->isEnabled());
    EXPECT_FALSE(ctl(*window).eof->isEnabled());
    EXPECT_TRUE(ctl(*window).go_left->isEnabled());
    EXPECT_TRUE(ctl(*window).bof->isEnabled());
    expect_usable();
}

TEST_F(PageViewTest, GoRightLeavesThePageBoxAndEnablesShowPage)
{
    open(make_with_files(13));
    ctl(*window).go_right->click();
    EXPECT_EQ(ctl(*window).lbl_page->text(), "2 / 3");
    EXPECT_EQ(ctl(*window).Label3->text(), "1");
    EXPECT_TRUE(ctl(*window).show_page->isEnabled());
    ctl(*window).show_page->click();
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_FALSE(ctl(*window).go_left->isEnabled());   // no page before page 1
    ctl(*window).eof->click();
    EXPECT_EQ(window->session().current_page(), 3);
    EXPECT_FALSE(ctl(*window).go_right->isEnabled());  // nor after the last
    ctl(*window).bof->click();
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_EQ(ctl(*window).Label3->text(), "1");
}

TEST_F(PageViewTest, PageBoxRefusesBadPagesAndKeys)
{
    open(make_with_files(13));
    ctl(*window).go_right->click();   // page 2, the page box still at 1: Go is offered
    ASSERT_TRUE(ctl(*window).show_page->isEnabled());
    for (const char* text : {"0", "", "4", "99999999999"}) {
        window->set_message({});
        ctl(*window).Label3->setText(text);
        ctl(*window).show_page->click();
        EXPECT_EQ(window->message_text(), "Error on page panel, page value error.") << text;
        EXPECT_EQ(window->session().current_page(), 2);
    }
    ctl(*window).Label3->setText("3");
    ctl(*window).show_page->click();
    EXPECT_EQ(window->session().current_page(), 3);
    // Enter in the page box goes there too.
    testsupport::type_page(*window, 1);
    EXPECT_EQ(window->session().current_page(), 1);

    ctl(*window).Label3->setText("2");
    QTest::keyClick(ctl(*window).Label3, Qt::Key_A);
    EXPECT_EQ(ctl(*window).Label3->text(), "2");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
    QTest::keyClick(ctl(*window).Label3, Qt::Key_7);
    EXPECT_EQ(ctl(*window).Label3->text(), "27");
}

TEST_F(PageViewTest, EditingShortcutsWorkInThePageBoxAndPastesMeetItsRule)
{
    open(make_with_files(13));
    window->show();
    QApplication::setActiveWindow(window.get());
    ctl(*window).SSTab_main->setCurrentIndex(0);
    ctl(*window).Label3->setFocus(Qt::MouseFocusReason);
    ctl(*window).Label3->setText("12");
    window->set_message({});
    QTest::keyClick(ctl(*window).Label3, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Label3->selectedText(), "12");
    QTest::keyClick(ctl(*window).Label3, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "12");
    EXPECT_EQ(window->message_text(), "");

    QApplication::clipboard()->setText("3");
    QTest::keyClick(ctl(*window).Label3, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Label3->text(), "3");
    EXPECT_EQ(window->message_text(), "");
    QTest::keyClick(ctl(*window).Label3, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Label3->text(), "12");

    QApplication::clipboard()->setText("2 ");
    QTest::keyClick(ctl(*window).Label3, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Label3->text(), "12");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
}

TEST_F(PageViewTest, SliderScrollTracksThePageBox)
{
    open(make_with_files(13));
    // The user's moves scroll; values the program sets do not.
    ctl(*window).Slider1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ctl(*window).Label3->text() == "2"; }));
    EXPECT_TRUE(ctl(*window).show_page->isEnabled());
    ctl(*window).Slider1->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ctl(*window).Label3->text() == "1"; }));
    EXPECT_FALSE(ctl(*window).show_page->isEnabled());
    ctl(*window).Slider1->setValue(3);
    // Everything the move posted has run.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl(*window).Label3->text(), "1");
    EXPECT_EQ(window->session().current_page(), 1);
}

TEST_F(PageViewTest, PictureTypeLabelSelectsAndZooms)
{
    open(make_with_files(3));
    QTest::mouseClick(ctl(*window).Label7[3], Qt::LeftButton);
    EXPECT_EQ(testsupport::white_cell(*window), 3);
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_TRUE(testsupport::last_zoom()->windowTitle().endsWith(testsupport::picture_name(3)));
    testsupport::last_zoom()->close();
    expect_usable();
}

TEST_F(PageViewTest, SelectionColoursAndWhichSelected)
{
    open(make_with_files(8));
    EXPECT_EQ(testsupport::white_cell(*window), 0);
    testsupport::click_cell(*window, 2);
    EXPECT_EQ(note_colour(2), 0xFFFFFFu);
    testsupport::click_cell(*window, 5);
    EXPECT_EQ(note_colour(2), 0xE0E0E0u);
    EXPECT_EQ(note_colour(5), 0xFFFFFFu);
    EXPECT_EQ(ui::to_bgr(ctl(*window).Text18[5]->back_color()), 0xFFFFFFu);
    EXPECT_EQ(testsupport::white_cell(*window), 5);
    EXPECT_EQ(window->message_text(), testsupport::picture_name(5));
    testsupport::click_cell(*window, 5);
    EXPECT_EQ(note_colour(5), 0xFFFFFFu);
    EXPECT_EQ(note_colour(4), 0xE0E0E0u);
    // A page load greys the selection.
    ctl(*window).go_right->click();
    EXPECT_EQ(testsupport::white_cell(*window), 0);
}

TEST_F(PageViewTest, ReselectionAfterAPageChange)
{
    open(make_with_files(13));
    testsupport::display_picture(*window, 9);
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(testsupport::white_cell(*window), 3);
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
    // Done once: a later load of the page selects nothing.
    ctl(*window).go_right->click();
    ctl(*window).go_left->click();
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(testsupport::white_cell(*window), 0);

    // The page already shown: the cell is selected without a reload.
    testsupport::display_picture(*window, 11);
    EXPECT_EQ(testsupport::white_cell(*window), 5);
    EXPECT_FALSE(ctl(*window).show_page->isEnabled());
}

TEST_F(PageViewTest, StoredPictureIsPreferredOverTheFile)
{
    const QString path = make_with_files(2);
    // Picture 1 lives in the catalogue as a blue picture; its file is red.
    testsupport::write_picture(dir.file("data/") + testsupport::picture_name(1), 120, 80, "jpg", Qt::red);
    const QString stored = dir.file("blue.jpg");
    testsupport::write_picture(stored, 120, 80, "jpg", Qt::blue);
    ASSERT_TRUE(connect(path)->write_picture_bytes(1, stored).ok());
    open(path);
    EXPECT_FALSE(ctl(*window).Im2[1]->isHidden());
    EXPECT_TRUE(ctl(*window).im[1]->isHidden());
    EXPECT_TRUE(ctl(*window).Im2[1]->isEnabled());
    EXPECT_FALSE(ctl(*window).im[1]->isEnabled());
    const QColor c = pixel(ctl(*window).Im2[1], 2, 2);
    EXPECT_GT(c.blue(), 150);
    EXPECT_LT(c.red(), 100);
    EXPECT_FALSE(ctl(*window).im[2]->isHidden());
    EXPECT_TRUE(ctl(*window).Im2[2]->isHidden());

    // A zoom request hands the stored picture over, whatever the file holds.
    testsupport::double_click_cell(*window, 1);
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_TRUE(testsupport::last_zoom()->request().picture_in_db);
    EXPECT_EQ(ctl(*testsupport::last_zoom()).Label1->text(), window->session().data_folder() + testsupport::picture_name(1));
    ASSERT_TRUE(wait_for_zoom());
    EXPECT_GT(testsupport::last_zoom()->drawn().pixelColor(2, 2).blue(), 150);
    testsupport::last_zoom()->close();
}

TEST_F(PageViewTest, MetafilesAreDrawnInTheirCells)
{
    const QString path = make_with_files(2);
    // Picture 1's file is an EMF (content decides, not the name), picture 2's a WMF.
    mfwrite::EmfWriter emf;
    emf.solid_brush(1, qRgb(255, 0, 0)).select(1).rectangle(QRect(0, 0, 96, 96));
    mfwrite::WmfWriter wmf(QRect(0, 0, 1440, 720), 1440);
    wmf.window_org(QPoint(0, 0)).window_ext(QSize(1440, 720)).solid_brush(qRgb(0, 0, 255)).select(0);
    wmf.rectangle(QRect(0, 0, 1440, 720));
    dir.write("data/" + testsupport::picture_name(1), emf.finish());
    dir.write("data/" + testsupport::picture_name(2), wmf.finish());
    open(path);
    // Natural sizes: 1 inch square, 1 x 0.5 inch, at 96 DPI.
    EXPECT_EQ(ctl(*window).im[1]->pixmap().size(), QSize(96, 96));
    EXPECT_EQ(ctl(*window).im[2]->pixmap().size(), QSize(96, 48));
    EXPECT_GT(pixel(ctl(*window).im[1], 48, 48).red(), 200);
    EXPECT_LT(pixel(ctl(*window).im[1], 48, 48).blue(), 60);
    EXPECT_GT(pixel(ctl(*window).im[2], 48, 24).blue(), 200);
    EXPECT_LT(pixel(ctl(*window).im[2], 48, 24).red(), 60);
}

TEST_F(PageViewTest, SmallPicturesAreNeverEnlarged)
{
    open(make_with_files(1, 100, 50));
    EXPECT_EQ(ctl(*window).im[1]->pixmap().size(), QSize(100, 50));
    EXPECT_EQ(ctl(*window).im[1]->size(), QSize(100, 50));
    ctl(*window).mnuDb->trigger();
    // A large one is fitted into the cell keeping its proportions.
    open(make_with_files(1, 1560, 600, "big.mdb"));
    EXPECT_EQ(ctl(*window).im[1]->pixmap().size(), QSize(312, 120));
}

TEST_F(PageViewTest, QualityCodesAllDrawTheFittedSize)
{
    open(make_with_files(1, 1000, 500));
    for (int code = 1; code <= 6; ++code) {
        ctl(*window).mnuTQ[size_t(code)]->trigger();
        EXPECT_EQ(window->session().thumb_quality(), code);
        EXPECT_TRUE(ctl(*window).mnuTQ[size_t(code)]->isChecked());
        ctl(*window).mnuRefresh->trigger();
        EXPECT_EQ(ctl(*window).im[1]->pixmap().size(), QSize(312, 156)) << code;
    }
    ctl(*window).mnuZQ[2]->trigger();
    EXPECT_EQ(window->session().zoom_quality(), 2);
    EXPECT_FALSE(ctl(*window).mnuZQ[5]->isChecked());
    ctl(*window).mnuZQ[2]->trigger();
    EXPECT_TRUE(ctl(*window).mnuZQ[2]->isChecked());
}

TEST_F(PageViewTest, MissingPicturesNeverEndThePageOrTheProgram)
{
    const QString path = make_with_files(4);
    QFile::remove(dir.file("data/") + testsupport::picture_name(2));
    QFile::remove(dir.file("data/") + testsupport::picture_name(3));
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), 1);
    EXPECT_EQ(testsupport::cells_shown(*window), 4);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(cell_filled(i)) << i;
    EXPECT_TRUE(ctl(*window).im[2]->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).im[1]->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).im[4]->pixmap().isNull());
    expect_usable();

    // A zoom request for the missing picture: the message, no window.
    testsupport::double_click_cell(*window, 2);
    EXPECT_EQ(dialogs->messages().count("Picture file not found."), 2);
    EXPECT_FALSE(testsupport::last_zoom());
    expect_usable();
}

TEST_F(PageViewTest, CorruptAndEmptyPicturesShowAnEmptyArea)
{
    const QString path = make_with_files(3);
    dir.write("data/" + testsupport::picture_name(1), QByteArray("this is not a picture at all"));
    dir.write("data/" + testsupport::picture_name(2), QByteArray());
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_TRUE(ctl(*window).im[1]->pixmap().isNull());
    EXPECT_TRUE(ctl(*window).im[2]->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).im[3]->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).im[1]->toolTip().isEmpty());
    EXPECT_TRUE(window->message_text().contains(testsupport::picture_name(1)));
    EXPECT_TRUE(window->message_text().contains(testsupport::picture_name(2)));
    EXPECT_EQ(dialogs->count("message"), 0);
    EXPECT_EQ(testsupport::cells_shown(*window), 3);
    testsupport::double_click_cell(*window, 1);
    // The zoom window says why once its decode ends and closes itself; the
    // program goes on.
    EXPECT_TRUE(wait_for_zoom());
    EXPECT_EQ(dialogs->count("message"), 1);
    expect_usable();
}

TEST_F(PageViewTest, AnOverfullPageShowsSixAndSuggestsRenumbering)
{
    const QString path = make_with_files(8);
    ASSERT_TRUE(connect(path)->exec("UPDATE demopicture SET numpage = 1").ok());
    open(path);
    EXPECT_EQ(testsupport::cells_shown(*window), 6);
    // The suggestion stays readable after the opening message.
    EXPECT_TRUE(window->message_text().startsWith("Database opened. "));
    EXPECT_TRUE(window->message_text().contains("renumber"));
}

TEST_F(PageViewTest, AnEmptyPageLeavesNavigationUsable)
{
    ASSERT_NO_FATAL_FAILURE(open_on_empty_second_page());
    EXPECT_TRUE(dialogs->messages().contains("The page not exist, renumber the database."));
    EXPECT_EQ(ctl(*window).lbl_page->text(), "2 / 2");
    EXPECT_TRUE(ctl(*window).go_left->isEnabled());
    for (int i = 1; i <= 6; ++i)
        EXPECT_FALSE(cell_filled(i));
    ctl(*window).go_left->click();
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_TRUE(cell_filled(1));
    expect_usable();
}

TEST_F(PageViewTest, TheKeypadSelectsNoCellOfAnEmptyPage)
{
    ASSERT_NO_FATAL_FAILURE(open_on_empty_second_page());
    ASSERT_EQ(testsupport::cells_shown(*window), 0);
    for (const char typed : {'8', '8', '7'}) {
        testsupport::type_keypad(*window, typed);
        EXPECT_EQ(testsupport::white_cell(*window), 0) << typed;
    }
    // "6" on the cell the keys moved to opens nothing.
    testsupport::type_keypad(*window, '6');
    EXPECT_FALSE(testsupport::last_zoom());
    expect_usable();
}

TEST_F(PageViewTest, MoviesOpenFromTheDataFolderByTheirStoredName)
{
    const QString path = make_with_files(2);
    ASSERT_TRUE(connect(path)->update_fields(1, {{store::col_movfile, QStringLiteral("Clip One.AVI")}}).ok());
    ASSERT_TRUE(connect(path)->update_fields(2, {{store::col_movfile, QStringLiteral("gone.avi")}}).ok());
    dir.write("data/Clip One.AVI", "movie");
    open(path);
    EXPECT_EQ(ctl(*window).lbl_fileName[1]->text(), "avi");
    QTest::mouseClick(ctl(*window).lbl_fileName[1], Qt::LeftButton);
    EXPECT_EQ(dialogs->desktop_files(), QStringList{dir.path() + "/data/Clip One.AVI"});
    EXPECT_EQ(testsupport::white_cell(*window), 1);

    QTest::mouseClick(ctl(*window).lbl_fileName[2], Qt::LeftButton);
    EXPECT_EQ(dialogs->desktop_files().size(), 1);
    EXPECT_TRUE(window->message_text().startsWith("Error 53 - ")) << window->message_text().toStdString();
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    expect_usable();

    // A movie no program takes is said so.
    dialogs->desktop_opens = false;
    QTest::mouseClick(ctl(*window).lbl_fileName[1], Qt::LeftButton);
    EXPECT_EQ(dialogs->desktop_files().size(), 2);
    EXPECT_TRUE(window->message_text().startsWith("Error 75 - No program could open ")) << window->message_text().toStdString();
}

TEST_F(PageViewTest, KeypadMovesTheSelectionAndThePages)
{
    open(make_with_files(10));
    EXPECT_TRUE(testsupport::type_keypad(*window, '8'));
    EXPECT_EQ(testsupport::white_cell(*window), 1);
    testsupport::type_keypad(*window, '7');
    EXPECT_EQ(testsupport::white_cell(*window), 6);
    EXPECT_FALSE(testsupport::type_keypad(*window, '4'));   // page 1: not consumed
    EXPECT_TRUE(testsupport::type_keypad(*window, '.'));
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(testsupport::cells_shown(*window), 4);
    testsupport::type_keypad(*window, '7');   // no selection after a load: the last cell of the page
    EXPECT_EQ(testsupport::white_cell(*window), 4);
    testsupport::type_keypad(*window, '8');
    EXPECT_EQ(testsupport::white_cell(*window), 1);
    testsupport::type_keypad(*window, '3');
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_FALSE(testsupport::type_keypad(*window, '6'));   // nothing selected after the load
}

TEST_F(PageViewTest, StaleStopClicksDoNotStopANewRenumbering)
{
    const QString path = make_with_files(8);
    open(path);
    QTest::mouseClick(ctl(*window).ProgressBar1, Qt::LeftButton);
    EXPECT_TRUE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    open_to_renumber(path);
    EXPECT_EQ(window->message_text(), "Database pages renumbered.");
}

TEST_F(PageViewTest, NoteKeysNeedASelectedCell)
{
    open(make_with_files(2));
    EXPECT_FALSE(testsupport::type_keypad(*window, '1'));
    EXPECT_FALSE(testsupport::type_keypad(*window, '2'));
    EXPECT_TRUE(window->findChildren<frmNote*>().empty());
}

TEST_F(PageViewTest, RealClicksAndKeysReachTheCells)
{
    open(make_with_files(8));
    window->show();
    QTest::mouseClick(ctl(*window).im[2], Qt::LeftButton);
    EXPECT_EQ(testsupport::white_cell(*window), 2);
    QTest::mouseClick(ctl(*window).lbl_note[4]->viewport(), Qt::LeftButton);
    EXPECT_EQ(testsupport::white_cell(*window), 4);
    QApplication::setActiveWindow(window.get());
    ctl(*window).SSTab_main->tabBar()->setFocus();
    QTest::keyClick(ctl(*window).SSTab_main->tabBar(), Qt::Key_8, Qt::NoModifier);
    EXPECT_EQ(testsupport::white_cell(*window), 5);
    // A focused thumbnail hands the key on to the keypad.
    ctl(*window).im[1]->setFocus();
    QTest::keyClick(ctl(*window).im[1], Qt::Key_7, Qt::NoModifier);
    EXPECT_EQ(testsupport::white_cell(*window), 4);
    // A focused button ignores digits, and so does the keypad then.
    ctl(*window).go_right->setFocus();
    QTest::keyClick(ctl(*window).go_right, Qt::Key_5, Qt::NoModifier);
    EXPECT_EQ(window->session().current_page(), 1);
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ctl(*window).Option4[0]->setFocus();
    QTest::keyClick(ctl(*window).Option4[0], Qt::Key_6, Qt::NoModifier);
    EXPECT_FALSE(testsupport::last_zoom());
    ctl(*window).SSTab_main->setCurrentIndex(0);
    // Typed into another box, the digits are ordinary characters.
    ctl(*window).Text1->setEnabled(true);
    QTest::keyClick(ctl(*window).Text1, Qt::Key_8, Qt::NoModifier);
    EXPECT_EQ(testsupport::white_cell(*window), 4);
    EXPECT_EQ(ctl(*window).Text1->text(), "8");
    // The page box drops letters and says which keys it takes.
    QTest::keyClick(ctl(*window).Label3, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(ctl(*window).Label3->text(), "1");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
}

TEST_F(PageViewTest, CellsKeepTheirSizeAndPlaceWhateverThePageHolds)
{
    open(make_with_files(7));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto layout_now = [this] {
        QList<QRect> out;
        for (int i = 1; i <= 6; ++i)
            out << testsupport::places_in(window.get(), {ctl(*window).Label7[size_t(i)], ctl(*window).Label5[size_t(i)],
                                                         ctl(*window).SSTab1[size_t(i)], ctl(*window).cell_picture_area[size_t(i)]});
        return out;
    };
    const QList<QRect> full_page = layout_now();
    // A page of one picture: the other five cells are empty.
    ctl(*window).go_right->click();
    ASSERT_EQ(testsupport::cells_shown(*window), 1);
    EXPECT_EQ(layout_now(), full_page);
    ctl(*window).go_left->click();
    EXPECT_EQ(layout_now(), full_page);
}
