// Loading and measuring: every format from a file and from bytes, detection
// by content, and every failure as its own status.

#include "handmade_pictures.h"
#include "platform/picture/picture.h"
#include "support/test_support.h"

#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mosswick::picture;
using testsupport::TempDir;

namespace {

// Colours compared with some slack: JPEG is lossy.
bool near(QRgb a, QColor b, int slack)
{
    return std::abs(qRed(a) - b.red()) <= slack && std::abs(qGreen(a) - b.green()) <= slack
           && std::abs(qBlue(a) - b.blue()) <= slack;
}

struct FormatCase {
    const char* writer;      // Qt's name for the writer
    PictureFormat format;
    int slack;               // allowed colour error
};

class EachFormat : public ::testing::TestWithParam<FormatCase> {};

// make_picture_bytes draws a gradient with a marker block (red here) in the
// top-left quarter.
TEST_P(EachFormat, DecodesFromFileAndFromBytes)
{
    const FormatCase c = GetParam();
    const int w = 64;
    const int h = 48;
    const QByteArray bytes = testsupport::make_picture_bytes(w, h, c.writer, Qt::red);
    ASSERT_FALSE(bytes.isEmpty());
    TempDir dir;
    const QString path = dir.write(QStringLiteral("picture.") + c.writer, bytes);

    for (const PictureSource& source : {PictureSource::file(path), PictureSource::bytes(bytes)}) {
        const Picture p = load_picture(source);
        ASSERT_EQ(p.status, PictureStatus::Ok) << c.writer;
        EXPECT_EQ(p.format, c.format);
        EXPECT_EQ(p.image.size(), QSize(w, h));
        EXPECT_TRUE(p.image.format() == QImage::Format_RGB32
                    || p.image.format() == QImage::Format_ARGB32_Premultiplied);
        EXPECT_TRUE(near(p.image.pixel(2, 2), Qt::red, c.slack)) << c.writer;
        // Outside the marker: the gradient's blue is 128 everywhere.
        EXPECT_NEAR(qBlue(p.image.pixel(w - 3, h - 3)), 128, c.slack) << c.writer;

        const PictureInfo info = measure_picture(source);
        EXPECT_EQ(info.status, PictureStatus::Ok);
        EXPECT_EQ(info.format, c.format);
        EXPECT_EQ(info.size, QSize(w, h));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EachFormat,
                         ::testing::Values(FormatCase{"jpg", PictureFormat::Jpeg, 40},
                                           FormatCase{"png", PictureFormat::Png, 0},
                                           FormatCase{"bmp", PictureFormat::Bmp, 0},
                                           FormatCase{"tif", PictureFormat::Tiff, 0},
                                           FormatCase{"ico", PictureFormat::Ico, 0}),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.writer);
                         });

TEST(PictureFormats, ContentDecidesNotTheFileName)
{
    TempDir dir;
    const struct {
        const char* name;
        const char* writer;
        PictureFormat format;
    } cases[] = {{"really-png.jpg", "png", PictureFormat::Png},
                 {"really-jpg.bmp", "jpg", PictureFormat::Jpeg},
                 {"README", "bmp", PictureFormat::Bmp}};
    for (const auto& c : cases) {
        const QString path = dir.write(c.name, testsupport::make_picture_bytes(30, 20, c.writer));
        const Picture p = load_picture(PictureSource::file(path));
        EXPECT_EQ(p.status, PictureStatus::Ok) << c.name;
        EXPECT_EQ(p.format, c.format) << c.name;
        const PictureInfo info = measure_picture(PictureSource::file(path));
        EXPECT_EQ(info.status, PictureStatus::Ok) << c.name;
        EXPECT_EQ(info.format, c.format) << c.name;
        EXPECT_EQ(info.size, QSize(30, 20)) << c.name;
    }
}

