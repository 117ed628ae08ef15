// The viewer's window under the offscreen platform, with a fixed work area,
// and its start-up through the scripted dialogs.

#include "support/metafile_writer.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"
#include "viewer/frm_zoom.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_layout.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosswick;
using namespace mosswick::viewer;
using testsupport::TempDir;

namespace {

const QRect k_work_area(0, 30, 800, 570);

TEST(ViewerWindow, SmallPictureAtItsNaturalSize)
{
    TempDir dir;
    const QString path = dir.file("small.png");
    ASSERT_TRUE(testsupport::write_picture(path, 200, 120, "png", Qt::red));
    frmZoom w(path, k_work_area);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.status(), picture::PictureStatus::Ok);
    EXPECT_EQ(w.size(), QSize(200, 120));
    EXPECT_EQ(w.picture().size(), QSize(200, 120));
    EXPECT_EQ(w.pos(), k_work_area.topLeft());
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    // What the window shows is the picture (marker red at the top-left).
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(Qt::red));
}

TEST(ViewerWindow, AWindowsMetafileIsShown)
{
    TempDir dir;
    const QString path = dir.file("drawing.wmf");
    mfwrite::WmfWriter wmf(QRect(0, 0, 3000, 1500), 1000);  // 3 x 1.5 inch
    wmf.window_org(QPoint(0, 0)).window_ext(QSize(3000, 1500)).solid_brush(qRgb(255, 0, 0)).select(0);
    wmf.rectangle(QRect(0, 0, 3000, 1500));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wmf.finish());
    f.close();
    frmZoom w(path, k_work_area);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.status(), picture::PictureStatus::Ok);
    EXPECT_EQ(w.picture().size(), QSize(288, 144));
    const QImage shot = w.grab().toImage();
    EXPECT_GT(QColor(shot.pixel(144, 72)).red(), 200);
    EXPECT_LT(QColor(shot.pixel(144, 72)).green(), 60);
}

TEST(ViewerWindow, LargePictureShrunkToTheWorkArea)
{
    TempDir dir;
    const struct {
        const char* format;
        QSize natural;
        QSize shown;
    } cases[] = {{"jpg", {1600, 600}, {800, 300}}, {"bmp", {1000, 1140}, {500, 570}}, {"png", {800, 570}, {800, 570}}};
    for (const auto& c : cases) {
        const QString path = dir.file(QStringLiteral("picture.") + c.format);
        ASSERT_TRUE(testsupport::write_picture(path, c.natural.width(), c.natural.height(), c.format));
        EXPECT_EQ(frmZoom(path, k_work_area).size(), c.shown) << c.format;
    }
}

TEST(ViewerWindow, MissingOrBrokenPictureGivesTheEmptyDesignWindow)
{
    TempDir dir;
    const QString garbage = dir.write("broken.jpg", QByteArray("no picture in here at all"));
    const QString empty = dir.write("empty.gif", QByteArray());
    const struct {
        QString path;
        picture::PictureStatus status;
    } cases[] = {{dir.file("missing.jpg"), picture::PictureStatus::NotFound},
                 {garbage, picture::PictureStatus::Undecodable},
                 {empty, picture::PictureStatus::Empty},
                 {dir.path(), picture::PictureStatus::Unreadable}};
    for (const auto& c : cases) {
        frmZoom w(c.path, k_work_area);
        EXPECT_EQ(w.status(), c.status);
        EXPECT_EQ(w.size(), design_window_size());
        EXPECT_TRUE(w.picture().isNull());
    }
}

TEST(ViewerWindow, AClickEndsItAndKeysDoNothing)
{
    TempDir dir;
    const QString path = dir.file("p.png");
    ASSERT_TRUE(testsupport::write_picture(path, 300, 200, "png"));
    frmZoom w(path, k_work_area);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_6, Qt::Key_Q})
        QTest::keyClick(&w, key);
    EXPECT_TRUE(w.isVisible());
    QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(250, 150));
    EXPECT_FALSE(w.isVisible());

    frmZoom empty(k_work_area);  // the empty window closes the same way
    empty.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&empty));
    QTest::mouseClick(&empty, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(empty.isVisible());
}

TEST(ViewerStartUp, TheArgumentNamesThePicture)
{
    testsupport::ScopedScriptedDialogs dialogs;
    TempDir dir;
    ASSERT_TRUE(testsupport::write_picture(dir.file("a b.png"), 90, 60, "png"));
    // Quoted and relative to the current folder given.
    ViewerStart s = start_viewer({QStringLiteral("\"a b.png\"")}, dir.path(), k_work_area);
    ASSERT_TRUE(s.window);
    EXPECT_EQ(s.window->status(), picture::PictureStatus::Ok);
    EXPECT_EQ(s.window->size(), QSize(90, 60));
    EXPECT_TRUE(dialogs->asked.empty());  // no dialog with an argument

    // An argument naming nothing: the empty window, no message.
    ViewerStart missing = start_viewer({dir.file("gone.png")}, dir.path(), k_work_area);
    ASSERT_TRUE(missing.window);
    EXPECT_EQ(missing.window->size(), design_window_size());
    EXPECT_TRUE(dialogs->asked.empty());
}

TEST(ViewerStartUp, WithoutArgumentTheOpenDialogAsks)
{
    testsupport::ScopedScriptedDialogs dialogs;
    TempDir dir;
    ASSERT_TRUE(testsupport::write_picture(dir.file("chosen.jpg"), 1200, 600, "jpg"));
    dialogs->files.push_back(dir.file("chosen.jpg"));
    ViewerStart s = start_viewer({}, dir.path(), k_work_area);
    ASSERT_TRUE(s.window);
    EXPECT_EQ(s.window->size(), QSize(800, 400));
    ASSERT_EQ(dialogs->asked.size(), 1u);
    EXPECT_EQ(dialogs->asked[0].kind, QStringLiteral("open"));
    EXPECT_EQ(dialogs->asked[0].text, QStringLiteral("Select the graphic file to open"));
    EXPECT_EQ(dialogs->asked[0].title, k_open_filter);
}

TEST(ViewerStartUp, CancelledDialogEndsWithTheMessage)
{
    testsupport::ScopedScriptedDialogs dialogs;
    dialogs->files.push_back(QString());
    ViewerStart s = start_viewer({}, QStringLiteral("/"), k_work_area);
    EXPECT_FALSE(s.window);
    EXPECT_NE(s.exit_code, 0);
    ASSERT_EQ(dialogs->count(QStringLiteral("message")), 1);
    const auto& m = dialogs->asked.back();
    EXPECT_EQ(m.text, QStringLiteral("File name must be entered."));
    EXPECT_EQ(m.title, QStringLiteral("Tallowby-Error"));
    EXPECT_EQ(m.buttons, ui::MessageButtons::Ok);
}

} // namespace
