// Pictures on a screen of two device pixels per pixel: thumbnails, zoom
// drawings, the viewer and the loader's preview are drawn at device pixels,
// laid out in logical pixels, and the quality codes stay apart.

#include "support/page_gestures.h"
#include "support/window_fixture.h"
#include "support/list_gestures.h"

#include "catalogue/frm_about.h"
#include "pageview/page_logic.h"
#include "platform/ui/vb.h"
#include "viewer/frm_zoom.h"

#include <QImageWriter>
#include <QFile>
#include <QTemporaryDir>

using namespace mosswick;

namespace {

// A screen of 2000 x 1400 pixels, larger than the main window: the zoom of
// a screenshot of the whole window fits on it at its natural size.
const QTemporaryDir k_screen_folder;

// Set before main() creates the application, as the user would set it.
const bool k_scaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    QFile screen(k_screen_folder.filePath(QStringLiteral("screen.json")));
    if (!screen.open(QIODevice::WriteOnly))
        return false;
    screen.write(R"({"screens": [{"name": "large", "x": 0, "y": 0, "width": 4000, "height": 2800,
                                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
    return true;
}();

// One-pixel stripes: nearest neighbour keeps them hard, the smooth codes
// average them to grey.
void write_stripes(const QString& path, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, (x / 3 + y / 3) % 2 ? qRgb(250, 250, 250) : qRgb(10, 10, 10));
    ASSERT_TRUE(QImageWriter(path, "png").write(img));
}

// Spread of the grey levels: high for hard stripes, low for averaged ones.
double contrast(const QImage& image)
{
    double sum = 0;
    double sq = 0;
    const int n = image.width() * image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double v = qGray(image.pixel(x, y));
            sum += v;
            sq += v * v;
        }
    return std::sqrt(sq / n - (sum / n) * (sum / n));
}

class HighDensity : public WindowTest {};

TEST_F(HighDensity, ThumbnailsHaveADevicePixelForEachOfTheCell)
{
    ASSERT_TRUE(k_scaled);
    ASSERT_EQ(window->devicePixelRatioF(), 2.0);
    testsupport::CatalogueSpec spec;
    spec.write_files = true;
    spec.width = 900;
    spec.height = 600;
    const QString catalogue = make(2, spec);
    write_stripes(dir.file("data/" + testsupport::picture_name(1)), 1500, 1000);
    open(catalogue);
    ASSERT_TRUE(window->session().db_open());

    std::vector<double> contrasts;
    for (const int code : {1, 5, 6}) {
        window->session().set_thumb_quality(code);
        testsupport::type_page(*window, 1);
        for (int cell = 1; cell <= 2; ++cell) {
            const QLabel* im = ctl(*window).im[size_t(cell)];
            const QPixmap shown = im->pixmap();
            ASSERT_FALSE(shown.isNull()) << code;
            EXPECT_EQ(shown.devicePixelRatio(), 2.0);
            // Laid out as before (a 3:2 picture fills the cell's height),
            // drawn with twice the pixels each way.
            EXPECT_EQ(shown.size(), im->size() * 2) << "code " << code << " cell " << cell;
            EXPECT_EQ(im->height(), ui::twips_to_px(window->edition().layout.cell_picture_height)) << cell;
        }
        contrasts.push_back(contrast(ctl(*window).im[1]->pixmap().toImage()));
    }
    // Nearest neighbour keeps the stripes; the prefiltered codes do not.
    EXPECT_GT(contrasts[0], 2 * contrasts[1]);
    EXPECT_GT(contrasts[0], 2 * contrasts[2]);
}

TEST_F(HighDensity, ZoomDrawsAndKeepsDevicePixels)
{
    const QString path = dir.file("zoom.jpg");
    ASSERT_TRUE(testsupport::write_picture(path, 3000, 2000, "jpg"));
    auto z = testsupport::open_zoom(ZoomRequest::file(path, 5));
    // Laid out at the display size, which the window holds, drawn at twice it.
    const QSize display = ctl(*z).pic_zoom->size();
    EXPECT_EQ(z->height(), display.height() + ui::twips_to_px(k_zoom_slider_height));
    EXPECT_EQ(z->drawn().size(), display * 2);
    // The kept copy is bounded by the screen's device pixels, not the picture.
    const QSize kept = z->kept_picture().kept().size();
    EXPECT_LE(kept.width(), 2 * 1280);
    EXPECT_LE(kept.height(), 2 * 800);
    EXPECT_GT(kept.width(), 1280);
    EXPECT_EQ(z->kept_picture().natural_size(), QSize(3000, 2000));
}

TEST_F(HighDensity, TheViewerAndTheLoadersPreviewToo)
{
    const QString path = dir.file("view.png");
    ASSERT_TRUE(testsupport::write_picture(path, 200, 100, "png"));
    viewer::frmZoom viewer(path, QRect(0, 0, 1280, 800));
    EXPECT_EQ(viewer.size(), QSize(200, 100));
    EXPECT_EQ(viewer.picture().size(), QSize(400, 200));

    // The preview of a pick in the loader's lists.
    open(make(0));
    ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, dir.path()));
    ASSERT_TRUE(testsupport::double_click_name(ctl(*window).Fil_ImportFile, "view.png"));
    const QPixmap preview = ctl(*window).Img_ImportImage->pixmap();
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.size(), QSize(400, 200));
    EXPECT_EQ(preview.deviceIndependentSize(), QSizeF(200, 100));
}

TEST_F(HighDensity, TheAboutBoxScreenshotKeepsItsSizeInLogicalPixels)
{
    ASSERT_TRUE(k_scaled);
    ctl(*window).mnuAbout->trigger();
    auto* about = window->findChild<frmAbout*>();
    ASSERT_TRUE(about);
    ASSERT_EQ(about->screenshot().devicePixelRatio(), 2.0);
    const QPixmap thumb = about->Image2->pixmap();
    EXPECT_EQ(thumb.devicePixelRatio(), 2.0);
    EXPECT_EQ(thumb.deviceIndependentSize(),
              QSizeF(window->size().scaled(240, 160, Qt::KeepAspectRatio)));

    emit about->screenshot_clicked();
    ASSERT_TRUE(wait_for_zoom());
    // At zoom 0 the screenshot is as large as the window it shows.
    EXPECT_EQ(testsupport::last_zoom()->kept_picture().natural_size(), window->size());
    EXPECT_EQ(ctl(*testsupport::last_zoom()).Slider1->value(), 0);
    EXPECT_EQ(testsupport::last_zoom()->drawn().size(), window->size() * 2);
    testsupport::last_zoom()->close();
    about->close();
}

} // namespace