TEST(PictureFormats, RleBitmapsDecode)
{
    for (const int bpp : {8, 4}) {
        TempDir dir;
        const QString path = dir.write("picture.rle", handmade::rle_bmp(bpp));
        const Picture p = load_picture(PictureSource::file(path));
        ASSERT_EQ(p.status, PictureStatus::Ok) << "RLE" << bpp;
        ASSERT_EQ(p.image.size(), QSize(4, 2));
        // Top row (stored last): blue, blue, green, green. Bottom row green.
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(p.image.pixel(x, 0), x < 2 ? qRgb(0, 0, 255) : qRgb(0, 255, 0)) << bpp << " x " << x;
            EXPECT_EQ(p.image.pixel(x, 1), qRgb(0, 255, 0)) << bpp << " x " << x;
        }
    }
}

TEST(PictureFormats, GifShowsItsFirstFrame)
{
    const QByteArray bytes = handmade::gif(20, 10, {QColor(250, 10, 10), QColor(10, 10, 250)});
    const Picture p = load_picture(PictureSource::bytes(bytes));
    ASSERT_EQ(p.status, PictureStatus::Ok);
    EXPECT_EQ(p.format, PictureFormat::Gif);
    ASSERT_EQ(p.image.size(), QSize(20, 10));
    EXPECT_EQ(p.image.pixel(0, 0), qRgb(250, 10, 10));
    EXPECT_EQ(p.image.pixel(19, 9), qRgb(250, 10, 10));
    EXPECT_EQ(measure_picture(PictureSource::bytes(bytes)).size, QSize(20, 10));
}

TEST(PictureFormats, IcoGivesItsLargestImage)
{
    using handmade::filled;
    // The largest beyond the directory's 256 limit.
    const QByteArray bytes = handmade::ico({filled(QSize(16, 16), Qt::red, QImage::Format_ARGB32),
                                            filled(QSize(300, 280), Qt::green, QImage::Format_ARGB32),
                                            filled(QSize(48, 40), Qt::blue, QImage::Format_ARGB32)});

    const PictureInfo info = measure_picture(PictureSource::bytes(bytes));
    EXPECT_EQ(info.status, PictureStatus::Ok);
    EXPECT_EQ(info.format, PictureFormat::Ico);
    EXPECT_EQ(info.size, QSize(300, 280));

    const Picture p = load_picture(PictureSource::bytes(bytes));
    ASSERT_EQ(p.status, PictureStatus::Ok);
    EXPECT_EQ(p.image.size(), QSize(300, 280));
    EXPECT_EQ(p.image.pixel(150, 140), qRgb(0, 255, 0));
}

TEST(PictureFormats, CmykAndProgressiveJpegs)
{
    const Picture cmyk = load_picture(PictureSource::bytes(handmade::cmyk_jpeg()));
    ASSERT_EQ(cmyk.status, PictureStatus::Ok);
    EXPECT_EQ(cmyk.image.size(), QSize(8, 8));
    const QRgb c = cmyk.image.pixel(4, 4);
    EXPECT_GT(qRed(c), 150);
    EXPECT_LT(qGreen(c), 90);
    EXPECT_LT(qBlue(c), 90);

    const QByteArray progressive = handmade::encode(handmade::filled(QSize(120, 80), QColor(20, 200, 60)), "jpg", true);
    const Picture p = load_picture(PictureSource::bytes(progressive));
    ASSERT_EQ(p.status, PictureStatus::Ok);
    EXPECT_EQ(p.image.size(), QSize(120, 80));
    EXPECT_TRUE(near(p.image.pixel(60, 40), QColor(20, 200, 60), 8));
}

TEST(PictureFormats, MetafilesWithoutASizeAreRecognisedButUndecodable)
{
    const Picture emf = load_picture(PictureSource::bytes(handmade::emf_header()));
    EXPECT_EQ(emf.status, PictureStatus::Undecodable);
    EXPECT_EQ(emf.format, PictureFormat::Emf);
    EXPECT_TRUE(emf.image.isNull());
    const PictureInfo wmf = measure_picture(PictureSource::bytes(handmade::wmf_header()));
    EXPECT_EQ(wmf.status, PictureStatus::Undecodable);
    EXPECT_EQ(wmf.format, PictureFormat::Wmf);
}

