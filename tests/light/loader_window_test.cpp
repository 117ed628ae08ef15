// The light loader: pictures only as files, one note, the light log and
// the light batch load's panels.
#include "support/window_controls.h"
#include "light_fixture.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"

#include <QFileInfo>
#include <QTest>

using namespace mosswick;

namespace {

class LightLoader : public LightWindow {
protected:
    // Opens an empty catalogue of a schema and lists the source folder.
    void open_empty(store::Schema schema = store::Schema::Light)
    {
        open_light(0, schema);
        show_folder(source.path());
    }

    QString write(const QString& name, const QByteArray& bytes = {}) const { return source.write(name, bytes); }
    void picture(const QString& name, const char* format = "jpg") const
    {
        ASSERT_TRUE(testsupport::write_picture(source.file(name), 40, 30, format));
    }

    testsupport::TempDir source;
};

} // namespace

TEST_F(LightLoader, SingleLoadStoresTheFileNameAndOneNote)
{
    open_empty();
    picture("a.png", "png");
    write("a.avi");
    picture("b.jpg");
    ctl(*window).refresh_pictures->click();

    // A type the full edition keeps out of the catalogue is loaded like any other.
    pick_picture("a.png");
    EXPECT_TRUE(ctl(*window).cmd_OK->isEnabled());
    EXPECT_TRUE(ctl(*window).clear_note->isEnabled());
    EXPECT_TRUE(ctl(*window).Txt_Notes->isEnabled());
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    EXPECT_EQ(ctl(*window).lbl_load_picture->text(), "Pic# 1 at the pag# 1.");
    EXPECT_EQ(rows(), QStringList({"1/1/a.png/a.avi"}));
    EXPECT_EQ(field("note", "a.png").toString(), "a.png");
    EXPECT_EQ(window->session().db_conn()->column_count(), 5);
    EXPECT_FALSE(ctl(*window).Txt_Notes->isEnabled());
    EXPECT_FALSE(ctl(*window).cmd_OK->isEnabled());
    EXPECT_FALSE(ctl(*window).clear_note->isEnabled());
    EXPECT_FALSE(ctl(*window).cancel_load_picture->isEnabled());
    // The commit enables the verify button itself (its tab opens with the next open).
    EXPECT_FALSE(ctl(*window).verify_loaded_pictures->testAttribute(Qt::WA_ForceDisabled));

    // "Text Load" is the choice at start; "RTF Load" stores the markup.
    ctl(*window).Option3[0]->setChecked(true);
    pick_picture("b.jpg");
    ctl(*window).Txt_Notes->setText("rich");
    ctl(*window).cmd_OK->click();
    EXPECT_TRUE(field("note", "b.jpg").toString().startsWith("{\\rtf"));
    EXPECT_EQ(rows().back(), "2/1/b.jpg/-");

    // Loaded again from a folder other than the data folder: a duplicate.
    pick_picture("b.jpg");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture is already loaded.");
    EXPECT_EQ(rows().size(), 2);
    expect_usable();
}

TEST_F(LightLoader, APictureOfTheDataFolderIsLoadedAgainByName)
{
    open_light(2);
    show_folder(dir.file("data"));
    pick_picture("pic001.jpg");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    EXPECT_EQ(rows().back(), "3/1/pic001.jpg/-");
}

TEST_F(LightLoader, IntoAFullCatalogueOnlyTheLightFieldsAreWritten)
{
    open_empty(store::Schema::Full);
    picture("a.jpg");
    ctl(*window).refresh_pictures->click();
    // There is no IN choice and no box for the other fields to read.
    EXPECT_EQ(ctl(*window).Option2[0], nullptr);
    EXPECT_EQ(ctl(*window).text23, nullptr);
    EXPECT_EQ(ctl(*window).Text27, nullptr);
    pick_picture("a.jpg");
    ctl(*window).Txt_Notes->setText("the note");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
    EXPECT_EQ(field("note", "a.jpg").toString(), "the note");
    for (const char* column : {"reference", "addnote", "inoutpic", "dbpic"})
        EXPECT_FALSE(field(column, "a.jpg").isValid()) << column;
}

