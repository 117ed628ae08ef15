#include "handmade_pictures.h"

#include "support/metafile_writer.h"

#include <QBuffer>
#include <QImageWriter>

namespace handmade {

namespace {

using mfwrite::Params;

void be32(QByteArray& b, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b.append(char((v >> shift) & 0xFF));
}

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A bitmap's file and info headers: width x height (bottom-up when height
// is positive) in bpp bits, then colours palette entries, then pixel_bytes.
Params bmp_headers(qint32 width, qint32 height, int bpp, quint32 compression, quint32 pixel_bytes, quint32 colours)
{
    const quint32 offset = 14 + 40 + 4 * colours;
    Params b;
    b.bytes("BM").u32(offset + pixel_bytes).u32(0).u32(offset);
    b.u32(40).i32(width).i32(height).u16(1).u16(bpp).u32(compression).u32(pixel_bytes);
    b.u32(2835).u32(2835).u32(colours).u32(0);
    return b;
}

// The bytes of the CMYK JPEG (made once with an external encoder).
const unsigned char k_cmyk_jpeg[] = {
  0xff, 0xd8, 0xff, 0xee, 0x00, 0x0e, 0x41, 0x64, 0x6f, 0x62, 0x65, 0x00,
  0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x08,
  0x06, 0x06, 0x07, 0x06, 0x05, 0x08, 0x07, 0x07, 0x07, 0x09, 0x09, 0x08,
  0x0a, 0x0c, 0x14, 0x0d, 0x0c, 0x0b, 0x0b, 0x0c, 0x19, 0x12, 0x13, 0x0f,
  0x14, 0x1d, 0x1a, 0x1f, 0x1e, 0x1d, 0x1a, 0x1c, 0x1c, 0x20, 0x24, 0x2e,
  0x27, 0x20, 0x22, 0x2c, 0x23, 0x1c, 0x1c, 0x28, 0x37, 0x29, 0x2c, 0x30,
  0x31, 0x34, 0x34, 0x34, 0x1f, 0x27, 0x39, 0x3d, 0x38, 0x32, 0x3c, 0x2e,
  0x33, 0x34, 0x32, 0xff, 0xc0, 0x00, 0x14, 0x08, 0x00, 0x08, 0x00, 0x08,
  0x04, 0x43, 0x11, 0x00, 0x4d, 0x11, 0x00, 0x59, 0x11, 0x00, 0x4b, 0x11,
  0x00, 0xff, 0xc4, 0x00, 0x1f, 0x00, 0x00, 0x01, 0x05, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
  0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0xff, 0xc4,
  0x00, 0xb5, 0x10, 0x00, 0x02, 0x01, 0x03, 0x03, 0x02, 0x04, 0x03, 0x05,
  0x05, 0x04, 0x04, 0x00, 0x00, 0x01, 0x7d, 0x01, 0x02, 0x03, 0x00, 0x04,
  0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22,
  0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15,
  0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17,
  0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36,
  0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a,
  0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66,
  0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
  0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95,
  0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8,
  0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2,
  0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5,
  0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7,
  0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9,
  0xfa, 0xff, 0xda, 0x00, 0x0e, 0x04, 0x43, 0x00, 0x4d, 0x00, 0x59, 0x00,
  0x4b, 0x00, 0x00, 0x3f, 0x00, 0xf7, 0xea, 0xf1, 0x7a, 0xf1, 0xda, 0xf6,
  0x4a, 0xff, 0xd9
};

} // namespace

QByteArray rle_bmp(int bpp)
{
    // Rows bottom up: run of 4 x index 1, end of line; 2 x index 0, 2 x
    // index 1, end of bitmap. RLE4 runs repeat a pair of nibbles.
    const QByteArray pixels = bpp == 8 ? QByteArray("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10)
                                       : QByteArray("\x04\x11\x00\x00\x02\x00\x02\x11\x00\x01", 10);
    // BI_RLE8 or BI_RLE4; index 0 blue, index 1 green (B, G, R, 0).
    Params b = bmp_headers(4, 2, bpp, bpp == 8 ? 1 : 2, quint32(pixels.size()), 2);
    return b.u32(0x000000FF).u32(0x0000FF00).bytes(pixels).data();
}

QByteArray gif(int width, int height, const std::vector<QColor>& frame_colours)
{
    Params b;
    b.bytes("GIF89a").u16(width).u16(height).u8(0xF6).u8(0).u8(0);  // global table of 128 entries, 7-bit colour
    for (int i = 0; i < 128; ++i) {
        const QColor c = i < int(frame_colours.size()) ? frame_colours[size_t(i)] : QColor(Qt::black);
        b.u8(c.red()).u8(c.green()).u8(c.blue());
    }
    for (size_t f = 0; f < frame_colours.size(); ++f) {
        b.u8(0x2C).u16(0).u16(0).u16(width).u16(height).u8(0);
        // Minimum code size 7: codes are 8 bits wide, clear = 128, end = 129.
        // A clear every 100 pixels keeps the table from growing past 8 bits.
        b.u8(7);
        QByteArray codes;
        for (int p = 0; p < width * height; ++p) {
            if (p % 100 == 0)
                codes.append(char(128));
            codes.append(char(f));
        }
        codes.append(char(129));
        for (int at = 0; at < codes.size(); at += 255) {
            const QByteArray block = codes.mid(at, 255);
            b.u8(int(block.size())).bytes(block);
        }
        b.u8(0);
    }
    return b.u8(0x3B).data();
}

QByteArray ico(const std::vector<QImage>& images)
{
    std::vector<QByteArray> bodies;
    for (const QImage& img : images)
        bodies.push_back(encode(img, "png"));
    Params b;
    b.u16(0).u16(1).u16(int(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const QSize s = images[i].size();
        b.u8(s.width() >= 256 ? 0 : s.width()).u8(s.height() >= 256 ? 0 : s.height()).u8(0).u8(0);
        b.u16(1).u16(32).u32(quint32(bodies[i].size())).u32(offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        b.bytes(body);
    return b.data();
}

QByteArray cmyk_jpeg()
{
    return QByteArray(reinterpret_cast<const char*>(k_cmyk_jpeg), int(sizeof k_cmyk_jpeg));
}

QByteArray emf_header()
{
    // EMR_HEADER of 108 bytes, bounds and frame all 0.
    QByteArray b = Params().u32(1).u32(108).bytes(QByteArray(32, '\0')).bytes(" EMF").u32(0x10000).data();
    return b.append(QByteArray(108 - b.size(), '\0'));
}

QByteArray wmf_header()
{
    // The placeable key, then a memory metafile header of 9 words.
    QByteArray b = Params().u32(0x9AC6CDD7).bytes(QByteArray(18, '\0')).u16(1).u16(9).u16(0x0300).data();
    return b.append(QByteArray(64 - b.size(), '\0'));
}

QByteArray png_header_only(quint32 width, quint32 height)
{
    QByteArray b("\x89PNG\r\n\x1a\n", 8);
    QByteArray chunk("IHDR");
    be32(chunk, width);
    be32(chunk, height);
    chunk.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    be32(b, 13);
    b.append(chunk);
    be32(b, crc32(chunk));
    return b;
}

QByteArray bmp_header_only(qint32 width, qint32 height)
{
    return bmp_headers(width, height, 24, 0, 0, 0).data();
}

QImage painted(QSize size, const std::function<QRgb(int x, int y)>& colour)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, colour(x, y));
    return image;
}

QImage filled(QSize size, QColor colour, QImage::Format format)
{
    QImage image(size, format);
    image.fill(colour);
    return image;
}

QByteArray encode(const QImage& image, const char* format, bool progressive)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, format);
    w.setProgressiveScanWrite(progressive);
    w.write(image);
    return out;
}

} // namespace handmade
