// The metafile player: EMF and WMF files written record by record, checked
// by the pixels they draw, and hostile files refused.

#include "handmade_pictures.h"
#include "platform/picture/metafile.h"
#include "platform/picture/metafile_clip.h"
#include "platform/picture/metafile_text.h"
#include "platform/picture/render.h"
#include "platform/picture/zoom_picture.h"
#include "support/metafile_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QPainter>

using namespace mosswick::picture;
using mfwrite::EmfWriter;
using mfwrite::Params;
using mfwrite::WmfWriter;

namespace {

constexpr QRgb k_red = 0xFFFF0000;
constexpr QRgb k_blue = 0xFF0000FF;
constexpr QRgb k_white = 0xFFFFFFFF;
constexpr QRgb k_black = 0xFF000000;
constexpr QRgb k_four_colours[] = {k_red, 0xFF00FF00, k_blue, k_white};

bool is(QRgb px, QRgb want)
{
    return qAlpha(px) > 240 && std::abs(qRed(px) - qRed(want)) < 16 && std::abs(qGreen(px) - qGreen(want)) < 16
           && std::abs(qBlue(px) - qBlue(want)) < 16;
}

bool empty(QRgb px)
{
    return qAlpha(px) == 0;
}

QImage draw(const QByteArray& file, PictureFormat format, QSize size = QSize(96, 96))
{
    const RenderedMetafile r = render_metafile(file, format, size);
    EXPECT_EQ(r.play.status, PictureStatus::Ok);
    return r.image;
}

// The red box most drawings here make, in the 96-pixel frame.
constexpr QRect k_box(24, 24, 48, 48);

// True when k_box in a 96-pixel picture is red well inside and empty just
// outside; scaled for larger pictures.
void expect_red_box(const QImage& image, const char* what)
{
    ASSERT_FALSE(image.isNull()) << what;
    const double s = image.width() / 96.0;
    const auto at = [&](int x, int y) { return image.pixel(int(x * s), int(y * s)); };
    EXPECT_TRUE(is(at(k_box.center().x(), k_box.center().y()), k_red)) << what;
    EXPECT_TRUE(is(at(k_box.left() + 3, k_box.top() + 3), k_red)) << what;
    EXPECT_TRUE(is(at(k_box.right() - 3, k_box.bottom() - 3), k_red)) << what;
    EXPECT_TRUE(empty(at(k_box.left() - 4, k_box.center().y()))) << what;
    EXPECT_TRUE(empty(at(k_box.right() + 4, k_box.center().y()))) << what;
    EXPECT_TRUE(empty(at(k_box.center().x(), k_box.top() - 4))) << what;
    EXPECT_TRUE(empty(at(k_box.center().x(), k_box.bottom() + 4))) << what;
}

// A playing that went through, leaving out so many records, and drew the red box.
void expect_red_box_after(const RenderedMetafile& r, int skipped, const char* what)
{
    ASSERT_EQ(r.play.status, PictureStatus::Ok) << what;
    EXPECT_EQ(r.play.skipped, skipped) << what;
    expect_red_box(r.image, what);
}

// A red rectangle without outline, after the given mapping records.
EmfWriter red_box_writer()
{
    EmfWriter w;
    w.solid_brush(1, k_red).select(1).select_stock(8);  // null pen
    return w;
}

int ink(const QImage& image, QRect box)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += qAlpha(image.pixel(x, y)) > 128 && qGray(image.pixel(x, y)) < 128;
    return n;
}

} // namespace

TEST(Metafile, EmfRectangleLandsWhereItsCoordinatesSayUnderEachMapMode)
{
    EmfWriter text = red_box_writer();
    text.rectangle(k_box);
    expect_red_box(draw(text.finish(), PictureFormat::Emf), "text");
    expect_red_box(draw(text.finish(), PictureFormat::Emf, QSize(300, 300)), "text, larger");
    // Fixed units: so many per inch, y growing upwards.
    const struct {
        int mode;
        int per_inch;
    } fixed[] = {{2, 254}, {3, 2540}, {4, 100}, {5, 1000}, {6, 1440}};
    for (const auto& f : fixed) {
        const auto u = [&](int pixels) { return pixels * f.per_inch / 96; };
        EmfWriter w = red_box_writer();
        w.map_mode(f.mode).rectangle(QRect(QPoint(u(24), -u(24)), QPoint(u(72) - 1, -u(72) - 1)));
        expect_red_box(draw(w.finish(), PictureFormat::Emf), "fixed mode");
    }
    EmfWriter anisotropic = red_box_writer();
    anisotropic.map_mode(8).window_ext(QSize(1000, 1000)).viewport_ext(QSize(96, 96)).rectangle(QRect(250, 250, 500, 500));
    expect_red_box(draw(anisotropic.finish(), PictureFormat::Emf), "anisotropic");
    // Isotropic keeps units square: the smaller scale (96 / 2000) wins.
    EmfWriter isotropic = red_box_writer();
    isotropic.map_mode(7).window_ext(QSize(1000, 2000)).viewport_ext(QSize(96, 96)).rectangle(QRect(500, 500, 1000, 1000));
    expect_red_box(draw(isotropic.finish(), PictureFormat::Emf), "isotropic");
    EmfWriter origins = red_box_writer();
    origins.window_org(QPoint(-100, -100)).viewport_org(QPoint(4, 4)).rectangle(QRect(-80, -80, 48, 48));
    expect_red_box(draw(origins.finish(), PictureFormat::Emf), "origins");
    // Both extents scaled by their own records: the viewport to half, the window to a third.
    EmfWriter scaled = red_box_writer();
    scaled.map_mode(8).window_ext(QSize(1500, 1500)).viewport_ext(QSize(192, 192));
    scaled.record(31, Params().i32(1).i32(2).i32(1).i32(2).data());
    scaled.record(32, Params().i32(1).i32(3).i32(1).i32(3).data());
    scaled.rectangle(QRect(125, 125, 250, 250));
    expect_red_box(draw(scaled.finish(), PictureFormat::Emf), "scaled extents");
}

