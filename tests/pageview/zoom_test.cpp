#include "support/window_fixture.h"

#include "pageview/frm_zoom.h"
#include "pageview/page_logic.h"
#include "platform/ui/vb.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace mosswick;

namespace {

// A zoom window over a generated picture in a fixed 1280 x 800 work area.
class ZoomTest : public ::testing::Test {
protected:
    std::unique_ptr<frmZoom> open_file(int width, int height, int quality = 5)
    {
        const QString path = dir.file(QStringLiteral("z%1x%2.png").arg(width).arg(height));
        testsupport::write_picture(path, width, height, "png");
        ZoomRequest r;
        r.file_path = path;
        r.caption_path = path;
        r.quality = quality;
        auto z = std::make_unique<frmZoom>(r, QRect(0, 0, 1280, 800));
        z->setAttribute(Qt::WA_DeleteOnClose, false);
        z->show();
        return z;
    }

    testsupport::TempDir dir;
    testsupport::ScopedScriptedDialogs dialogs;
};

} // namespace

TEST_F(ZoomTest, SmallPictureOpensAtNaturalSizeInTheDesignWindow)
{
    auto z = open_file(100, 50);
    EXPECT_FALSE(z->first_draw);
    EXPECT_EQ(z->Slider1->value(), 0);
    EXPECT_EQ(z->windowTitle(), z->request().caption_path);
    EXPECT_EQ(z->drawn().size(), QSize(100, 50));
    EXPECT_EQ(z->size(), QSize(ui::twips_to_px(k_zoom_client_width), ui::twips_to_px(k_zoom_client_height)));
    EXPECT_GT(z->Slider1->maximum(), 0);
    EXPECT_LT(z->Slider1->minimum(), 0);
    EXPECT_TRUE(z->bof->isEnabled());
    EXPECT_TRUE(z->eof->isEnabled());
}

TEST_F(ZoomTest, LargePictureIsShrunkAndTheWindowGrows)
{
    auto z = open_file(3000, 2000);
    const int value = z->Slider1->value();
    EXPECT_LT(value, 0);
    EXPECT_EQ(z->windowTitle(), QStringLiteral("%1% of %2").arg(value).arg(z->request().caption_path));
    EXPECT_LE(z->drawn().width(), 1280);
    EXPECT_LE(z->drawn().height(), 800);
    EXPECT_EQ(z->Slider1->maximum(), value);   // never offered more than the fitted size
    EXPECT_FALSE(z->eof->isEnabled());
    EXPECT_GT(z->width(), ui::twips_to_px(k_zoom_client_width));
    EXPECT_EQ(z->height(), z->drawn().height() + ui::twips_to_px(k_zoom_slider_height));
}

TEST_F(ZoomTest, KeysAndButtonsMoveWithinTheFirstDrawsRange)
{
    auto z = open_file(400, 300);
    const int min = z->Slider1->minimum();
    const int max = z->Slider1->maximum();
    z->Form_KeyPress('3');
    EXPECT_EQ(z->Slider1->value(), max);
    EXPECT_FALSE(z->eof->isEnabled());
    EXPECT_GT(z->drawn().width(), 400);
    z->Form_KeyPress('.');
    EXPECT_EQ(z->Slider1->value(), 0);
    EXPECT_EQ(z->drawn().size(), QSize(400, 300));
    z->bof_Click();
    EXPECT_EQ(z->Slider1->value(), min);
    EXPECT_FALSE(z->bof->isEnabled());
    // The range stays the first draw's after many redraws.
    for (int i = 0; i < 3; ++i)
        z->Slider1_Click();
    EXPECT_EQ(z->Slider1->minimum(), min);
    EXPECT_EQ(z->Slider1->maximum(), max);
    z->Form_KeyPress(27);
    EXPECT_FALSE(z->isVisible());
}

TEST_F(ZoomTest, EveryQualityDrawsTheDisplaySize)
{
    for (int q = 1; q <= 6; ++q) {
        auto z = open_file(900, 700, q);
        EXPECT_EQ(z->drawn().size(), QSize(ui::twips_to_px(z->display_width), ui::twips_to_px(z->display_height))) << q;
        EXPECT_EQ(z->Label2->text(), QString::number(q));
    }
}

TEST_F(ZoomTest, DeletedFileClosesOnlyThatWindow)
{
    auto z = open_file(100, 50);
    QFile::remove(z->request().file_path);
    z->Slider1_Click();
    EXPECT_TRUE(z->failed());
    EXPECT_EQ(dialogs->messages(), QStringList{"Picture file not found."});
    QTest::qWait(20);
    EXPECT_FALSE(z->isVisible());
}

TEST_F(ZoomTest, HandedInPictureIgnoresTheFile)
{
    ZoomRequest r;
    r.picture_in_db = true;
    r.image = QImage(200, 100, QImage::Format_RGB32);
    r.image.fill(Qt::green);
    r.caption_path = "The Screenshot.";
    r.file_path = dir.file("does-not-exist.jpg");
    frmZoom z(r, QRect(0, 0, 1280, 800));
    z.setAttribute(Qt::WA_DeleteOnClose, false);
    z.show();
    EXPECT_FALSE(z.failed());
    EXPECT_EQ(z.drawn().size(), QSize(200, 100));
    EXPECT_FALSE(z.pic_zoom_image->isHidden());
    EXPECT_TRUE(z.pic_zoom->isHidden());
    EXPECT_EQ(z.windowTitle(), "The Screenshot.");
}

class ZoomFromPageTest : public WindowTest {};

TEST_F(ZoomFromPageTest, TwoZoomWindowsKeepTheirOwnPictures)
{
    testsupport::CatalogueSpec spec;
    spec.write_files = true;
    spec.width = 300;
    spec.height = 200;
    open(make(3, spec));
    window->zoom_work_area = QRect(0, 0, 1280, 800);
    window->im_DblClick(1);
    QPointer<frmZoom> first = window->last_zoom;
    ASSERT_TRUE(first);
    window->mnuZQ_Click(1);
    window->im_DblClick(3);
    QPointer<frmZoom> second = window->last_zoom;
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->request().quality, 5);
    EXPECT_EQ(second->request().quality, 1);
    EXPECT_TRUE(first->windowTitle().endsWith(testsupport::picture_name(1)));
    EXPECT_TRUE(second->windowTitle().endsWith(testsupport::picture_name(3)));
    first->Form_KeyPress('0');
    EXPECT_TRUE(first->windowTitle().endsWith(testsupport::picture_name(1)));
    EXPECT_EQ(first->Label1->text(), window->data_folder + testsupport::picture_name(1));
    // Closing one leaves the other.
    first->close();
    QTest::qWait(10);
    EXPECT_FALSE(first);
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
    window->zoom_work_area = QRect(0, 0, 1280, 800);
    window->im_Click(2);
    int key = '6';
    window->SSTab_main_KeyPress(key);
    EXPECT_EQ(key, 0);
    ASSERT_TRUE(window->last_zoom);
    EXPECT_TRUE(window->last_zoom->windowTitle().endsWith(testsupport::picture_name(2)));
    EXPECT_EQ(window->note_cell_index, 2);
    window->last_zoom->close();
}
