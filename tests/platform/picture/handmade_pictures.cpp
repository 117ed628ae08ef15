#include "handmade_pictures.h"

#include <QBuffer>
#include <QImageWriter>

namespace handmade {

namespace {

void le16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void le32(QByteArray& b, quint32 v)
{
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}

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
    QByteArray pixels;
    if (bpp == 8) {
        // Rows bottom up: run of 4 x index 1, end of line; 2 x index 0,
        // 2 x index 1, end of bitmap.
        pixels.append("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10);
    } else {
        // RLE4 runs repeat a pair of nibbles.
        pixels.append("\x04\x11\x00\x00\x02\x00\x02\x11\x00\x01", 10);
    }
    const quint32 offset = 14 + 40 + 8;
    QByteArray b("BM");
    le32(b, offset + quint32(pixels.size()));
    le32(b, 0);
    le32(b, offset);
    le32(b, 40);
    le32(b, 4);                  // width
    le32(b, 2);                  // height, bottom-up
    le16(b, 1);                  // planes
    le16(b, quint32(bpp));
    le32(b, bpp == 8 ? 1 : 2);   // BI_RLE8 / BI_RLE4
    le32(b, quint32(pixels.size()));
    le32(b, 2835);
    le32(b, 2835);
    le32(b, 2);                  // colours used
    le32(b, 0);
    le32(b, 0x000000FF);         // index 0: blue (B, G, R, 0)
    le32(b, 0x0000FF00);         // index 1: green
    b.append(pixels);
    return b;
}

QByteArray gif(int width, int height, const std::vector<QColor>& frame_colours)
{
    QByteArray b("GIF89a");
    le16(b, quint32(width));
    le16(b, quint32(height));
    b.append(char(0xF6));  // global table of 128 entries, 7-bit colour
    b.append(char(0));
    b.append(char(0));
    for (int i = 0; i < 128; ++i) {
        const QColor c = i < int(frame_colours.size()) ? frame_colours[size_t(i)] : QColor(Qt::black);
        b.append(char(c.red()));
        b.append(char(c.green()));
        b.append(char(c.blue()));
    }
    for (size_t f = 0; f < frame_colours.size(); ++f) {
        b.append(char(0x2C));
        le16(b, 0);
        le16(b, 0);
        le16(b, quint32(width));
        le16(b, quint32(height));
        b.append(char(0));
        // Minimum code size 7: codes are 8 bits wide, clear = 128, end = 129.
        // A clear every 100 pixels keeps the table from growing past 8 bits.
        b.append(char(7));
        QByteArray codes;
        for (int p = 0; p < width * height; ++p) {
            if (p % 100 == 0)
                codes.append(char(128));
            codes.append(char(f));
        }
        codes.append(char(129));
        for (int at = 0; at < codes.size(); at += 255) {
            const QByteArray block = codes.mid(at, 255);
            b.append(char(block.size()));
            b.append(block);
        }
        b.append(char(0));
    }
    b.append(char(0x3B));
    return b;
}

QByteArray ico(const std::vector<QImage>& images)
{
    std::vector<QByteArray> bodies;
    for (const QImage& img : images)
        bodies.push_back(encode(img, "png"));
    QByteArray b;
    le16(b, 0);
    le16(b, 1);
    le16(b, quint32(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const QSize s = images[i].size();
        b.append(char(s.width() >= 256 ? 0 : s.width()));
        b.append(char(s.height() >= 256 ? 0 : s.height()));
        b.append(char(0));
        b.append(char(0));
        le16(b, 1);
        le16(b, 32);
        le32(b, quint32(bodies[i].size()));
        le32(b, offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        b.append(body);
    return b;
}

QByteArray cmyk_jpeg()
{
    return QByteArray(reinterpret_cast<const char*>(k_cmyk_jpeg), int(sizeof k_cmyk_jpeg));
}

QByteArray emf_header()
{
    QByteArray b;
    le32(b, 1);    // EMR_HEADER
    le32(b, 108);  // record size
    for (int i = 0; i < 8; ++i)
        le32(b, 0);  // bounds and frame
    b.append(" EMF", 4);
    le32(b, 0x10000);
    while (b.size() < 108)
        b.append(char(0));
    return b;
}

QByteArray wmf_header()
{
    QByteArray b("\xD7\xCD\xC6\x9A", 4);
    while (b.size() < 22)
        b.append(char(0));
    le16(b, 1);  // type: memory
    le16(b, 9);  // header words
    le16(b, 0x0300);
    while (b.size() < 64)
        b.append(char(0));
    return b;
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
    QByteArray b("BM");
    le32(b, 54);
    le32(b, 0);
    le32(b, 54);
    le32(b, 40);
    le32(b, quint32(width));
    le32(b, quint32(height));
    le16(b, 1);
    le16(b, 24);
    le32(b, 0);
    le32(b, 0);
    le32(b, 2835);
    le32(b, 2835);
    le32(b, 0);
    le32(b, 0);
    return b;
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