TEST(Metafile, EmfWorldTransformsMoveAndScaleTheDrawing)
{
    EmfWriter set = red_box_writer();
    set.world(QTransform(2, 0, 0, 2, 8, 8)).rectangle(QRect(8, 8, 24, 24));
    expect_red_box(draw(set.finish(), PictureFormat::Emf), "set");

    // Scale 2 applied first, then a shift of 24 (left multiply puts the new
    // transform before the old one).
    EmfWriter modify = red_box_writer();
    modify.world(QTransform::fromTranslate(24, 24)).modify_world(QTransform::fromScale(2, 2), 2);
    modify.rectangle(QRect(0, 0, 24, 24));
    expect_red_box(draw(modify.finish(), PictureFormat::Emf), "left multiply");

    // Save, change, restore: the rectangle after the restore is unmoved.
    EmfWriter saved = red_box_writer();
    saved.save().world(QTransform::fromTranslate(500, 500)).restore(-1).rectangle(k_box);
    expect_red_box(draw(saved.finish(), PictureFormat::Emf), "restored");
}

TEST(Metafile, PolygonFillModeDecidesTheHole)
{
    // Two squares wound the same way: alternate leaves the inner one empty,
    // winding fills it.
    const QPolygon outer({QPoint(8, 8), QPoint(88, 8), QPoint(88, 88), QPoint(8, 88)});
    const QPolygon inner({QPoint(32, 32), QPoint(64, 32), QPoint(64, 64), QPoint(32, 64)});
    for (const int mode : {1, 2}) {
        EmfWriter wide = red_box_writer(), small = red_box_writer();
        wide.fill_mode(mode).poly_polygon({outer, inner});
        small.fill_mode(mode).poly_polygon({outer, inner}, true);
        WmfWriter wmf(QRect(0, 0, 96, 96), 96);
        wmf.window_org(QPoint(0, 0)).window_ext(QSize(96, 96)).solid_brush(k_red).null_pen().select(0).select(1);
        wmf.fill_mode(mode).poly_polygon({outer, inner});
        const std::pair<const char*, QImage> drawn[] = {{"emf", draw(wide.finish(), PictureFormat::Emf)},
                                                        {"emf, 16-bit points", draw(small.finish(), PictureFormat::Emf)},
                                                        {"wmf", draw(wmf.finish(), PictureFormat::Wmf)}};
        for (const auto& [kind, image] : drawn) {
            EXPECT_TRUE(is(image.pixel(16, 48), k_red)) << kind;
            EXPECT_EQ(is(image.pixel(48, 48), k_red), mode == 2) << kind << ", mode " << mode;
        }
    }
}

TEST(Metafile, TextInkAppearsInItsBox)
{
    EmfWriter w;
    w.font(1, -24, QStringLiteral("DejaVu Sans"), 700).select(1).text_colour(0xFF000000).bk_mode(1);
    w.text_w(QPoint(8, 8), QStringLiteral("HHHH"));
    WmfWriter m(QRect(0, 0, 96, 96), 96);
    m.window_org(QPoint(0, 0)).window_ext(QSize(96, 96)).font(-24, 0, "DejaVu Sans").select(0);
    m.record(0x0102, {1}).text_out(QPoint(8, 8), "HHHH");
    // Top-left alignment: the letters hang below (8, 8), about 24 high.
    const std::pair<const char*, QImage> top_left[] = {{"emf", draw(w.finish(), PictureFormat::Emf)},
                                                       {"wmf", draw(m.finish(), PictureFormat::Wmf)}};
    for (const auto& [kind, image] : top_left) {
        EXPECT_GT(ink(image, QRect(8, 8, 80, 28)), 80) << kind;
        EXPECT_EQ(ink(image, QRect(0, 48, 96, 48)), 0) << kind;
        EXPECT_EQ(ink(image, QRect(0, 0, 96, 6)), 0) << kind;
    }

    // Bottom-centre alignment at (48, 88).
    EmfWriter c;
    c.font(1, -24, QStringLiteral("DejaVu Sans"), 700).select(1).text_align(8 | 6).bk_mode(1);
    c.text_w(QPoint(48, 88), QStringLiteral("HH"));
    const QImage centred = draw(c.finish(), PictureFormat::Emf);
    EXPECT_GT(ink(centred, QRect(24, 60, 48, 30)), 40);
    EXPECT_EQ(ink(centred, QRect(0, 0, 96, 56)), 0);
}

TEST(Metafile, EightBitTextIsReadInTheFontsCodePage)
{
    std::vector<double> dx;
    // Cyrillic and Greek charsets, and the same bytes in the default page.
    EXPECT_EQ(mosswick::picture::metafile::decode_ansi("\xC0\xC1", 204, {}, &dx), QStringLiteral("АБ"));
    EXPECT_EQ(mosswick::picture::metafile::decode_ansi("\xC1", 161, {}, &dx), QStringLiteral("Α"));
    EXPECT_EQ(mosswick::picture::metafile::decode_ansi("\xC0", 0, {}, &dx), QStringLiteral("À"));
    // Shift-JIS: two bytes make one character whose advance is their sum.
    EXPECT_EQ(mosswick::picture::metafile::decode_ansi("\x82\xA0" "A", 128, {10, 5, 7}, &dx),
              QStringLiteral("あA"));
    EXPECT_EQ(dx, (std::vector<double>{15, 7}));
}

TEST(Metafile, StretchDIBitsDrawsTheBitmapScaled)
{
    // 2 x 2: red and green on top, blue and white below.
    const QImage bitmap = handmade::painted(QSize(2, 2), [](int x, int y) { return k_four_colours[2 * y + x]; });
    EmfWriter w;
    w.stretch_dibits(QRect(16, 16, 64, 64), bitmap);
    WmfWriter m(QRect(0, 0, 96, 96), 96);
    m.window_org(QPoint(0, 0)).window_ext(QSize(96, 96)).stretch_dib(QRect(16, 16, 64, 64), bitmap);
    const std::pair<const char*, QImage> drawn[] = {{"emf", draw(w.finish(), PictureFormat::Emf)},
                                                    {"wmf", draw(m.finish(), PictureFormat::Wmf)}};
    for (const auto& [kind, image] : drawn) {
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(is(image.pixel(24 + 48 * (i % 2), 24 + 48 * (i / 2)), k_four_colours[i])) << kind << " " << i;
        EXPECT_TRUE(empty(image.pixel(8, 48))) << kind;
        EXPECT_TRUE(empty(image.pixel(88, 48))) << kind;
    }
}

namespace {

// Red, green, blue, white over white, blue, green, red; a 1-bit bitmap
// takes the indices modulo 2.
constexpr int k_four_by_two[2][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}};

