#include "loader_fixture.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/vb.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace mosswick;

namespace {

// A pending pick locks the loader's lists and the edits of other parts, and
// offers its own controls; without one it is the other way round.
void expect_locked(frmBrowser& w, bool locked)
{
    const std::initializer_list<QWidget*> lock_set = {
        ctl(w).load_pictures, ctl(w).renumber_pages, ctl(w).insert_picture, ctl(w).update_pictures, ctl(w).exchange_picture,
        ctl(w).delete_page,   ctl(w).delete_picture, ctl(w).refresh_pictures, ctl(w).File_movies,   ctl(w).Fil_ImportFile,
        ctl(w).Text9,         ctl(w).Text11,         ctl(w).Txt_delpag,       ctl(w).Text20,        ctl(w).Text22,
        ctl(w).Text15,        ctl(w).Drv_ImportDrive, ctl(w).Dir_ImportDir};
    for (QWidget* c : lock_set)
        EXPECT_NE(c->isEnabled(), locked) << c->objectName().toStdString();
    for (QWidget* c : std::initializer_list<QWidget*>{ctl(w).cmd_OK, ctl(w).cancel_load_picture, ctl(w).Txt_Notes, ctl(w).text23,
                                                      ctl(w).Text27, ctl(w).SSTab2, ctl(w).SSTab5})
        EXPECT_EQ(c->isEnabled(), locked) << c->objectName().toStdString();
}

} // namespace

TEST_F(LoaderWindow, PickingAPictureFindsTheLastMovieAndLocksTheLoader)
{
    jpg("a.jpg");
    file("a.avi");
    file("a.mpg");
    file("A.mov");
    show(source.path());
    pick_picture("a.jpg");
    EXPECT_EQ(ctl(*window).File_movies->selected_name(), "a.mpg");
    EXPECT_EQ(ctl(*window).text7->text(), "a.jpg");
    EXPECT_EQ(ctl(*window).Lbl_db->text(), "a.mpg");
    EXPECT_EQ(ctl(*window).Label31->text(), "mpg");
    EXPECT_EQ(window->message_text(), "Loading picture & movie, press the 'Cancel' button to abort.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    expect_locked(*window, true);
    EXPECT_TRUE(ctl(*window).clear_note->isEnabled());
    // The preview is drawn at its fitted size inside the 4635 x 2775 twips box.
    EXPECT_FALSE(ctl(*window).Img_ImportImage->isHidden());
    ASSERT_FALSE(ctl(*window).Img_ImportImage->pixmap().isNull());
    EXPECT_EQ(ctl(*window).Img_ImportImage->pixmap().size(), QSize(60, 40));
}

TEST_F(LoaderWindow, APictureWithoutAMovieOfTheSameCase)
{
    jpg("a.jpg");
    file("A.avi");
    show(source.path());
    ctl(*window).Label31->setText("stale");
    pick_picture("a.jpg");
    EXPECT_EQ(ctl(*window).Lbl_db->text(), "");
    EXPECT_EQ(ctl(*window).Label31->text(), "");
    EXPECT_EQ(window->message_text(), "Loading picture, press the 'Cancel' button to abort.");
}

TEST_F(LoaderWindow, MoviePicksFindTheirPictureOrSayWhyNot)
{
    jpg("a.bmp");
    jpg("a.jpg");
    jpg("b.bmp");
    file("a.avi");
    file("x.avi");
    file("README");
    show(source.path());
    pick_movie("b.bmp");
    EXPECT_EQ(window->message_text(), "Selection not supported.");
    pick_movie("README");
    EXPECT_EQ(window->message_text(), "Selection not supported.");
    EXPECT_TRUE(ctl(*window).Fil_ImportFile->isEnabled());
    EXPECT_FALSE(pick_pending());

    pick_movie("x.avi");
    EXPECT_EQ(window->message_text(), "Picture file not found.");
    expect_locked(*window, false);
    EXPECT_FALSE(pick_pending());

    pick_movie("a.avi");
    EXPECT_EQ(ctl(*window).Fil_ImportFile->selected_name(), "a.jpg");   // the later one
    EXPECT_EQ(ctl(*window).text7->text(), "a.jpg");
    EXPECT_EQ(ctl(*window).Lbl_db->text(), "a.avi");
    EXPECT_EQ(ctl(*window).Label31->text(), "avi");
    EXPECT_TRUE(pick_pending());
}

TEST_F(LoaderWindow, CommitWritesTheRowAndReturnsToIdle)
{
    jpg("a.jpg");
    file("a.avi");
    show(source.path());
    pick_picture("a.jpg");
    ctl(*window).Txt_Notes->setText("first note");
    ctl(*window).text23->setText("ref one\nref two");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    EXPECT_EQ(ctl(*window).lbl_load_picture->text(), "Pic# 1 at the pag# 1.");
    EXPECT_EQ(ctl(*window).Label27->text(), "1");
    EXPECT_EQ(ctl(*window).Label29->text(), "1");
    EXPECT_EQ(window->session().picture_count(), 1);
    EXPECT_EQ(rows(), QStringList({"1/1/a.jpg/a.avi"}));
    EXPECT_EQ(field("note", "a.jpg").toString(), "first note");
    EXPECT_EQ(field("reference", "a.jpg").toString(), "ref one\nref two");
    EXPECT_EQ(field("addnote", "a.jpg").toString(), "");
    expect_locked(*window, false);
    EXPECT_EQ(ctl(*window).text7->text(), "");
    EXPECT_TRUE(ctl(*window).Img_ImportImage->isHidden());
    EXPECT_FALSE(pick_pending());

    // The same name by name again from this folder: a duplicate, nothing written.
    pick_picture("a.jpg");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture is already loaded.");
    EXPECT_EQ(rows().size(), 1);
    EXPECT_EQ(ctl(*window).Label27->text(), "1");
    EXPECT_TRUE(ctl(*window).Fil_ImportFile->isEnabled());
}

TEST_F(LoaderWindow, TheCommitUsesThePickNotTheListsOfLater)
{
    jpg("a.jpg");
    jpg("b.jpg");
    file("b.avi");
    show(source.path());
    pick_picture("a.jpg");
    // Whatever happens to the lists afterwards, the pick stands.
    testsupport::TempDir elsewhere;
    QFile(elsewhere.file("z.jpg")).open(QIODevice::WriteOnly);
    ctl(*window).Dir_ImportDir->set_path(elsewhere.path());
    ctl(*window).Fil_ImportFile->select_row(0);
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(rows(), QStringList({"1/1/a.jpg/-"}));
}

TEST_F(LoaderWindow, RtfAndTextLoadOfTheNotes)
{
    jpg("r.jpg");
    jpg("t.jpg");
    jpg("e.jpg");
    show(source.path());
    ctl(*window).Option3[0]->setChecked(true);   // RTF Load
    pick_picture("r.jpg");
    ctl(*window).Txt_Notes->setText("rich");
    ctl(*window).cmd_OK->click();
    EXPECT_TRUE(field("note", "r.jpg").toString().startsWith("{\\rtf"));
    // An empty additional note still stores the rich text of an empty document.
    EXPECT_TRUE(field("addnote", "r.jpg").toString().startsWith("{\\rtf"));
    // The choice stays for the next load; an empty note is the file name.
    pick_picture("e.jpg");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(field("note", "e.jpg").toString(), "e.jpg");
    ctl(*window).Option3[1]->setChecked(true);
    pick_picture("t.jpg");
    ctl(*window).Txt_Notes->setText("plain");
    ctl(*window).Text27->setText("add");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(field("note", "t.jpg").toString(), "plain");
    EXPECT_EQ(field("addnote", "t.jpg").toString(), "add");
}

TEST_F(LoaderWindow, InsideRefusalKeepsTheLoadPendingUntilOutLoadsIt)
{
    png("p.png");
    show(source.path());
    pick_picture("p.png");
    ctl(*window).Option2[0]->setChecked(true);   // Load IN
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(),
              "Cannot load PNG, TIF, RLE, WMF, ICO or EMF files, if the picture is loaded within the database.");
    EXPECT_TRUE(ctl(*window).cmd_OK->isEnabled());
    EXPECT_TRUE(ctl(*window).cancel_load_picture->isEnabled());
    EXPECT_TRUE(pick_pending());
    EXPECT_TRUE(rows().isEmpty());
    ctl(*window).Option2[1]->setChecked(true);
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    EXPECT_EQ(rows(), QStringList({"1/1/p.png/-"}));
}