TEST(PictureFailures, MissingEmptyAndUnreadableFiles)
{
    TempDir dir;
    const Picture missing = load_picture(PictureSource::file(dir.file("nothing.jpg")));
    EXPECT_EQ(missing.status, PictureStatus::NotFound);
    EXPECT_EQ(status_text(missing.status), QStringLiteral("Picture file not found."));
    EXPECT_EQ(measure_picture(PictureSource::file(QString())).status, PictureStatus::NotFound);

    const QString empty = dir.write("empty.png", QByteArray());
    EXPECT_EQ(load_picture(PictureSource::file(empty)).status, PictureStatus::Empty);
    EXPECT_EQ(measure_picture(PictureSource::file(empty)).status, PictureStatus::Empty);
    EXPECT_EQ(load_picture(PictureSource::bytes(QByteArray())).status, PictureStatus::Empty);

    // A folder, and a FIFO, which must be refused rather than block on open.
    EXPECT_EQ(load_picture(PictureSource::file(dir.path())).status, PictureStatus::Unreadable);
    const QString fifo = dir.file("pipe.jpg");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(load_picture(PictureSource::file(fifo)).status, PictureStatus::Unreadable);

    // Every failure has its own message.
    QStringList texts;
    for (const PictureStatus s : {PictureStatus::NotFound, PictureStatus::Unreadable, PictureStatus::Empty,
                                  PictureStatus::Truncated, PictureStatus::Undecodable, PictureStatus::TooLarge}) {
        EXPECT_FALSE(status_text(s).isEmpty());
        texts << status_text(s);
    }
    texts.removeDuplicates();
    EXPECT_EQ(texts.size(), 6);
}

TEST(PictureFailures, TruncatedPicturesAreToldFromCorruptOnes)
{
    const QByteArray jpg = testsupport::make_picture_bytes(200, 150, "jpg");
    const QByteArray png = testsupport::make_picture_bytes(200, 150, "png");
    const QByteArray bmp = testsupport::make_picture_bytes(200, 150, "bmp");
    const QByteArray gif = handmade::gif(60, 40, {QColor(1, 2, 3)});
    for (const QByteArray& whole : {jpg, png, bmp, gif}) {
        const QByteArray half = whole.left(whole.size() / 2);
        // The header is intact, so measuring (header only) still works...
        const PictureInfo info = measure_picture(PictureSource::bytes(half));
        EXPECT_EQ(info.status, PictureStatus::Ok) << info.size.width();
        // ...but the body is cut short, even where the decoder itself would
        // fill the rest with grey (jpg, bmp).
        EXPECT_EQ(load_picture(PictureSource::bytes(half)).status, PictureStatus::Truncated)
            << format_name(info.format).toStdString();
    }
    // Cut inside the header.
    EXPECT_EQ(load_picture(PictureSource::bytes(png.left(20))).status, PictureStatus::Truncated);
    EXPECT_EQ(measure_picture(PictureSource::bytes(jpg.left(40))).status, PictureStatus::Truncated);

    // Garbage, and a valid signature over garbage, are undecodable.
    const QByteArray text("This is a note, not a picture. It has plenty of characters in it.");
    EXPECT_EQ(load_picture(PictureSource::bytes(text)).status, PictureStatus::Undecodable);
    const QByteArray bad_png = QByteArray(png).replace(12, 28, QByteArray(28, char(0x5A)));
    EXPECT_EQ(load_picture(PictureSource::bytes(bad_png)).status, PictureStatus::Undecodable);

    // Files behave as bytes do.
    TempDir dir;
    const QString cut = dir.write("cut.jpg", jpg.left(jpg.size() - 200));
    EXPECT_EQ(load_picture(PictureSource::file(cut)).status, PictureStatus::Truncated);
}

