#include "support/metafile_writer.h"
#include "support/page_gestures.h"
#include "support/window_fixture.h"

#include "pageview/page_logic.h"
#include "platform/ui/vb.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace mosswick;

namespace {

// A zoom window over a generated picture in a fixed 1280 x 800 work area.
class ZoomTest : public ::testing::Test {
protected:
    // Opens a zoom window on a generated picture and waits until it is drawn.
    std::unique_ptr<frmZoom> open_file(int width, int height, int quality = 5, const char* format = "png")
    {
        return testsupport::open_zoom(file_request(width, height, quality, format));
    }

    // A request for a generated picture file.
    ZoomRequest file_request(int width, int height, int quality = 5, const char* format = "png")
    {
        const QString path = dir.file(QStringLiteral("z%1x%2.%3").arg(width).arg(height).arg(format));
        EXPECT_TRUE(testsupport::write_picture(path, width, height, format));
        return ZoomRequest::file(path, quality);
    }

    // The drawing is at the slider's per cent of the picture's natural width
    // (the slider shows whole per cents).
    static void expect_drawn_at_the_slider(frmZoom& z, int natural_width)
    {
        const double at = natural_width * (1 + ctl(z).Slider1->value() / 100.0);
        EXPECT_NEAR(z.drawn().width(), at, natural_width * 0.005 + 1);
        EXPECT_EQ(z.drawn().size(), ctl(z).pic_zoom->size());
    }

    testsupport::TempDir dir;
    testsupport::ScopedScriptedDialogs dialogs;
};

} // namespace

TEST_F(ZoomTest, SmallPictureOpensAtNaturalSizeInTheDesignWindow)
{
    auto z = open_file(100, 50);
    EXPECT_EQ(ctl(*z).Slider1->value(), 0);
    EXPECT_EQ(z->windowTitle(), z->request().caption_path);
    EXPECT_EQ(z->drawn().size(), QSize(100, 50));
    EXPECT_EQ(z->size(), QSize(ui::twips_to_px(k_zoom_client_width), ui::twips_to_px(k_zoom_client_height)));
    EXPECT_GT(ctl(*z).Slider1->maximum(), 0);
    EXPECT_LT(ctl(*z).Slider1->minimum(), 0);
    EXPECT_TRUE(ctl(*z).bof->isEnabled());
    EXPECT_TRUE(ctl(*z).eof->isEnabled());
}

TEST_F(ZoomTest, AMetafileIsDrawnAtEachZoom)
{
    // A red square on a 2 x 1 inch frame, in its left half.
    mfwrite::EmfWriter emf(QRect(0, 0, 5080, 2540));
    emf.solid_brush(1, qRgb(255, 0, 0)).select(1).select_stock(8).rectangle(QRect(0, 0, 96, 96));
    auto z = testsupport::open_zoom(ZoomRequest::file(dir.write("drawing.emf", emf.finish()), 5));
    EXPECT_EQ(z->drawn().size(), QSize(192, 96));
    EXPECT_GT(z->drawn().pixelColor(48, 48).red(), 200);
    EXPECT_EQ(z->drawn().pixelColor(150, 48).alpha(), 0);
    QTest::keyClick(z.get(), '3');
    const QImage big = z->drawn();
    ASSERT_GT(big.width(), 192);
    // Drawn afresh, not enlarged: the square's edge stays one pixel sharp.
    const int edge = big.width() / 2;
    EXPECT_GT(big.pixelColor(edge - 2, big.height() / 2).red(), 200);
    EXPECT_EQ(big.pixelColor(edge + 1, big.height() / 2).alpha(), 0);
}

TEST_F(ZoomTest, LargePictureIsShrunkAndTheWindowGrows)
{
    auto z = open_file(3000, 2000);
    const int value = ctl(*z).Slider1->value();
    EXPECT_LT(value, 0);
    EXPECT_EQ(z->windowTitle(), QStringLiteral("%1% of %2").arg(value).arg(z->request().caption_path));
    EXPECT_LE(z->drawn().width(), 1280);
    EXPECT_LE(z->drawn().height(), 800);
    EXPECT_EQ(ctl(*z).Slider1->maximum(), value);   // never offered more than the fitted size
    EXPECT_FALSE(ctl(*z).eof->isEnabled());
    EXPECT_GT(z->width(), ui::twips_to_px(k_zoom_client_width));
    EXPECT_EQ(z->height(), z->drawn().height() + ui::twips_to_px(k_zoom_slider_height));
}

