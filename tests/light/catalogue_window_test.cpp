// The light window's start-up, its set of controls, and the life of a
// catalogue: create, open, close, refresh, compact, the about box.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "light_fixture.h"

#include "catalogue/frm_about.h"
#include "light/view_image.h"
#include "pageview/frm_zoom.h"
#include "platform/richtext/rich_text_box.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

using namespace mosswick;

namespace {

frmAbout* about_box()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<frmAbout*>(w))
            return a;
    return nullptr;
}

// Without a catalogue the six cells show no picture, keep their design
// size and grey their notes.
void expect_empty_cells(QWidget& window)
{
    for (size_t i = 1; i <= 6; ++i) {
        EXPECT_TRUE(ctl(window).im[i]->isHidden()) << i;
        EXPECT_EQ(ctl(window).im[i]->size(), QSize(ui::twips_to_px(4635), ui::twips_to_px(2775))) << i;
        EXPECT_EQ(ui::to_bgr(ctl(window).lbl_note[i]->back_color()), 0xE0E0E0u) << i;
    }
}

} // namespace

TEST_F(LightWindow, StartsClosedWithTheLightCaptionsAndLimits)
{
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "&Open DB");
    EXPECT_EQ(ctl(*window).mnuTQ[5]->text(), "High quality Bicubic");
    EXPECT_EQ(ctl(*window).mnuZQ[4]->text(), "High quality Bi&linear");
    EXPECT_EQ(ctl(*window).mnuTQ[4]->text(), "High quality bi&linear");
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(2));
    EXPECT_EQ(window->tab_text(), "Pictures & Movies");
    for (QLineEdit* box : {ctl(*window).Txt_delpag, ctl(*window).Text15, ctl(*window).Text9, ctl(*window).Text11, ctl(*window).Text22,
                           ctl(*window).Text20})
        EXPECT_EQ(box->maxLength(), 14);
    EXPECT_EQ(ctl(*window).Text1->maxLength(), 255);
    EXPECT_EQ(ctl(*window).Text1->toolTip(), "Picture file to find");
    EXPECT_EQ(ctl(*window).Text4->toolTip(), "Note to find");
    EXPECT_FALSE(ctl(*window).compact_database->isEnabled());
    EXPECT_TRUE(ctl(*window).Create_database->isEnabled());
    expect_empty_cells(*window);
    expect_usable();
}

TEST_F(LightWindow, HasNoneOfTheFullWindowsExtraControls)
{
    // Passwords, stored pictures, references, additional notes, details,
    // the reference and import/export grids, the update pass's note import;
    // the loader's are not built at all.
    for (QWidget* w : std::initializer_list<QWidget*>{
             ctl(*window).Check1, ctl(*window).Check3, ctl(*window).Check4, ctl(*window).Text35, ctl(*window).Text36,
             ctl(*window).Command1, ctl(*window).Option2[0], ctl(*window).Option4[0], ctl(*window).OptionF1[0],
             ctl(*window).OptionFL2[0], ctl(*window).OptionF12[0], ctl(*window).text23, ctl(*window).Text27,
             ctl(*window).note_size[0], ctl(*window).note_size[2]})
        EXPECT_EQ(w, nullptr) << w->metaObject()->className() << " " << w->toolTip().toStdString();
    // The search tab and the import/export page build none of theirs.
    const std::pair<const char*, QWidget*> absent[] = {
        {"MSHFlexGrid2", ctl(*window).MSHFlexGrid2}, {"Extract", ctl(*window).Extract},
        {"refresh_extraction", ctl(*window).refresh_extraction}, {"MSHFlexGrid1", ctl(*window).MSHFlexGrid1},
        {"refresh_ref", ctl(*window).refresh_ref}, {"Check5", ctl(*window).Check5},
        {"display_page", ctl(*window).display_page}, {"Text3", ctl(*window).Text3},
        {"Option5(0)", ctl(*window).Option5[0]}, {"Option6(0)", ctl(*window).Option6[0]},
        {"Option7(0)", ctl(*window).Option7[0]}, {"Option1(2)", ctl(*window).Option1[2]}};
    for (const auto& [name, w] : absent)
        EXPECT_EQ(w, nullptr) << name;
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(ctl(*window).Text34[size_t(i)], nullptr);
        EXPECT_EQ(ctl(*window).Text18[size_t(i)], nullptr);
        EXPECT_EQ(ctl(*window).SSTab1[size_t(i)], nullptr);
        // The note box sits directly in the cell, under the picture.
        EXPECT_TRUE(shown(ctl(*window).lbl_note[size_t(i)]));
        EXPECT_EQ(ctl(*window).lbl_note[size_t(i)]->parentWidget(), ctl(*window).cell_picture_area[size_t(i)]->parentWidget());
    }
    // What the light window has: "Compact" beside the new-catalogue button,
    // the rename button and its extension box, one note length, the
    // companion files' IN/OUT and the single load's RTF/Text choice.
    for (QWidget* w : std::initializer_list<QWidget*>{ctl(*window).compact_database, ctl(*window).Create_database,
                                                      ctl(*window).Command2, ctl(*window).Text28, ctl(*window).note_size[1],
                                                      ctl(*window).OptionFL[0], ctl(*window).Option3[0], ctl(*window).Text1,
                                                      ctl(*window).Text4, ctl(*window).Check2, ctl(*window).refresh_grid})
        EXPECT_TRUE(shown(w)) << w->metaObject()->className();
    EXPECT_EQ(ctl(*window).compact_database->text(), "Compact");
    EXPECT_EQ(ctl(*window).Command2->text(), "Rename");
    EXPECT_EQ(ctl(*window).Text28->maxLength(), 3);
}