TEST_F(LoaderWindow, InsideStoresTheFilesBytes)
{
    const QString path = jpg("in.jpg");
    show(source.path());
    ctl(*window).Option2[0]->setChecked(true);
    pick_picture("in.jpg");
    ctl(*window).cmd_OK->click();
    ASSERT_EQ(window->message_text(), "Picture loaded.");
    store::Error e;
    EXPECT_TRUE(window->session().db_conn()->read_picture_bytes(1, e) == testsupport::read_all(path));
    EXPECT_EQ(field("inoutpic", "in.jpg").toInt(), 1);
}

TEST_F(LoaderWindow, CancelDropsTheNotesAndFreesTheLists)
{
    jpg("a.jpg");
    show(source.path());
    pick_picture("a.jpg");
    ctl(*window).Txt_Notes->setText("typed");
    ctl(*window).Txt_Notes->setSelStart(0);
    ctl(*window).Txt_Notes->setSelLength(5);
    ctl(*window).Txt_Notes->setSelFontName("Arial");
    ctl(*window).SSTab2->setCurrentIndex(1);
    ctl(*window).SSTab5->setCurrentIndex(1);
    ctl(*window).cancel_load_picture->click();
    EXPECT_EQ(window->message_text(), "Load cancelled.");
    EXPECT_EQ(ctl(*window).Txt_Notes->Text().trimmed(), "");
    EXPECT_EQ(ctl(*window).Txt_Notes->SelFontName().value_or(""), "Comic Sans MS");
    EXPECT_EQ(ctl(*window).Text27->SelFontSize().value_or(0), 8);
    EXPECT_EQ(ctl(*window).SSTab2->currentIndex(), 0);
    EXPECT_EQ(ctl(*window).SSTab5->currentIndex(), 0);
    expect_locked(*window, false);
    EXPECT_TRUE(ctl(*window).Img_ImportImage->isHidden());
    EXPECT_FALSE(pick_pending());
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(LoaderWindow, UndecodablePicturesAreShownEmptyAndLoadedByNameOnly)
{
    file("noise.jpg", "not a picture at all");
    show(source.path());
    pick_picture("noise.jpg");
    EXPECT_TRUE(pick_pending());
    EXPECT_TRUE(ctl(*window).Img_ImportImage->pixmap().isNull());
    EXPECT_FALSE(ctl(*window).Img_ImportImage->text().isEmpty());
    ctl(*window).Option2[0]->setChecked(true);
    ctl(*window).cmd_OK->click();
    EXPECT_TRUE(window->message_text().startsWith("Cannot load the picture within the database: "))
        << window->message_text().toStdString();
    EXPECT_TRUE(rows().isEmpty());
    ctl(*window).Option2[1]->setChecked(true);
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(rows(), QStringList({"1/1/noise.jpg/-"}));
}

TEST_F(LoaderWindow, APictureGoneSinceTheListingIsNotPicked)
{
    const QString path = jpg("gone.jpg");
    show(source.path());
    QFile::remove(path);
    pick_picture("gone.jpg");
    EXPECT_EQ(window->message_text(), "Picture file not found.");
    EXPECT_FALSE(pick_pending());
    expect_locked(*window, false);
}

TEST_F(LoaderWindow, ClosingTheCatalogueUnderAPendingLoadFreesTheLists)
{
    jpg("a.jpg");
    show(source.path());
    pick_picture("a.jpg");
    ctl(*window).mnuDb->trigger();   // close
    EXPECT_FALSE(pick_pending());
    EXPECT_TRUE(ctl(*window).Img_ImportImage->isHidden());
    EXPECT_EQ(ctl(*window).text7->text(), "");
    EXPECT_TRUE(ctl(*window).Drv_ImportDrive->isEnabled());
    EXPECT_TRUE(ctl(*window).Dir_ImportDir->isEnabled());
    EXPECT_TRUE(ctl(*window).refresh_pictures->isEnabled());
    EXPECT_FALSE(window->busy_state().busy());
}

TEST_F(LoaderWindow, AFailedCommitLeavesAUsableLoader)
{
    jpg("a.jpg");
    show(source.path());
    pick_picture("a.jpg");
    {
        // Someone else damages the catalogue meanwhile.
        store::Error e;
        auto other = store::Connection::open(catalogue, {}, e);
        ASSERT_TRUE(other);
        ASSERT_TRUE(other->exec("ALTER TABLE demopicture RENAME TO elsewhere").ok());
    }
    ctl(*window).cmd_OK->click();
    EXPECT_TRUE(window->message_text().startsWith("Error ")) << window->message_text().toStdString();
    EXPECT_TRUE(ctl(*window).cmd_OK->isEnabled());
    EXPECT_TRUE(ctl(*window).cancel_load_picture->isEnabled());
    EXPECT_TRUE(pick_pending());
    ctl(*window).cancel_load_picture->click();
    expect_locked(*window, false);
    EXPECT_FALSE(window->busy_state().busy());
}

TEST_F(LoaderWindow, ADoubleClickInTheListPicks)
{
    jpg("a.jpg");
    show(source.path());
    window->show();
    QListWidgetItem* item = ctl(*window).Fil_ImportFile->item(0);
    const QRect r = ctl(*window).Fil_ImportFile->visualItemRect(item);
    QTest::mouseClick(ctl(*window).Fil_ImportFile->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(ctl(*window).Fil_ImportFile->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_TRUE(pick_pending());
    EXPECT_EQ(ctl(*window).text7->text(), "a.jpg");
}

TEST_F(LoaderWindow, APickBringsThePreviewAndItsButtonsToTheFront)
{
    jpg("a.jpg");
    jpg("b.jpg");
    show(source.path());
    window->show();
    ctl(*window).SSTab_main->setCurrentIndex(2);
    // The loader showed the management tab, then the database page.
    for (auto [outer, inner] : {std::pair{1, 0}, std::pair{0, 0}}) {
        ctl(*window).SSTab_mgm->setCurrentIndex(outer);
        ctl(*window).SSTab4->setCurrentIndex(inner);
        pick_picture("a.jpg");
        EXPECT_EQ(ctl(*window).SSTab_mgm->currentIndex(), 0);
        EXPECT_EQ(ctl(*window).SSTab4->currentIndex(), 1);
        QTRY_VERIFY(ctl(*window).cmd_OK->isVisible());
        EXPECT_TRUE(ctl(*window).cancel_load_picture->isVisible());
        EXPECT_TRUE(ctl(*window).Img_ImportImage->isVisible());
        EXPECT_TRUE(ctl(*window).Txt_Notes->isVisible());
        ctl(*window).cancel_load_picture->click();
    }
}