// That picture as a bitmap of bpp bits a pixel behind a header of
// header_size bytes (12: the old core header, 3-byte colour entries) with a
// full colour table; 16 bits are 5-6-5 bit fields.
mfwrite::Dib four_by_two(int header_size, int bpp, bool top_down)
{
    const bool core = header_size == 12;
    Params info;
    if (core)
        info.u32(12).u16(4).u16(2).u16(1).u16(bpp);
    else
        info.u32(quint32(header_size)).i32(4).i32(top_down ? -2 : 2).u16(1).u16(bpp).u32(bpp == 16 ? 3 : 0)
            .u32(0).i32(0).i32(0).u32(0).u32(0);
    mfwrite::Dib d;
    d.info = info.data();
    d.info.append(QByteArray(header_size - d.info.size(), '\0'));
    if (bpp == 16)
        d.info += Params().u32(0xF800).u32(0x07E0).u32(0x001F).data();
    for (int i = 0; bpp <= 8 && i < 1 << bpp; ++i) {
        const QRgb c = i < 4 ? k_four_colours[i] : qRgb(0, 0, 0);
        d.info += Params().u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).data();
        if (!core)
            d.info += '\0';
    }
    for (int r = 0; r < 2; ++r) {
        const int* index = k_four_by_two[top_down ? r : 1 - r];
        Params row;
        if (bpp == 1)
            row.u8((index[0] % 2) << 7 | (index[1] % 2) << 6 | (index[2] % 2) << 5 | (index[3] % 2) << 4);
        else if (bpp == 4)
            row.u8(index[0] << 4 | index[1]).u8(index[2] << 4 | index[3]);
        for (int x = 0; x < 4; ++x) {
            const QRgb c = k_four_colours[index[x]];
            if (bpp == 8)
                row.u8(index[x]);
            else if (bpp == 16)
                row.u16((qRed(c) >> 3) << 11 | (qGreen(c) >> 2) << 5 | qBlue(c) >> 3);
            else if (bpp >= 24)
                row.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
            if (bpp == 32)
                row.u8(0);
        }
        QByteArray bytes = row.data();
        d.bits += bytes.append(QByteArray(int((4 - bytes.size() % 4) % 4), '\0'));
    }
    return d;
}

} // namespace