TEST_F(LightWindow, EscSetsOnlyTheSearchFlag)
{
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->session().busy().stop_requested(ui::StopRequest::Esc));
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::UpdateEsc));
}

TEST_F(LightWindow, CreatesALightCatalogueWithoutProtection)
{
    // There are no protection options to read.
    EXPECT_EQ(ctl(*window).Check1, nullptr);
    EXPECT_EQ(ctl(*window).Check3, nullptr);
    ctl(*window).Create_database->click();
    EXPECT_EQ(window->message_text(), "Database created.");
    const QString path = dir.file("new.mdb");
    EXPECT_EQ(store::probe_file(path), store::FileProbe::Plain);
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    ASSERT_TRUE(conn) << e.text.toStdString();
    EXPECT_EQ(conn->column_names(), QStringList({"movfile", "picfile", "note", "numpage", "numpic"}));
    for (const char* index : {"UniqueKey", "GenericKey1", "GenericKey2", "GenericKey3", "idxPicfile"})
        EXPECT_TRUE(conn->has_index(index)) << index;
    EXPECT_FALSE(conn->has_index("GenericKey4"));
    conn.reset();

    // A second creation leaves the existing file alone and says why.
    const QByteArray before = testsupport::read_all(path);
    ctl(*window).Create_database->click();
    EXPECT_EQ(window->message_text(), "ADODB Error occurred.");
    EXPECT_TRUE(window->message_tip().contains("Error 58 - ")) << window->message_tip().toStdString();
    EXPECT_TRUE(window->message_tip().contains("new.mdb"));
    EXPECT_EQ(testsupport::read_all(path), before);
    EXPECT_TRUE(ctl(*window).Create_database->isEnabled());
    expect_usable();
}

TEST_F(LightWindow, OpensClosesAndRefreshes)
{
    dialogs->files.push_back(QString());
    ctl(*window).mnuDb->trigger();
    EXPECT_EQ(window->windowTitle(), "Mosswick Database");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "&Open DB");
    EXPECT_FALSE(window->session().db_open());

    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(window->message_text(), "Open a database first.");

    open_light(8);
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Close DB");
    EXPECT_TRUE(ctl(*window).compact_database->isEnabled());
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_EQ(ctl(*window).Label27->text(), "8");
    EXPECT_EQ(ctl(*window).Label29->text(), "2");
    EXPECT_EQ(dialogs->count("password"), 0);

    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(window->message_text(), "Database refreshed.");
    EXPECT_EQ(testsupport::cells_shown(*window), 6);

    ctl(*window).mnuDb->trigger();
    EXPECT_EQ(window->message_text(), "Database closed.");
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_FALSE(ctl(*window).compact_database->isEnabled());
    expect_empty_cells(*window);
    expect_usable();
}