TEST_F(LightLoader, BatchLoadOutRecordsCompanionsAndKeepsTheTimingPanel)
{
    open_empty();
    picture("p1.jpg");
    write("p1.txt", "text of p1");
    picture("p2.tif", "tif");
    write("p2.mpg");
    ctl(*window).refresh_pictures->click();
    window->set_timing("earlier");
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "2 pictures processed. 2 loaded. No Errors found.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_EQ(window->timing_text(), "earlier");
    EXPECT_EQ(rows(), QStringList({"1/1/p1.jpg/p1.txt", "2/1/p2.tif/p2.mpg"}));
    EXPECT_TRUE(QFileInfo::exists(source.file("p1.txt")));
    EXPECT_EQ(field("note", "p2.tif").toString(), "p2.tif");
    expect_usable();
}

TEST_F(LightLoader, BatchLoadInPutsNoteFilesIntoTheNoteAndMovesThem)
{
    open_empty(store::Schema::Full);
    picture("t.jpg");
    write("t.txt", "plain note");
    picture("r.jpg");
    write("r.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 rich note\\par}");
    ctl(*window).refresh_pictures->click();
    ctl(*window).OptionFL[0]->click();
    // There is no choice of field: a note file goes into the note.
    EXPECT_EQ(ctl(*window).OptionF1[2], nullptr);
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "2 pictures processed. 2 loaded. No Errors found.");
    EXPECT_EQ(field("note", "t.jpg").toString(), "plain note");
    EXPECT_FALSE(field("reference", "t.jpg").isValid());
    EXPECT_FALSE(field("movfile", "t.jpg").isValid());
    EXPECT_TRUE(field("note", "r.jpg").toString().startsWith("{\\rtf"));
    EXPECT_TRUE(QFileInfo::exists(dir.file("t.txt")));
    EXPECT_TRUE(QFileInfo::exists(dir.file("r.rtf")));
    EXPECT_FALSE(QFileInfo::exists(source.file("t.txt")));
}

TEST_F(LightLoader, BatchLoadLogsDuplicatesInTheLightLog)
{
    open_empty();
    picture("keep.jpg");
    ctl(*window).refresh_pictures->click();
    ctl(*window).load_pictures->click();
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "1 picture processed. 0 loaded. There are errors.");
    const QByteArray log = testsupport::read_all(dir.file("Mosswick-Light load errors.log"));
    EXPECT_TRUE(log.endsWith(" - File name: keep.jpg\r\n")) << log.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file("Mosswick-Zudidudi load errors.log")));
}

TEST_F(LightLoader, NoteToolsWorkOnTheOneNoteBox)
{
    open_empty();
    window->show();
    QTest::mousePress(ctl(*window).Label12_5, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_37), 0x008000u);
    EXPECT_EQ(back_of(ctl(*window).Label12_5), 0xC0C0C0u);
    QTest::mouseRelease(ctl(*window).Label12_5, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_37), 0xC0FFC0u);
    EXPECT_EQ(back_of(ctl(*window).Label12_5), 0xE0E0E0u);
    QTest::mousePress(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_36), 0x008000u);
    QTest::mouseRelease(ctl(*window).Label13, Qt::LeftButton);
    EXPECT_EQ(back_of(ctl(*window).Label28_36), 0xC0FFC0u);

    // The lengths are at hand while a pick is pending.
    picture("a.jpg");
    ctl(*window).refresh_pictures->click();
    pick_picture("a.jpg");
    ctl(*window).Txt_Notes->setText("one\ntwo");
    QTest::mouseClick(ctl(*window).note_size[1], Qt::LeftButton);
    EXPECT_EQ(ctl(*window).note_size[1]->text(), "8");
}

TEST_F(LightLoader, APickBringsThePreviewAndItsButtonsToTheFront)
{
    open_empty();
    picture("a.jpg");
    ctl(*window).refresh_pictures->click();
    window->show();
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ctl(*window).SSTab_mgm->setCurrentIndex(1);
    ctl(*window).SSTab4->setCurrentIndex(0);
    pick_picture("a.jpg");
    EXPECT_EQ(ctl(*window).SSTab_mgm->currentIndex(), 0);
    EXPECT_EQ(ctl(*window).SSTab4->currentIndex(), 1);
    QTRY_VERIFY(ctl(*window).cmd_OK->isVisible());
    EXPECT_TRUE(ctl(*window).cancel_load_picture->isVisible());
    EXPECT_TRUE(ctl(*window).Txt_Notes->isVisible());
}