TEST_F(ZoomTest, KeysAndButtonsMoveWithinTheFirstDrawsRange)
{
    auto z = open_file(400, 300);
    const auto& c = ctl(*z);
    const int min = c.Slider1->minimum();
    const int max = c.Slider1->maximum();
    QTest::keyClick(z.get(), '3');
    EXPECT_EQ(c.Slider1->value(), max);
    EXPECT_FALSE(c.eof->isEnabled());
    EXPECT_GT(z->drawn().width(), 400);
    QTest::keyClick(z.get(), '.');
    EXPECT_EQ(c.Slider1->value(), 0);
    EXPECT_EQ(z->drawn().size(), QSize(400, 300));
    c.bof->click();
    EXPECT_EQ(c.Slider1->value(), min);
    EXPECT_FALSE(c.bof->isEnabled());
    // The range stays the first draw's after many redraws ("0", Enter on the slider).
    QTest::keyClick(z.get(), '0');
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(c.Slider1, Qt::Key_Return);
    EXPECT_EQ(c.Slider1->minimum(), min);
    EXPECT_EQ(c.Slider1->maximum(), max);
    QTest::keyClick(z.get(), Qt::Key_Escape);
    EXPECT_FALSE(z->isVisible());
}

TEST_F(ZoomTest, EveryQualityDrawsTheDisplaySize)
{
    for (int q = 1; q <= 6; ++q) {
        auto z = open_file(900, 700, q);
        EXPECT_EQ(z->drawn().size(), ctl(*z).pic_zoom->size()) << q;
        EXPECT_EQ(ctl(*z).Label2->text(), QString::number(q));
    }
}

TEST_F(ZoomTest, DeletedFileClosesOnlyThatWindow)
{
    auto z = open_file(100, 50);
    QFile::remove(z->request().file_path);
    QTest::keyClick(ctl(*z).Slider1, Qt::Key_Return);
    EXPECT_TRUE(z->failed());
    EXPECT_EQ(dialogs->messages(), QStringList{"Picture file not found."});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !z->isVisible(); }, 5000));
}

TEST_F(ZoomTest, HandedInPictureIgnoresTheFile)
{
    ZoomRequest r;
    r.picture_in_db = true;
    r.image = QImage(200, 100, QImage::Format_RGB32);
    r.image.fill(Qt::green);
    r.caption_path = "The Screenshot.";
    r.file_path = dir.file("does-not-exist.jpg");
    auto z = testsupport::open_zoom(r);
    EXPECT_FALSE(z->failed());
    EXPECT_EQ(z->drawn().size(), QSize(200, 100));
    EXPECT_FALSE(ctl(*z).pic_zoom_image->isHidden());
    EXPECT_TRUE(ctl(*z).pic_zoom->isHidden());
    EXPECT_EQ(z->windowTitle(), "The Screenshot.");
}

TEST_F(ZoomTest, DecodesOffTheWindowThreadAndDrawsWhenReady)
{
    frmZoom z(file_request(2400, 1800, 5, "jpg"), QRect(0, 0, 1280, 800));
    z.setAttribute(Qt::WA_DeleteOnClose, false);
    QSignalSpy loaded(&z, &frmZoom::picture_loaded);
    z.show();
    // Showing returned before the picture was decoded: nothing drawn yet, the
    // slider waits, keys other than close do nothing.
    EXPECT_TRUE(z.loading());
    EXPECT_TRUE(z.drawn().isNull());
    EXPECT_FALSE(ctl(z).Slider1->isEnabled());
    QTest::keyClick(&z, '3');
    EXPECT_TRUE(z.drawn().isNull());
    ASSERT_TRUE(loaded.wait(10000));
    EXPECT_FALSE(z.loading());
    EXPECT_TRUE(ctl(z).Slider1->isEnabled());
    EXPECT_FALSE(z.drawn().isNull());
    EXPECT_FALSE(ctl(z).pic_zoom->isHidden());
    // The first drawing is the fitted one, whatever was pressed meanwhile.
    EXPECT_EQ(ctl(z).Slider1->value(), ctl(z).Slider1->maximum());
    expect_drawn_at_the_slider(z, 2400);
    EXPECT_EQ(loaded.count(), 1);
}