TEST_F(LightWindow, OpensAFullCatalogueAsItIs)
{
    open_light(3, store::Schema::Full);
    // No upgrade question, no change to the file.
    EXPECT_EQ(dialogs->count("message"), 0);
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    EXPECT_EQ(testsupport::cells_shown(*window), 3);
    EXPECT_FALSE(ctl(*window).im[1]->pixmap().isNull());
}

TEST_F(LightWindow, OpensOldFilesWithoutUpgradingThem)
{
    const QString seven = make_light(2);
    add_columns(seven, {"reference VARCHAR(255)", "addnote TEXT"});
    open(seven);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("message"), 0);
    EXPECT_EQ(window->session().db_conn()->column_count(), 7);
}

TEST_F(LightWindow, APasswordProtectedCatalogueIsRefusedWithoutAPrompt)
{
    open(make(2, spec_of(store::Schema::Light, "secret")));
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
    EXPECT_EQ(window->message_text(),
              "The catalogue has a password: it is opened by the full edition (mosswick-enhanced).");
    EXPECT_FALSE(window->session().db_conn());
    expect_usable();
}

TEST_F(LightWindow, AReadOnlyCatalogueCannotBeCompactedOrLoaded)
{
    path = make_light(3);
    const ReadOnlyFile read_only(path);
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(2));
    EXPECT_FALSE(ctl(*window).compact_database->isEnabled());
    ctl(*window).compact_database->click();
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_TRUE(window->session().db_open());
}

TEST_F(LightWindow, CompactRewritesTheCatalogueAndLeavesItClosed)
{
    open_light(30);
    exec("DELETE FROM demopicture WHERE numpic > 6");
    exec("UPDATE demopicture SET note = ?1 WHERE numpic = 1", {QString(20000, 'x')});
    exec("UPDATE demopicture SET note = 'short' WHERE numpic = 1");
    dir.write("NewCmpctDB.mdb", "a leftover of an earlier run");
    const qint64 before = QFileInfo(path).size();

    ctl(*window).compact_database->click();
    EXPECT_EQ(window->message_text(), "Database compacted, now you can open the database.");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_FALSE(window->session().db_conn());
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
    EXPECT_FALSE(ctl(*window).compact_database->isEnabled());
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_TRUE(ctl(*window).Label27->text().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.file("NewCmpctDB.mdb")));
    EXPECT_LT(QFileInfo(path).size(), before);
    expect_usable();

    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(rows().size(), 6);
    EXPECT_EQ(field("note", "pic001.jpg").toString(), "short");
}

TEST_F(LightWindow, ACatalogueScrambledByTheFullEditionStaysScrambled)
{
    testsupport::CatalogueSpec spec;
    spec.schema = store::Schema::Light;
    spec.protection.encrypt = true;
    path = make(4, spec);
    open(path);
    ASSERT_TRUE(window->session().db_open());
    ctl(*window).compact_database->click();
    EXPECT_EQ(window->message_text(), "Database compacted, now you can open the database.");
    EXPECT_EQ(store::probe_file(path), store::FileProbe::MaybeEncrypted);
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(window->session().picture_count(), 4);
}

TEST_F(LightWindow, AFailedCompactionKeepsTheCatalogueAndSaysWhy)
{
    open_light(4);
    const QByteArray before = testsupport::read_all(path);
    // A folder where the temporary file must go: it cannot be replaced.
    ASSERT_TRUE(QDir().mkdir(dir.file("NewCmpctDB.mdb")));
    ctl(*window).compact_database->click();
    EXPECT_TRUE(window->message_text().startsWith("Error ")) << window->message_text().toStdString();
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(testsupport::read_all(path), before);
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(window->session().picture_count(), 4);
}

