#include "platform/picture/metafile_dib.h"

#include "platform/picture/picture.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace mosswick::picture::metafile {

namespace {

constexpr quint32 k_rgb = 0;
constexpr quint32 k_rle8 = 1;
constexpr quint32 k_rle4 = 2;
constexpr quint32 k_bitfields = 3;
constexpr quint32 k_jpeg = 4;
constexpr quint32 k_png = 5;
constexpr quint32 k_alpha_bitfields = 6;

struct Header {
    qint64 header_size = 0;
    qint64 width = 0;
    qint64 height = 0;  // negative: rows stored top-down
    int bpp = 0;
    quint32 compression = k_rgb;
    quint32 colours_used = 0;
    bool core = false;  // the old 12-byte header with 3-byte colour entries
};

// One channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    explicit Channel(quint32 m = 0) : mask(m)
    {
        if (mask) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    int of(quint32 px) const { return max ? int(quint64((px & mask) >> shift) * 255 / max) : 0; }
};

QImage decode_embedded(const Bytes& bits, qint64* budget, DibStatus* status)
{
    const QByteArray data = bits.view().toByteArray();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QSize s = reader.size();
    if (!s.isValid() || s.isEmpty() || s.width() > (1 << 20) || s.height() > (1 << 20)) {
        *status = DibStatus::Bad;
        return {};
    }
    const qint64 pixels = qint64(s.width()) * s.height();
    if (exceeds_allocation_limit(s) || pixels > *budget) {
        *status = DibStatus::TooLarge;
        return {};
    }
    *budget -= pixels;
    QImage image = reader.read();
    *status = image.isNull() ? DibStatus::Bad : DibStatus::Ok;
    return image;
}

// Rows Qt's BMP reader unpacks exactly as this player did: palette
// bitmaps, 24-bit and plain 32-bit rows. It scales 16-bit and bit-field
// channels by shifting (31 becomes 248, not 255), reads masks wider than 8
// bits as black and has no premultiplied alpha, so those rows stay ours.
bool qt_reads_alike(const Header& h, bool alpha)
{
    return h.bpp <= 8 || h.bpp == 24 || (h.bpp == 32 && h.compression == k_rgb && !alpha);
}

template <class T>
void put(QByteArray& out, T v)
{
    const T le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// The file header and a plain 40-byte info header with a full colour table:
// the reader refuses some header sizes the records use (52 and 56 bytes)
// and planes other than 1, and would take palette indices for colours and
// read a short table's missing entries from the rows.
QByteArray bmp_file_head(const Header& h, qint64 rows, const std::array<QRgb, 256>& table, qint64 row_bytes)
{
    constexpr qint64 file_header = 14;
    constexpr qint64 info_header = 40;
    const qint64 colours = h.bpp <= 8 ? qint64(1) << h.bpp : 0;
    const qint64 offset = file_header + info_header + colours * 4;
    QByteArray head;
    head.reserve(offset);
    head.append("BM");
    put(head, quint32(std::min<qint64>(offset + row_bytes, UINT32_MAX)));
    put(head, quint32(0));
    put(head, quint32(offset));
    put(head, quint32(info_header));
    put(head, quint32(h.width));
    put(head, quint32(h.height < 0 ? -rows : rows));
    put(head, quint16(1));
    put(head, quint16(h.bpp));
    put(head, k_rgb);
    for (int i = 0; i < 5; ++i)  // image size, resolution, colours used and important
        put(head, quint32(0));
    for (qint64 i = 0; i < colours; ++i) {
        const QRgb c = table[size_t(i)];
        head.append(char(qBlue(c)));
        head.append(char(qGreen(c)));
        head.append(char(qRed(c)));
        head.append('\0');
    }
    return head;
}

// A head followed by a record's rows, read as one file without copying the
// rows (a bitmap may be most of a 256 MB metafile).
class JoinedFile : public QIODevice {
public:
    JoinedFile(QByteArrayView head, QByteArrayView rows) : m_parts{head, rows} { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_parts[0].size() + m_parts[1].size(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        qint64 at = pos();
        qint64 done = 0;
        for (const QByteArrayView part : m_parts) {
            if (at >= part.size()) {
                at -= part.size();
                continue;
            }
            const qint64 n = std::min(max - done, part.size() - at);
            std::memcpy(data + done, part.data() + at, size_t(n));
            done += n;
            at = 0;
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::array<QByteArrayView, 2> m_parts;
};

QImage read_as_bmp(const Header& h, qint64 rows, const std::array<QRgb, 256>& table, QByteArrayView pixel_rows)
{
    const QByteArray head = bmp_file_head(h, rows, table, pixel_rows.size());
    JoinedFile file(head, pixel_rows);
    QImageReader reader(&file, "bmp");
    QImage image = reader.read();
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

// Unpacks the rows Qt's reader would draw differently (see qt_reads_alike).
QImage unpack_rows(const Header& h, qint64 rows, qint64 stride, const Bytes& info, QByteArrayView data, bool alpha,
                   DibStatus* status)
{
    Channel red(0x7C00), green(0x03E0), blue(0x001F);
    if (h.bpp == 32) {
        red = Channel(0xFF0000);
        green = Channel(0xFF00);
        blue = Channel(0xFF);
    }
    if (h.compression != k_rgb) {
        const qint64 at = h.header_size >= 52 ? 40 : h.header_size;
        red = Channel(info.u32(at));
        green = Channel(info.u32(at + 4));
        blue = Channel(info.u32(at + 8));
        if (info.bad()) {
            *status = DibStatus::Bad;
            return {};
        }
    }
    QImage image(int(h.width), int(rows), alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) {
        *status = DibStatus::TooLarge;
        return {};
    }
    const int w = int(h.width);
    const bool top_down = h.height < 0;
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* src = reinterpret_cast<const uchar*>(data.data()) + (top_down ? y : rows - 1 - y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        if (h.bpp == 16) {
            for (int x = 0; x < w; ++x) {
                const quint32 px = quint32(src[2 * x]) | quint32(src[2 * x + 1]) << 8;
                out[x] = qRgb(red.of(px), green.of(px), blue.of(px));
            }
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const uchar* p = src + 4 * x;
            const quint32 px = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
            if (alpha) {
                // Kept valid as premultiplied: no channel above alpha.
                const int a = p[3];
                out[x] = qRgba(std::min(red.of(px), a), std::min(green.of(px), a), std::min(blue.of(px), a), a);
            } else {
                out[x] = qRgb(red.of(px), green.of(px), blue.of(px));
            }
        }
    }
    return image;
}

// The colour table of a bitmap of up to 8 bits per pixel; entries a short
// table lacks stay black.
std::array<QRgb, 256> colour_table(const Header& h, const Bytes& info, bool palette_indices)
{
    std::array<QRgb, 256> table{};
    const qint64 most = qint64(1) << h.bpp;
    const qint64 count = h.colours_used > 0 && h.colours_used < most ? h.colours_used : most;
    const int entry = palette_indices ? 2 : (h.core ? 3 : 4);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = h.header_size + i * entry;
        if (at + entry > info.size())
            break;  // short tables occur; the rest stays black
        if (palette_indices) {
            const int g = info.u16(at) & 0xFF;
            table[size_t(i)] = qRgb(g, g, g);
        } else {
            table[size_t(i)] = qRgb(info.u8(at + 2), info.u8(at + 1), info.u8(at));
        }
    }
    return table;
}

} // namespace

QImage decode_dib(const Bytes& info, const Bytes& bits, bool palette_indices, qint64* budget, DibStatus* status,
                  bool keep_alpha)
{
    *status = DibStatus::Bad;
    Header h;
    h.header_size = info.u32(0);
    if (h.header_size == 12) {
        h.core = true;
        h.width = info.u16(4);
        h.height = info.u16(6);
        h.bpp = info.u16(10);
    } else if (h.header_size >= 40) {
        h.width = info.i32(4);
        h.height = info.i32(8);
        h.bpp = info.u16(14);
        h.compression = info.u32(16);
        h.colours_used = info.u32(32);
    } else {
        return {};
    }
    if (info.bad() || h.width <= 0 || h.height == 0 || h.height == qint64(INT32_MIN))
        return {};
    const qint64 rows = h.height < 0 ? -h.height : h.height;

    if (h.compression == k_jpeg || h.compression == k_png)
        return decode_embedded(bits, budget, status);
    if (h.compression == k_rle8 || h.compression == k_rle4) {
        *status = DibStatus::Unsupported;
        return {};
    }
    if (h.compression != k_rgb && h.compression != k_bitfields && h.compression != k_alpha_bitfields) {
        *status = DibStatus::Unsupported;
        return {};
    }
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        return {};
    // Rows beyond the record make a damaged bitmap, whatever size its
    // header claims: only a bitmap the record holds can be too large.
    const qint64 stride = (h.width * h.bpp + 31) / 32 * 4;
    if (rows > bits.size() / stride)
        return {};
    if (h.width > 0x7FFFFFF || rows > 0x7FFFFFF || exceeds_allocation_limit(QSize(int(h.width), int(rows)))) {
        *status = DibStatus::TooLarge;
        return {};
    }
    const qint64 pixels = h.width * rows;
    if (pixels > *budget) {
        *status = DibStatus::TooLarge;
        return {};
    }

    const bool alpha = keep_alpha && h.bpp == 32;
    const QByteArrayView data = bits.view().first(stride * rows);
    QImage image;
    if (qt_reads_alike(h, alpha)) {
        std::array<QRgb, 256> table{};
        if (h.bpp <= 8)
            table = colour_table(h, info, palette_indices);
        image = read_as_bmp(h, rows, table, data);
        // Everything the reader checks was checked above: only memory is left.
        if (image.isNull())
            *status = DibStatus::TooLarge;
    } else {
        image = unpack_rows(h, rows, stride, info, data, alpha, status);
    }
    if (image.isNull())
        return {};
    *budget -= pixels;
    *status = DibStatus::Ok;
    return image;
}

QImage decode_packed_dib(const Bytes& packed, bool palette_indices, qint64* budget, DibStatus* status)
{
    *status = DibStatus::Bad;
    const qint64 header_size = packed.u32(0);
    if (packed.bad() || header_size < 12 || header_size > packed.size())
        return {};
    // The info block ends after the masks and the colour table.
    qint64 info_size = header_size;
    if (header_size == 12) {
        const int bpp = packed.u16(10);
        if (bpp <= 8)
            info_size += (qint64(1) << bpp) * (palette_indices ? 2 : 3);
    } else if (header_size >= 40) {
        const int bpp = packed.u16(14);
        const quint32 compression = packed.u32(16);
        const quint32 used = packed.u32(32);
        if (header_size < 52 && (compression == k_bitfields || compression == k_alpha_bitfields))
            info_size += compression == k_alpha_bitfields ? 16 : 12;
        if (bpp <= 8) {
            const qint64 most = qint64(1) << bpp;
            info_size += (used > 0 && used < most ? qint64(used) : most) * (palette_indices ? 2 : 4);
        } else if (used > 0 && used <= 0x10000) {
            info_size += qint64(used) * (palette_indices ? 2 : 4);
        }
    }
    if (packed.bad() || info_size > packed.size())
        return {};
    return decode_dib(packed.sub(0, info_size), packed.sub(info_size, packed.size() - info_size), palette_indices,
                      budget, status);
}

} // namespace mosswick::picture::metafile