TEST(PictureFailures, HostileJpegHeadersEndQuickly)
{
    // Fill bytes are allowed before a marker...
    QByteArray filled = testsupport::make_picture_bytes(40, 30, "jpg");
    filled.insert(2, QByteArray(3, '\xFF'));
    EXPECT_EQ(load_picture(PictureSource::bytes(filled)).status, PictureStatus::Ok);
    // ...but megabytes of them, or endless empty segments, are no picture.
    const QByteArray fill = QByteArray("\xFF\xD8", 2) + QByteArray(4 << 20, '\xFF');
    EXPECT_EQ(measure_picture(PictureSource::bytes(fill)).status, PictureStatus::Truncated);
    QByteArray comments("\xFF\xD8", 2);
    for (int i = 0; i < 200000; ++i)
        comments.append("\xFF\xFE\x00\x02", 4);
    comments.append("\xFF\xD9", 2);
    EXPECT_EQ(measure_picture(PictureSource::bytes(comments)).status, PictureStatus::Undecodable);
}

TEST(PictureFailures, AllocationLimit)
{
    init_picture_layer();
    EXPECT_EQ(QImageReader::allocationLimit(), k_allocation_limit_mib);

    // Headers claiming gigantic sizes are refused without trying to decode.
    const QByteArray huge_png = handmade::png_header_only(20000, 20000);
    const PictureInfo png = measure_picture(PictureSource::bytes(huge_png));
    EXPECT_EQ(png.status, PictureStatus::TooLarge);
    EXPECT_EQ(png.size, QSize(20000, 20000));
    EXPECT_EQ(load_picture(PictureSource::bytes(huge_png)).status, PictureStatus::TooLarge);
    TempDir dir;
    const QString bmp = dir.write("huge.bmp", handmade::bmp_header_only(30000, 30000));
    EXPECT_EQ(load_picture(PictureSource::file(bmp)).status, PictureStatus::TooLarge);

    // The limit itself: 16384 x 16384 at 4 bytes is exactly 1 GiB.
    EXPECT_FALSE(exceeds_allocation_limit(QSize(16384, 16384)));
    EXPECT_TRUE(exceeds_allocation_limit(QSize(16384, 16385)));
    EXPECT_EQ(measure_picture(PictureSource::bytes(handmade::bmp_header_only(16384, 16384))).status,
              PictureStatus::Ok);
    EXPECT_EQ(measure_picture(PictureSource::bytes(handmade::bmp_header_only(16384, 16385))).status,
              PictureStatus::TooLarge);
}

TEST(PictureFailures, HeadersClaimingTheLargestSidesAreTooLarge)
{
    // 2147483647 a side: the bytes such a picture needs overflow 64 bits.
    constexpr qint32 k_side = 2147483647;
    EXPECT_TRUE(exceeds_allocation_limit(QSize(k_side, k_side)));
    EXPECT_TRUE(exceeds_allocation_limit(QSize(k_side, 1)));
    EXPECT_FALSE(exceeds_allocation_limit(QSize(-k_side, k_side)));
    TempDir dir;
    for (const QByteArray& bytes : {handmade::png_header_only(quint32(k_side), quint32(k_side)),
                                    handmade::bmp_header_only(k_side, k_side), handmade::bmp_header_only(k_side, -k_side)}) {
        const PictureInfo info = measure_picture(PictureSource::bytes(bytes));
        EXPECT_EQ(info.status, PictureStatus::TooLarge);
        EXPECT_EQ(info.size, QSize(k_side, k_side));
        const QString path = dir.write("huge", bytes);
        const Picture p = load_picture(PictureSource::file(path));
        EXPECT_EQ(p.status, PictureStatus::TooLarge);
        EXPECT_TRUE(p.image.isNull());
        EXPECT_EQ(status_text(p.status), "Picture too large to show.");
    }
}

TEST(PictureFormats, ExifOrientationIsIgnored)
{
    // A JPEG whose EXIF says "rotate 90": sizes stay the file's own.
    QByteArray jpg = handmade::encode(handmade::filled(QSize(40, 20), Qt::white), "jpg");
    // APP1 Exif with one IFD entry: Orientation (0x0112) = 6.
    QByteArray exif("Exif\0\0", 6);
    exif.append("MM\0\x2a\0\0\0\x08", 8);
    exif.append("\0\x01", 2);
    exif.append("\x01\x12\0\x03\0\0\0\x01\0\x06\0\0", 12);
    exif.append("\0\0\0\0", 4);
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((exif.size() + 2) >> 8));
    app1.append(char((exif.size() + 2) & 0xFF));
    app1.append(exif);
    jpg.insert(2, app1);

    EXPECT_EQ(measure_picture(PictureSource::bytes(jpg)).size, QSize(40, 20));
    EXPECT_EQ(load_picture(PictureSource::bytes(jpg)).image.size(), QSize(40, 20));
}