TEST(Metafile, BitmapsOfEveryRowLayoutDrawTheirColoursExactly)
{
    struct Case {
        int header_size;
        int bpp;
        bool top_down;
    };
    for (const Case c : {Case{40, 1, false}, Case{40, 4, false}, Case{56, 8, true}, Case{12, 8, false},
                         Case{40, 16, true}, Case{124, 24, true}, Case{40, 32, false}, Case{108, 32, true}}) {
        const mfwrite::Dib d = four_by_two(c.header_size, c.bpp, c.top_down);
        // Enlarged 16 times: each pixel is a block of its exact colour.
        EmfWriter w;
        w.stretch_dibits(QRect(16, 16, 64, 32), d, QSize(4, 2));
        WmfWriter m(QRect(0, 0, 96, 96), 96);
        m.window_org(QPoint(0, 0)).window_ext(QSize(96, 96));
        m.stretch_dib(QRect(16, 16, 64, 32), d.info + d.bits, QSize(4, 2));
        for (const RenderedMetafile& r : {render_metafile(w.finish(), PictureFormat::Emf, QSize(96, 96)),
                                          render_metafile(m.finish(), PictureFormat::Wmf, QSize(96, 96))}) {
            ASSERT_EQ(r.play.status, PictureStatus::Ok);
            EXPECT_EQ(r.play.skipped, 0) << c.header_size << " " << c.bpp;
            for (int y = 0; y < 2; ++y) {
                for (int x = 0; x < 4; ++x) {
                    const int index = k_four_by_two[y][x] % (c.bpp == 1 ? 2 : 4);
                    EXPECT_EQ(r.image.pixel(24 + 16 * x, 24 + 16 * y), k_four_colours[index])
                        << c.header_size << "-byte header, " << c.bpp << " bits, pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST(Metafile, AlphaBlendMixesWithWhatIsBelow)
{
    // A 2 x 1 bitmap over a blue square: opaque red, then fully transparent.
    const auto blended = [](quint32 blend) {
        EmfWriter w;
        w.solid_brush(1, k_blue).select(1).select_stock(8).rectangle(QRect(0, 0, 96, 96));
        Params p;
        p.rect(QRect()).i32(16).i32(16).i32(64).i32(64).u32(blend).i32(0).i32(0);
        p.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0).u32(0);
        p.u32(108).u32(40).u32(148).u32(8).i32(2).i32(1);
        p.u32(40).i32(2).i32(1).u16(1).u16(32).u32(0).u32(8).i32(0).i32(0).u32(0).u32(0);
        p.u8(0).u8(0).u8(255).u8(255).u8(0).u8(0).u8(0).u8(0);  // blue, green, red, alpha
        w.record(114, p.data());
        return draw(w.finish(), PictureFormat::Emf);
    };
    // Per-pixel alpha at full constant alpha.
    const QImage per_pixel = blended(0x01FF0000);
    EXPECT_TRUE(is(per_pixel.pixel(30, 48), k_red));
    EXPECT_TRUE(is(per_pixel.pixel(66, 48), k_blue));
    // Half constant alpha, no per-pixel alpha: red and blue mixed, and the
    // right pixel's colour (black) half over blue.
    const QImage half = blended(0x00800000);
    EXPECT_NEAR(qRed(half.pixel(30, 48)), 128, 12);
    EXPECT_NEAR(qBlue(half.pixel(30, 48)), 127, 12);
    EXPECT_NEAR(qBlue(half.pixel(66, 48)), 127, 12);
    EXPECT_LT(qRed(half.pixel(66, 48)), 12);
}

TEST(Metafile, NaturalSizes)
{
    // Measured at the natural size, and drawn at it.
    const auto expect_natural = [](const QByteArray& file, PictureFormat format, QSize size, const char* what) {
        const PictureInfo info = measure_picture(PictureSource::bytes(file));
        EXPECT_EQ(info.status, PictureStatus::Ok) << what;
        EXPECT_EQ(info.format, format) << what;
        EXPECT_EQ(info.size, size) << what;
        const Picture loaded = load_picture(PictureSource::bytes(file));
        EXPECT_EQ(loaded.status, PictureStatus::Ok) << what;
        EXPECT_EQ(loaded.image.size(), size) << what;
        return loaded.image;
    };
    // Placeable: the box over its units per inch, at 96 DPI.
    WmfWriter placed(QRect(0, 0, 2880, 1440), 1440);
    placed.window_ext(QSize(2880, 1440));
    expect_natural(placed.finish(), PictureFormat::Wmf, QSize(192, 96), "placeable");
    // Without the placeable header: the window extent.
    WmfWriter bare;
    bare.window_org(QPoint(10, 10)).window_ext(QSize(200, 120));
    expect_natural(bare.finish(), PictureFormat::Wmf, QSize(200, 120), "window extent");
    // EMF: the frame in 0.01 mm at 96 DPI (5080 x 2540 is 2 x 1 inch).
    expect_natural(EmfWriter(QRect(0, 0, 5080, 2540)).finish(), PictureFormat::Emf, QSize(192, 96), "emf frame");

    // Made at 400 x 200 on a screen of 1920 x 1080 pixels over 509 x 286 mm
    // (not quite 96 DPI): the frame in that screen's pixels, not the
    // inclusive bounds (401 x 201) nor 96 DPI (401 x 200).
    EmfWriter made(QRect(0, 0, 10604, 5296), QSize(1920, 1080), QSize(509, 286));
    made.solid_brush(1, k_red).select(1).select_stock(8).rectangle(QRect(0, 0, 400, 200));
    const QImage shown = expect_natural(made.finish(), PictureFormat::Emf, QSize(400, 200), "another screen");
    ASSERT_EQ(shown.size(), QSize(400, 200));
    EXPECT_TRUE(is(shown.pixel(399, 199), k_red));
    EXPECT_TRUE(is(shown.pixel(0, 0), k_red));
}

TEST(Metafile, UnknownRecordsAndEmfPlusCommentsAreSkipped)
{
    EmfWriter w = red_box_writer();
    w.record(250, Params().u32(7).u32(9).data());                    // unknown
    w.record(116, Params().point(QPoint(30, 30)).u32(1).u32(0x200).data());  // reserved
    w.comment(Params().u32(0x2B464D45).u32(0x4001).u32(28).data());  // an EMF+ record
    w.rectangle(k_box);
    expect_red_box_after(render_metafile(w.finish(), PictureFormat::Emf, QSize(96, 96)), 2, "after unknown records");

    WmfWriter m(QRect(0, 0, 96, 96), 96);
    m.window_org(QPoint(0, 0)).window_ext(QSize(96, 96)).solid_brush(k_red).select(0);
    m.record(0x0999, {1, 2, 3}).null_pen().select(1).rectangle(k_box);
    expect_red_box_after(render_metafile(m.finish(), PictureFormat::Wmf, QSize(96, 96)), 1,
                         "wmf after unknown records");
}

TEST(Metafile, ClippingAndPaths)
{
    EmfWriter clip = red_box_writer();
    clip.intersect_clip(k_box).rectangle(QRect(0, 0, 96, 96));
    expect_red_box(draw(clip.finish(), PictureFormat::Emf), "intersect");

    EmfWriter hole = red_box_writer();
    hole.exclude_clip(k_box).rectangle(QRect(0, 0, 96, 96));
    const QImage holed = draw(hole.finish(), PictureFormat::Emf);
    EXPECT_TRUE(empty(holed.pixel(48, 48)));
    EXPECT_TRUE(is(holed.pixel(8, 8), k_red));

    EmfWriter path = red_box_writer();
    path.begin_path().ellipse(k_box).end_path().fill_path();
    const QImage filled = draw(path.finish(), PictureFormat::Emf);
    EXPECT_TRUE(is(filled.pixel(48, 48), k_red));
    EXPECT_TRUE(empty(filled.pixel(26, 26)));  // outside the ellipse, inside its box
    EXPECT_TRUE(empty(filled.pixel(80, 48)));
}

TEST(Metafile, BrokenFilesAreRefused)
{
    using enum PictureFormat;
    using enum PictureStatus;
    EmfWriter good = red_box_writer();
    good.rectangle(k_box);
    const QByteArray emf = good.finish();
    const auto inserted = [&](const QByteArray& record) { return QByteArray(emf).insert(88, record); };
    EmfWriter huge = red_box_writer(), huge_poly = red_box_writer(), deep;
    huge.record(3, Params().rect(QRect()).u32(0x40000000).point(QPoint(1, 1)).data());
    huge_poly.record(8, Params().rect(QRect()).u32(0x7FFFFFFF).u32(3).data());
    for (int i = 0; i < 5000; ++i)
        deep.save();
    // A WMF rectangle whose record's size in words is patched.
    const QByteArray wmf = WmfWriter(QRect(0, 0, 96, 96), 96).raw(0x041B, Params().u16(1).data()).finish();
    QByteArray zero_size = wmf, beyond = wmf;
    zero_size[22 + 18] = 0;
    zero_size[22 + 19] = 0;
    beyond[22 + 20] = char(0x7F);  // far past the end
    const QByteArray poly =
        WmfWriter(QRect(0, 0, 96, 96), 96).raw(0x0324, Params().u16(30000).u16(1).u16(1).data()).finish();
    const QByteArray placed = WmfWriter(QRect(0, 0, 96, 96), 96).rectangle(QRect(1, 1, 9, 9)).finish();
    const struct {
        const char* name;
        QByteArray file;
        PictureFormat format;
        PictureStatus status;
    } cases[] = {
        {"cut inside a record", emf.left(emf.size() - 30), Emf, Truncated},
        {"cut at a record's end", emf.left(emf.size() - 20), Emf, Truncated},
        {"a record of size 0, which would never move on", inserted(Params().u32(43).u32(0).data()), Emf, Undecodable},
        {"a negative size", inserted(Params().u32(43).u32(0xFFFFFFF8u).data()), Emf, Undecodable},
        {"a polygon claiming a billion points in a small record", huge.finish(), Emf, Undecodable},
        {"a poly-polygon claiming as many", huge_poly.finish(), Emf, Undecodable},
        {"saved states beyond any real drawing's depth", deep.finish(), Emf, Undecodable},
        {"a wmf record of size 0", zero_size, Wmf, Undecodable},
        {"a wmf record beyond the file", beyond, Wmf, Undecodable},
        {"a wmf polygon beyond its record", poly, Wmf, Undecodable},
        {"a wmf cut short", placed.left(placed.size() - 10), Wmf, Truncated},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render_metafile(c.file, c.format, QSize(50, 50)).play.status, c.status) << c.name;
    EXPECT_EQ(load_picture(PictureSource::bytes(emf.left(emf.size() - 30))).status, Truncated);
}

TEST(Metafile, HostileGeometryIsSkippedNotDrawn)
{
    // Found by fuzzing: a stretched frame with a wide dashed pen, edges
    // millions of pixels away, and an escapement of INT_MIN tenths of a
    // degree. The shapes far away are skipped, the rest is drawn.
    EmfWriter w = red_box_writer();
    w.pen(2, 0x10000 | 0x200 | 1, 1 << 30, 0xFF0000FF).select(2);
    w.polygon(QPolygon({QPoint(10, 10), QPoint(80, 1 << 28), QPoint(1 << 29, 90)}));
    w.select_stock(8).rectangle(k_box);
    w.record(82, Params().u32(3).i32(-20).i32(0).i32(INT32_MIN).i32(0).i32(400).u32(0).u32(0).data());  // a font
    w.select(3).text_w(QPoint(30, 30), QStringLiteral("x"));
    const RenderedMetafile r = render_metafile(w.finish(), PictureFormat::Emf, QSize(96, 96));
    ASSERT_EQ(r.play.status, PictureStatus::Ok);
    EXPECT_GE(r.play.skipped, 1);
    EXPECT_TRUE(is(r.image.pixel(60, 60), k_red));
}

TEST(Metafile, ThumbnailsAtEveryQualityAndTheZoomDrawAtTheTarget)
{
    testsupport::TempDir dir;
    EmfWriter w = red_box_writer();
    w.rectangle(k_box);
    const QString path = dir.write("box.emf", w.finish());
    RenderRequest r;
    r.source = PictureSource::file(path);
    r.target = QSize(40, 40);
    for (int quality = 1; quality <= 6; ++quality) {
        r.quality = quality;
        const RenderResult result = render_picture(r);
        ASSERT_EQ(result.status, PictureStatus::Ok) << quality;
        EXPECT_EQ(result.natural_size, QSize(96, 96));
        ASSERT_EQ(result.image.size(), QSize(40, 40));
        EXPECT_TRUE(is(result.image.pixel(20, 20), k_red)) << quality;
        EXPECT_TRUE(empty(result.image.pixel(4, 4))) << quality;
    }
    // Kept within a 100-pixel bound, yet drawn at any size.
    const ZoomPicture zoom(PictureSource::file(path), QSize(100, 100), 5);
    ASSERT_TRUE(zoom.ok());
    EXPECT_EQ(zoom.natural_size(), QSize(96, 96));
    // Enlarged eight times, the edge stays sharp: drawn, not scaled up.
    const QImage big = zoom.draw(QSize(768, 768), 5);
    ASSERT_EQ(big.size(), QSize(768, 768));
    EXPECT_TRUE(is(big.pixel(24 * 8 + 1, 384), k_red));
    EXPECT_TRUE(empty(big.pixel(24 * 8 - 2, 384)));
}

namespace {

// White on the left, black on the right, as a scanned table's paper and ink.
QImage paper_and_ink()
{
    return handmade::painted(QSize(2, 1), [](int x, int) { return x ? k_black : k_white; });
}

// The bitmap drawn over (16, 16)-(80, 80) by rop, on blank canvas or on a
// blue square, at size.
QImage transfer(quint32 rop, bool on_blue, QSize size = QSize(96, 96))
{
    EmfWriter w;
    if (on_blue)
        w.solid_brush(1, k_blue).select(1).select_stock(8).rectangle(QRect(0, 0, 96, 96));
    w.stretch_dibits(QRect(16, 16, 64, 64), paper_and_ink(), rop);
    return draw(w.finish(), PictureFormat::Emf, size);
}

int count_of(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += is(image.pixel(x, y), colour);
    return n;
}

} // namespace

TEST(Metafile, RasterOperationsReadABlankPageWhereNothingIsDrawn)
{
    // Each operation on the bitmap's paper (left) and ink (right), on blank
    // canvas (white paper below) and over blue.
    const struct {
        quint32 rop;
        const char* name;
        QRgb paper_blank, ink_blank, paper_blue, ink_blue;
    } cases[] = {
        {0x008800C6, "and", k_white, k_black, k_blue, k_black},
        {0x00EE0086, "or", k_white, k_white, k_white, k_blue},
        {0x00660046, "xor", k_black, k_white, 0xFFFFFF00, k_blue},
        {0x00BB0226, "not source or destination", k_white, k_white, k_blue, k_white},
    };
    for (const auto& c : cases) {
        const QImage blank = transfer(c.rop, false);
        EXPECT_TRUE(is(blank.pixel(24, 48), c.paper_blank)) << c.name;
        EXPECT_TRUE(is(blank.pixel(72, 48), c.ink_blank)) << c.name;
        EXPECT_TRUE(empty(blank.pixel(8, 48))) << c.name << ": nothing drawn outside";
        const QImage blue = transfer(c.rop, true);
        EXPECT_TRUE(is(blue.pixel(24, 48), c.paper_blue)) << c.name;
        EXPECT_TRUE(is(blue.pixel(72, 48), c.ink_blue)) << c.name;
        EXPECT_TRUE(is(blue.pixel(8, 48), k_blue)) << c.name;
    }
    // Drawn larger (a zoom), the edges land where the picture's do.
    const QImage zoomed = transfer(0x008800C6, false, QSize(288, 192));
    // Along the middle row; 0 where nothing is drawn.
    const std::pair<int, QRgb> across[] = {{45, 0},        {51, k_white},  {141, k_white},
                                           {147, k_black}, {236, k_black}, {243, 0}};
    for (const auto& [x, colour] : across)
        EXPECT_TRUE(colour ? is(zoomed.pixel(x, 96), colour) : empty(zoomed.pixel(x, 96))) << x;

    // The brush takes part too: the destination where the source is white,
    // the brush where it is black (0xB8); the brush xor the destination
    // (PatBlt's PATINVERT); the destination inverted (DSTINVERT).
    for (const bool on_blue : {false, true}) {
        WmfWriter m(QRect(0, 0, 96, 96), 96);
        m.window_org(QPoint(0, 0)).window_ext(QSize(96, 96));
        m.solid_brush(on_blue ? k_blue : k_white).null_pen().select(0).select(1);
        if (on_blue)
            m.rectangle(QRect(0, 0, 96, 96));
        m.solid_brush(k_red).select(2).stretch_dib(QRect(16, 16, 64, 32), paper_and_ink(), 0x00B8074A);
        m.pat_blt(QRect(16, 56, 32, 24), 0x005A0049).pat_blt(QRect(56, 56, 24, 24), 0x00550009);
        const QImage image = draw(m.finish(), PictureFormat::Wmf);
        const QRgb below = on_blue ? k_blue : k_white;
        EXPECT_TRUE(is(image.pixel(24, 32), below)) << on_blue;
        EXPECT_TRUE(is(image.pixel(72, 32), k_red)) << on_blue;
        EXPECT_TRUE(is(image.pixel(32, 68), on_blue ? 0xFFFF00FF : 0xFF00FFFF)) << on_blue;
        EXPECT_TRUE(is(image.pixel(68, 68), on_blue ? 0xFFFFFF00 : k_black)) << on_blue;
    }
}

TEST(Metafile, TextPaintsABackgroundOnlyWhenItsOwnModeAsks)
{
    // A shape drawn while the background mode was opaque (red background),
    // then text in transparent mode, each character placed by its advance:
    // no box of red anywhere.
    const auto label = [](int text_mode, int options) {
        EmfWriter w;
        w.solid_brush(1, k_blue).select(1).select_stock(8).bk_colour(k_red).bk_mode(2);
        w.rectangle(QRect(0, 0, 96, 96));
        w.font(2, -24, QStringLiteral("DejaVu Sans")).select(2).text_colour(0xFF000000).bk_mode(text_mode);
        w.text_w(QPoint(8, 30), QStringLiteral("-0,1"), {14, 14, 14, 14}, options, QRect(4, 70, 40, 20));
        return draw(w.finish(), PictureFormat::Emf);
    };
    const QImage transparent = label(1, 0);
    EXPECT_EQ(count_of(transparent, k_red), 0);
    EXPECT_GT(ink(transparent, QRect(8, 30, 60, 28)), 40);  // the text itself is drawn
    // Opaque text paints its background, under the text only.
    const QImage opaque = label(2, 0);
    EXPECT_GT(count_of(opaque, k_red), 100);
    EXPECT_EQ(count_of(opaque.copy(0, 62, 96, 34), k_red), 0);
    // ETO_OPAQUE fills the record's rectangle whatever the mode.
    const QImage boxed = label(1, 0x2);
    EXPECT_TRUE(is(boxed.pixel(24, 80), k_red));
    EXPECT_TRUE(is(boxed.pixel(24, 50), k_blue) || qGray(boxed.pixel(24, 50)) < 128);
}

TEST(Metafile, RotatedTextFollowsTheMappingsOrientation)
{
    // Text running up from (48, 88) on the target: ink above and left of the
    // point, within the picture, none below it.
    const auto runs_up = [](const QImage& image, const char* what) {
        EXPECT_GT(ink(image, QRect(28, 20, 22, 70)), 60) << what;
        EXPECT_EQ(ink(image, QRect(0, 91, 96, 5)), 0) << what;
        EXPECT_EQ(ink(image, QRect(53, 0, 43, 96)), 0) << what;
    };
    EmfWriter plain;
    plain.font(1, -16, QStringLiteral("DejaVu Sans"), 700, 900).select(1).text_align(24).bk_mode(1);
    plain.text_w(QPoint(48, 88), QStringLiteral("HHHH"));
    runs_up(draw(plain.finish(), PictureFormat::Emf), "y down, 90 degrees");

    // y up: the same line is written at 270 degrees (counter-clockwise in
    // its own axes), from logical (48, 8).
    EmfWriter flipped;
    flipped.map_mode(8).window_ext(QSize(96, 96)).viewport_ext(QSize(96, -96)).viewport_org(QPoint(0, 96));
    flipped.font(1, -16, QStringLiteral("DejaVu Sans"), 700, 2700).select(1).text_align(24).bk_mode(1);
    flipped.text_w(QPoint(48, 8), QStringLiteral("HHHH"));
    runs_up(draw(flipped.finish(), PictureFormat::Emf), "y up, 270 degrees");

    WmfWriter wmf(QRect(0, 0, 96, 96), 96);
    wmf.window_org(QPoint(0, 96)).window_ext(QSize(96, -96)).font(-16, 0, "DejaVu Sans", 2700).select(0);
    wmf.bk_mode(1).record(0x012E, {24}).text_out(QPoint(48, 8), "HHHH");
    runs_up(draw(wmf.finish(), PictureFormat::Wmf), "wmf, y up");
}

TEST(Metafile, ADamagedBitmapIsSkippedAndTheRestDrawn)
{
    const QImage picture = handmade::filled(QSize(4, 4), k_blue);
    const QByteArray png = handmade::encode(picture, "png");
    const auto png_dib = [&](const QByteArray& body) {
        mfwrite::Dib d;
        d.info = Params().u32(40).i32(4).i32(-4).u16(1).u16(0).u32(5).u32(quint32(body.size())).data();
        d.info.append(QByteArray(16, '\0'));
        d.bits = body;
        return d;
    };
    QByteArray stray = png;
    stray.insert(png.indexOf("IDAT") + 6, 'x');
    // cb_bits, when given, replaces the record's size of the rows.
    const auto emf_with = [&](const mfwrite::Dib& d, std::optional<quint32> cb_bits = {}) {
        EmfWriter w = red_box_writer();
        const qsizetype at = w.finish().size() - 20;  // where the next record starts, before the end record
        w.stretch_dibits(QRect(0, 0, 20, 20), d, QSize(4, 4)).rectangle(k_box);
        QByteArray file = w.finish();
        if (cb_bits)
            file.replace(at + 60, 4, Params().u32(*cb_bits).data());
        return render_metafile(file, PictureFormat::Emf, QSize(96, 96));
    };
    // A sound embedded PNG draws...
    const RenderedMetafile sound = emf_with(png_dib(png));
    ASSERT_EQ(sound.play.status, PictureStatus::Ok);
    EXPECT_EQ(sound.play.skipped, 0);
    EXPECT_TRUE(is(sound.image.pixel(10, 10), k_blue));
    // ...one with a stray byte, fewer rows than it says, rows said to reach
    // past its record, or a size no record could hold, is counted and left
    // out; what follows draws.
    mfwrite::Dib short_rows = mfwrite::dib24(picture);
    short_rows.bits.chop(8);
    mfwrite::Dib huge_claim = mfwrite::dib24(picture);
    huge_claim.info.replace(4, 8, Params().i32(1 << 20).i32(1 << 20).data());
    for (const RenderedMetafile& r : {emf_with(png_dib(stray)), emf_with(short_rows), emf_with(huge_claim),
                                      emf_with(mfwrite::dib24(picture), 1u << 20)}) {
        expect_red_box_after(r, 1, "after a damaged bitmap");
        EXPECT_TRUE(empty(r.image.pixel(10, 10)));
    }

    // A WMF bitmap whose colour table is cut short (256 entries announced,
    // two there), and a pattern brush made of it: the brush paints nothing
    // but keeps its slot, so the objects after it are the ones selected.
    const QByteArray short_table = Params()
                                       .u32(40).i32(2).i32(2).u16(1).u16(8).u32(0).u32(8).i32(0).i32(0).u32(0).u32(0)
                                       .u32(0x000000FF).u32(0x00FF0000)
                                       .bytes(QByteArray("\x00\x01\x00\x00\x01\x00\x00\x00", 8))
                                       .data();
    WmfWriter m(QRect(0, 0, 96, 96), 96);
    m.window_org(QPoint(0, 0)).window_ext(QSize(96, 96));
    m.stretch_dib(QRect(0, 0, 20, 20), short_table, QSize(2, 2));
    m.pattern_brush(short_table);
    m.solid_brush(k_red).null_pen().select(2).select(0).rectangle(QRect(0, 0, 20, 20)).select(1).rectangle(k_box);
    const QByteArray wmf = m.finish();
    const RenderedMetafile r = render_metafile(wmf, PictureFormat::Wmf, QSize(96, 96));
    expect_red_box_after(r, 2, "wmf after a damaged bitmap");
    EXPECT_TRUE(empty(r.image.pixel(10, 10)));
    EXPECT_EQ(load_picture(PictureSource::bytes(wmf)).status, PictureStatus::Ok);
}

TEST(Metafile, UnplacedWmfTakesItsSizeFromWhatItDraws)
{
    // No placeable header, no window extent: the extent of the drawing, with
    // the window origin in force taken off.
    const auto drawn = [](std::optional<QRect> box, QPoint origin) {
        WmfWriter w(box, 96);
        w.window_org(origin).solid_brush(k_red).null_pen().select(0).select(1);
        w.rectangle(QRect(origin + QPoint(10, 20), QSize(150, 100)));
        w.poly_polygon({QPolygon({origin + QPoint(160, 20), origin + QPoint(210, 70), origin + QPoint(160, 120)})});
        return w.finish();
    };
    for (const auto& [box, origin] : {std::pair{std::optional<QRect>(), QPoint(0, 0)},
                                      std::pair{std::optional<QRect>(), QPoint(-300, 500)},
                                      std::pair{std::optional<QRect>(QRect(0, 0, 0, 0)), QPoint(0, 0)}}) {
        const QByteArray wmf = drawn(box, origin);
        const PictureInfo info = measure_picture(PictureSource::bytes(wmf));
        EXPECT_EQ(info.status, PictureStatus::Ok);
        EXPECT_EQ(info.size, QSize(200, 100)) << origin.x();
        const Picture p = load_picture(PictureSource::bytes(wmf));
        ASSERT_EQ(p.status, PictureStatus::Ok);
        ASSERT_EQ(p.image.size(), QSize(200, 100));
        EXPECT_TRUE(is(p.image.pixel(1, 1), k_red));
        EXPECT_TRUE(is(p.image.pixel(148, 98), k_red));
        EXPECT_TRUE(is(p.image.pixel(155, 50), k_red));   // the triangle's base
        EXPECT_TRUE(empty(p.image.pixel(198, 5)));        // beside its point
    }
}

TEST(Metafile, UnplacedWmfIsSizedToTheWholeOfItsText)
{
    // A pale 100-pixel square and one line of "HHHHHH" in DejaVu Sans at 24
    // pixels: the picture reaches as far as the text runs, and shows it.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    const QFontMetricsF m(font);
    const double run = m.horizontalAdvance(QStringLiteral("HHHHHH")), high = m.height(), h = run / 6;
    const struct {
        const char* name;
        int align;
        QPoint at;
        int escapement;
        std::vector<int> dx;
        QRectF text;
    } cases[] = {
        {"top left", 0, {80, 40}, 0, {}, QRectF(80, 40, run, high)},
        {"right", 2, {40, 40}, 0, {}, QRectF(40 - run, 40, run, high)},
        {"centre", 6, {40, 40}, 0, {}, QRectF(40 - run / 2, 40, run, high)},
        {"bottom", 8, {80, 40}, 0, {}, QRectF(80, 40 - high, run, high)},
        {"baseline", 24, {80, 40}, 0, {}, QRectF(80, 40 - m.ascent(), run, high)},
        {"from the current position, twice", 1, {80, 40}, 0, {}, QRectF(80, 40, 2 * run, high)},
        {"its own advances", 0, {80, 40}, 0, {30, 30, 30, 30, 30, 30}, QRectF(80, 40, 180, high)},
        {"turned to run upwards", 0, {40, 40}, 900, {}, QRectF(40, 40 - run, high, run)},
    };
    for (const auto& c : cases) {
        WmfWriter w;
        w.solid_brush(0xFFFFFF80).null_pen().select(0).select(1).rectangle(QRect(0, 0, 100, 100));
        w.font(-24, 0, "DejaVu Sans", c.escapement).select(2).bk_mode(1).text_align(c.align);
        if (c.align & 1)  // the points given are not used
            w.move_to(c.at).text_out(QPoint(0, 0), "HHHHHH").text_out(QPoint(0, 0), "HHHHHH");
        else
            w.ext_text_out(c.at, "HHHHHH", c.dx);
        const QRectF all = c.text.united(QRectF(0, 0, 100, 100));
        const Picture p = load_picture(PictureSource::bytes(w.finish()));
        ASSERT_EQ(p.status, PictureStatus::Ok) << c.name;
        EXPECT_NEAR(p.image.width(), all.width(), 1.5) << c.name;
        EXPECT_NEAR(p.image.height(), all.height(), 1.5) << c.name;
        // Ink in the first and the last glyph's place, both inside the picture.
        const QRectF text = c.text.translated(-all.topLeft());
        const double cell = c.dx.empty() ? h : 30;
        const QRect first = c.escapement ? QRectF(text.left(), text.bottom() - h, high, h).toRect()
                                         : QRectF(text.left(), text.top(), h, high).toRect();
        const QRect last = c.escapement ? QRectF(text.left(), text.top(), high, h).toRect()
                                        : QRectF(text.right() - cell, text.top(), h, high).toRect();
        EXPECT_GT(ink(p.image, first.intersected(p.image.rect())), 20) << c.name;
        EXPECT_GT(ink(p.image, last.intersected(p.image.rect())), 20) << c.name;
    }
}

TEST(Metafile, SmallTextOutDrawsAsExtTextOutDoes)
{
    // Bytes (UTF-16 without the high bytes) or UTF-16, with or without the
    // rectangle, which an opaque one fills.
    for (const int options : {0x300, 0x100, 0x200, 0x2, 0x4}) {
        const auto text = [&](bool small) {
            EmfWriter w;
            w.font(1, -24, QStringLiteral("DejaVu Sans"), 700).select(1).bk_mode(1).bk_colour(k_red);
            const QString s = QStringLiteral("H\u00C0H");
            const QRect rect(4, 8, 40, 60);
            if (small)
                w.small_text(QPoint(8, 8), s, options, rect);
            else
                w.text_w(QPoint(8, 8), s, {}, options & 0x6, options & 0x100 ? QRect() : rect);
            return draw(w.finish(), PictureFormat::Emf);
        };
        const QImage small = text(true);
        EXPECT_EQ(small, text(false)) << options;
        EXPECT_GT(ink(small, QRect(8, 8, 80, 28)), 60) << options;
        EXPECT_EQ(is(small.pixel(6, 60), k_red), options == 0x2) << options;
        EXPECT_EQ(ink(small, QRect(44, 0, 52, 96)) == 0, options == 0x4) << options;  // clipped to the rectangle
    }
    // A string longer than its record, or a record without its fields.
    for (const QByteArray& damaged : {Params().point(QPoint(8, 8)).u32(1000).u32(0x300).u32(1).f32(1).f32(1).data(),
                                      Params().point(QPoint(8, 8)).u32(1).u32(0x200).data()}) {
        EmfWriter w;
        w.record(108, damaged);
        EXPECT_EQ(render_metafile(w.finish(), PictureFormat::Emf, QSize(96, 96)).play.status,
                  PictureStatus::Undecodable);
    }
}

namespace {

// The largest difference of a channel between two images of one size.
int largest_difference(const QImage& a, const QImage& b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const QRgb p = a.pixel(x, y), q = b.pixel(x, y); int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q),
                                                                          qBlue(p) - qBlue(q), qAlpha(p) - qAlpha(q)})
                most = std::max(most, std::abs(d));
    return most;
}

// The path with its curves as lines of half a pixel: Qt's own flattening
// of a curve thousands of pixels long strays by a fraction of a pixel.
QPainterPath flattened(const QPainterPath& path)
{
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPointF a = out.currentPosition(), p = path.elementAt(i);
        if (path.elementAt(i).isMoveTo()) {
            out.moveTo(p);
            continue;
        }
        const bool curve = path.elementAt(i).isCurveTo();
        const QPointF c = curve ? path.elementAt(i + 1) : p, b = curve ? path.elementAt(i += 2) : p;
        const int n = curve ? 1 + int(2 * (QLineF(a, p).length() + QLineF(p, c).length() + QLineF(c, b).length())) : 1;
        for (double k = 1, t = 1.0 / n, u = 1 - t; k <= n; ++k, t = k / n, u = 1 - t)
            out.lineTo(u * u * u * a + 3 * u * u * t * p + 3 * u * t * t * c + t * t * t * b);
    }
    return out;
}

// The fill in red, then the outline in pen.
QImage painted(const QPainterPath& fill, const QPainterPath& outline, const QPen& pen)
{
    QImage image(96, 96, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(flattened(fill), QColor(k_red));
    p.strokePath(flattened(outline), pen);
    return image;
}

QPainterPath figure(std::initializer_list<QPointF> points, bool closed)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    if (closed)
        path.closeSubpath();
    return path;
}

} // namespace

