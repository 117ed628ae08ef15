#include "platform/picture/metafile_dib.h"

#include "platform/picture/picture.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <bit>

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
    const bool top_down = h.height < 0;
    const qint64 rows = top_down ? -h.height : h.height;

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

    qint64 table_at = h.header_size;
    Channel red(0x7C00), green(0x03E0), blue(0x001F);
    if (h.bpp == 32) {
        red = Channel(0xFF0000);
        green = Channel(0xFF00);
        blue = Channel(0xFF);
    }
    if (h.compression != k_rgb && (h.bpp == 16 || h.bpp == 32)) {
        const qint64 at = h.header_size >= 52 ? 40 : h.header_size;
        red = Channel(info.u32(at));
        green = Channel(info.u32(at + 4));
        blue = Channel(info.u32(at + 8));
        if (info.bad())
            return {};
        if (h.header_size < 52)
            table_at += h.compression == k_alpha_bitfields ? 16 : 12;
    }

    std::array<QRgb, 256> table{};
    if (h.bpp <= 8) {
        const qint64 most = qint64(1) << h.bpp;
        const qint64 count = h.colours_used > 0 && h.colours_used < most ? h.colours_used : most;
        const int entry = palette_indices ? 2 : (h.core ? 3 : 4);
        for (qint64 i = 0; i < count; ++i) {
            const qint64 at = table_at + i * entry;
            if (at + entry > info.size())
                break;  // short tables occur; the rest stays black
            if (palette_indices) {
                const int g = info.u16(at) & 0xFF;
                table[size_t(i)] = qRgb(g, g, g);
            } else {
                table[size_t(i)] = qRgb(info.u8(at + 2), info.u8(at + 1), info.u8(at));
            }
        }
    }

    const bool alpha = keep_alpha && h.bpp == 32;
    QImage image(int(h.width), int(rows), alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) {
        *status = DibStatus::TooLarge;
        return {};
    }
    *budget -= pixels;
    const QByteArrayView data = bits.view();
    const int w = int(h.width);
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* src = reinterpret_cast<const uchar*>(data.data()) + (top_down ? y : rows - 1 - y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        switch (h.bpp) {
        case 1:
            for (int x = 0; x < w; ++x)
                out[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                out[x] = table[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                out[x] = table[src[x]];
            break;
        case 16:
            for (int x = 0; x < w; ++x) {
                const quint32 px = quint32(src[2 * x]) | quint32(src[2 * x + 1]) << 8;
                out[x] = qRgb(red.of(px), green.of(px), blue.of(px));
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x)
                out[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        case 32:
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
            break;
        }
    }
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