TEST_F(LightWindow, TheAboutBoxShowsSmallTheAboutPictureItsClickZooms)
{
    window->show();
    window->session().set_program_folder(dir.path());
    QImage picture(480, 300, QImage::Format_RGB32);
    picture.fill(QColor(200, 40, 30));
    ASSERT_TRUE(picture.save(dir.file("about3.jpg"), "JPG", 95));
    ctl(*window).mnuAbout->trigger();
    frmAbout* about = about_box();
    ASSERT_TRUE(about);
    EXPECT_EQ(about->Label5->text(), "V2.1.12, September 1, 2003");
    EXPECT_EQ(about->Label8->text(), "Click the image above to show the entire screenshot");
    // The box carries no screenshot of its own: its small picture is the
    // picture that the click shows whole.
    EXPECT_TRUE(about->screenshot().isNull());
    const QPixmap small = about->Image2->pixmap();
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(small.deviceIndependentSize(), QSizeF(240, 150));
    const QColor centre = small.toImage().pixelColor(small.width() / 2, small.height() / 2);
    EXPECT_NEAR(centre.red(), 200, 8);
    EXPECT_NEAR(centre.green(), 40, 8);
    EXPECT_NEAR(centre.blue(), 30, 8);

    QTest::mouseClick(about->Image2, Qt::LeftButton);
    QPointer<frmZoom> zoom = testsupport::last_zoom();
    ASSERT_TRUE(zoom);
    EXPECT_FALSE(zoom->request().picture_in_db);
    EXPECT_EQ(ctl(*zoom).Label1->text(), dir.file("about3.jpg"));
    EXPECT_EQ(ctl(*zoom).Label2->text(), "5");
    ASSERT_TRUE(wait_for_zoom());
    EXPECT_FALSE(zoom->failed());
    EXPECT_EQ(zoom->drawn().size(), QSize(480, 300));
    expect_usable();
    zoom->close();

    // Without the file the zoom window says so and closes; nothing else does.
    QFile::remove(dir.file("about3.jpg"));
    emit about->screenshot_clicked();
    zoom = testsupport::last_zoom();
    EXPECT_EQ(dialogs->messages(), QStringList({"Picture file not found."}));
    settle();
    EXPECT_FALSE(zoom);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(window->isVisible());
    expect_usable();
    about->close();
}

TEST_F(LightWindow, TheBuildPutsAScreenshotOfTheLightWindowBesideTheProgram)
{
    const QString file = QStringLiteral(MOSSWICK_LIGHT_PROGRAM_DIR) + "/about3.jpg";
    const QImage picture(file);
    ASSERT_FALSE(picture.isNull()) << file.toStdString();
    // The whole light window at its design size: its six note boxes where
    // this window has them, and pictures in the cells, which a window
    // without a catalogue leaves empty.
    ASSERT_EQ(picture.size(), QSize(1280, 800));
    window->resize(1280, 800);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage empty = window->grab().toImage();
    int grey_cells = 0;
    for (size_t i = 1; i <= 6; ++i) {
        QWidget* note = ctl(*window).lbl_note[i];
        const QPoint at = note->mapTo(window.get(), QPoint(note->width() - 10, note->height() - 10));
        const QColor shown = picture.pixelColor(at);
        grey_cells += std::abs(shown.red() - 0xE0) < 12 && std::abs(shown.green() - 0xE0) < 12
                      && std::abs(shown.blue() - 0xE0) < 12;
    }
    EXPECT_EQ(grey_cells, 6);
    QWidget* cell = ctl(*window).cell_picture_area[2];
    ASSERT_TRUE(cell);
    const QPoint middle = cell->mapTo(window.get(), cell->rect().center());
    EXPECT_NE(picture.pixelColor(middle), empty.pixelColor(middle)) << middle.x() << "," << middle.y();
}

TEST_F(LightWindow, ViewImageShrinksIntoTheTargetOrSaysNoPreview)
{
    QLabel temp;
    QLabel target;
    QImage source(120, 60, QImage::Format_RGB32);
    source.fill(Qt::blue);
    temp.setPixmap(QPixmap::fromImage(source));
    qint32 x1 = 120 * 15;
    qint32 y1 = 60 * 15;
    mosswick::light::ViewImage({}, &temp, &target, x1, y1, 60 * 15, 60 * 15);
    EXPECT_EQ(x1, 60);
    EXPECT_EQ(y1, 30);
    const QImage drawn = target.pixmap().toImage();
    EXPECT_EQ(drawn.size(), QSize(60, 60));
    EXPECT_EQ(drawn.pixelColor(30, 30), QColor(Qt::blue));
    EXPECT_EQ(drawn.pixelColor(30, 2).alpha(), 0);   // above the centred picture

    qint32 w = 0;
    qint32 h = 60 * 15;
    mosswick::light::ViewImage({}, &temp, &target, w, h, 60 * 15, 60 * 15);
    EXPECT_TRUE(temp.pixmap().isNull());
    EXPECT_FALSE(target.pixmap().isNull());
}