TEST(Metafile, ShapesReachingFarOutAreCutWithoutChangingWhatIsSeen)
{
    using mosswick::picture::metafile::clip_for_fill;
    using mosswick::picture::metafile::clip_for_stroke;
    QPainterPath ellipse;
    ellipse.addEllipse(QRectF(-3000, 20, 6100, 9000));
    QPainterPath loop(QPointF(10, 90));
    loop.cubicTo(QPointF(5000, -4000), QPointF(-4000, -3000), QPointF(90, 50));
    const struct {
        const char* name;
        QPainterPath path;
    } shapes[] = {
        {"polygon with one far point", figure({{10, 10}, {80, 10}, {85, 60}, {45, 60000}, {12, 60}}, true)},
        {"star crossing itself beyond the edges",
         figure({{-500, 48}, {150, 20}, {20, 140}, {48, -400}, {76, 140}, {-54, 20}, {600, 48}}, true)},
        {"line going out and coming back", figure({{10, 10}, {3000, 40}, {20, 50}, {40, -2000}, {60, 90}}, false)},
        {"ellipse far larger than the picture", ellipse},
        {"curve looping out", loop},
    };
    const QPen round(QColor(k_blue), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPen mitred(QColor(k_blue), 7, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    mitred.setMiterLimit(10);
    for (auto [name, path] : shapes) {
        for (const auto& [rule, pen] : {std::pair(Qt::OddEvenFill, QPen(QColor(k_blue), 1)),
                                        std::pair(Qt::WindingFill, round), std::pair(Qt::OddEvenFill, mitred)}) {
            path.setFillRule(rule);
            const double margin = pen.widthF() * (pen.joinStyle() == Qt::MiterJoin ? pen.miterLimit() : 1) + 3;
            const QRectF window = QRectF(0, 0, 96, 96).adjusted(-margin, -margin, margin, margin);
            const QPainterPath fill = clip_for_fill(path, QRectF(-2, -2, 100, 100)), outline = clip_for_stroke(path, window);
            EXPECT_TRUE(QRectF(-2.01, -2.01, 100.02, 100.02).contains(fill.controlPointRect())) << name;
            EXPECT_TRUE(window.adjusted(-0.01, -0.01, 0.01, 0.01).contains(outline.controlPointRect())) << name;
            EXPECT_LE(largest_difference(painted(path, path, pen), painted(fill, outline, pen)), 12) << name;
        }
    }

    // The player draws a polygon with one far point as Qt draws it whole
    // (a frame of exactly 96 pixels: one unit a pixel).
    EmfWriter w(QRect(0, 0, 2540, 2540));
    w.solid_brush(1, k_red).select(1).pen(2, 0, 3, k_blue).select(2);
    w.polygon(QPolygon({QPoint(10, 10), QPoint(86, 10), QPoint(48, 60000)}));
    const QPainterPath whole = figure({{10, 10}, {86, 10}, {48, 60000}}, true);
    const QImage expected = painted(whole, whole, QPen(QColor(k_blue), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    EXPECT_LE(largest_difference(draw(w.finish(), PictureFormat::Emf), expected), 12);
}