TEST_F(ZoomTest, KeepsNoMoreThanTheScreenHoldsAndZoomsByTheNaturalSize)
{
    for (const int quality : {1, 5, 6}) {
        auto z = open_file(4000, 3000, quality, "jpg");
        ASSERT_FALSE(z->failed());
        const QSize kept = z->kept_picture().kept().size();
        EXPECT_LE(kept.width(), 1280) << quality;
        EXPECT_LE(kept.height(), 800) << quality;
        EXPECT_EQ(z->kept_picture().natural_size(), QSize(4000, 3000));
        // Percentages are of the picture's own size, not of what is kept.
        expect_drawn_at_the_slider(*z, 4000);
        EXPECT_LT(ctl(*z).Slider1->value(), -60) << quality;
        EXPECT_EQ(z->windowTitle(), zoom_caption(ctl(*z).Slider1->value(), z->request().caption_path));
        // The smallest drawing comes from the same kept copy.
        ctl(*z).bof->click();
        expect_drawn_at_the_slider(*z, 4000);
        EXPECT_LT(z->drawn().width(), 100);
    }
}

TEST_F(ZoomTest, ClosedWhileDecodingGoesQuietly)
{
    QPointer<frmZoom> gone = new frmZoom(file_request(2000, 1500, 5, "jpg"), QRect(0, 0, 1280, 800));
    gone->show();
    QTest::keyClick(gone, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return gone.isNull(); }, 5000));
    // Decodes run one after another: once a later window has its picture,
    // the closed one's decode has ended too, and nothing was shown for it.
    auto later = open_file(300, 200);
    EXPECT_FALSE(later->failed());
    EXPECT_EQ(dialogs->count("message"), 0);
}

TEST_F(ZoomTest, AnUndecodableFileSaysSoWhenItsDecodeEnds)
{
    auto z = testsupport::open_zoom(ZoomRequest::file(dir.write("broken.jpg", "this is not a picture"), 5));
    EXPECT_TRUE(z->failed());
    EXPECT_EQ(dialogs->messages(),
              QStringList{picture::status_text(picture::PictureStatus::Undecodable)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !z->isVisible(); }, 5000));
}

class ZoomFromPageTest : public WindowTest {};

TEST_F(ZoomFromPageTest, TwoZoomWindowsKeepTheirOwnPictures)
{
    testsupport::CatalogueSpec spec;
    spec.write_files = true;
    spec.width = 300;
    spec.height = 200;
    open(make(3, spec));
    testsupport::double_click_cell(*window, 1);
    QPointer<frmZoom> first = testsupport::last_zoom();
    ASSERT_TRUE(first);
    ctl(*window).mnuZQ[size_t(1)]->trigger();
    testsupport::double_click_cell(*window, 3);
    QPointer<frmZoom> second = testsupport::last_zoom();
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->request().quality, 5);
    EXPECT_EQ(second->request().quality, 1);
    EXPECT_TRUE(first->windowTitle().endsWith(testsupport::picture_name(1)));
    EXPECT_TRUE(second->windowTitle().endsWith(testsupport::picture_name(3)));
    QTest::keyClick(first, '0');
    EXPECT_TRUE(first->windowTitle().endsWith(testsupport::picture_name(1)));
    EXPECT_EQ(ctl(*first).Label1->text(), window->session().data_folder() + testsupport::picture_name(1));
    // Closing one leaves the other.
    first->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, 5000));
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->isVisible());
    second->close();
    expect_usable();
}

TEST_F(ZoomFromPageTest, ZoomKeyOpensAWindowForTheSelectedCell)
{
    testsupport::CatalogueSpec spec;
    spec.write_files = true;
    open(make(2, spec));
    testsupport::click_cell(*window, 2);
    EXPECT_TRUE(testsupport::type_keypad(*window, '6'));
    ASSERT_TRUE(testsupport::last_zoom());
    EXPECT_TRUE(testsupport::last_zoom()->windowTitle().endsWith(testsupport::picture_name(2)));
    testsupport::last_zoom()->close();
}