// Pictures whose every row is in the data show, however their ends look
// (padding, appended bytes, a missing end marker or trailer); those whose
// rows are really missing are still told incomplete.
TEST(PictureFormats, WholePicturesWithOddEndsShowAndCutOnesDoNot)
{
    const auto shows = [](const QByteArray& bytes, QSize size, const char* what) {
        const Picture p = load_picture(PictureSource::bytes(bytes));
        EXPECT_EQ(p.status, PictureStatus::Ok) << what;
        EXPECT_EQ(p.image.size(), size) << what;
        EXPECT_EQ(measure_picture(PictureSource::bytes(bytes)).size, size) << what;
        return p.image;
    };
    const auto cut = [](const QByteArray& bytes, const char* what) {
        EXPECT_EQ(load_picture(PictureSource::bytes(bytes)).status, PictureStatus::Truncated) << what;
    };

    const QByteArray gif = handmade::gif(20, 10, {QColor(250, 10, 10)});
    shows(gif + QByteArray(100, '\0'), QSize(20, 10), "gif padded to a block");
    shows(gif + QByteArray("appended by another program"), QSize(20, 10), "gif with data after it");
    shows(gif.chopped(1), QSize(20, 10), "gif without its trailer");
    QByteArray no_screen = gif;
    no_screen.replace(6, 4, QByteArray(4, '\0'));
    EXPECT_EQ(shows(no_screen, QSize(20, 10), "gif with a 0 x 0 screen").pixel(19, 9), qRgb(250, 10, 10));
    cut(gif.chopped(10), "gif cut inside its image");
    TempDir dir;
    EXPECT_EQ(load_picture(PictureSource::file(dir.write("padded.gif", gif + QByteArray(7, '\0')))).status,
              PictureStatus::Ok);

    // jpg without its end marker, in colour (chroma halved) and in grey, at
    // sizes that leave partial blocks.
    const QImage colour = handmade::painted(QSize(203, 151), [](int x, int y) { return qRgb(x, y, (x * y) & 0xFF); });
    for (const QImage& image : {colour, colour.convertToFormat(QImage::Format_Grayscale8), colour.copy(0, 0, 64, 48)}) {
        const QByteArray jpg = handmade::encode(image, "jpg");
        shows(jpg.chopped(2), image.size(), "jpg without its end marker");
        cut(jpg.chopped(40), "jpg cut inside its last blocks");
    }
    QByteArray stray = handmade::encode(colour, "jpg");
    // Before the frame header, so the walk must pass them to find the size.
    stray.insert(stray.indexOf("\xFF\xC0"), "\x00\x12\x34", 3);
    shows(stray, colour.size(), "jpg with stray bytes between segments");
    // A progressive jpg's last scans could be missing: without its end
    // marker it stays refused.
    cut(handmade::encode(colour, "jpg", true).chopped(2), "progressive jpg without its end marker");

    // An uncompressed bmp of 63 pixels a row (3 bytes of padding each).
    const QImage rows = colour.copy(0, 0, 63, 48);
    const QByteArray bmp = handmade::encode(rows, "bmp");
    ASSERT_EQ(bmp.size(), 54 + 192 * 48);
    const QImage shown = shows(bmp.chopped(3), rows.size(), "bmp without its last row's padding");
    EXPECT_EQ(shown.pixel(0, 0), rows.pixel(0, 0));  // the last row stored is the top one
    EXPECT_EQ(shown.pixel(62, 0), rows.pixel(62, 0));
    cut(bmp.chopped(4), "bmp missing a pixel");
}

} // namespace
