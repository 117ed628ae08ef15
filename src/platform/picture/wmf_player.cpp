#include "platform/picture/emf_player.h"

#include "platform/picture/metafile_canvas.h"
#include "platform/picture/metafile_dib.h"
#include "platform/picture/metafile_records.h"
#include "platform/picture/metafile_text.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mosswick::picture::metafile {

namespace {

constexpr quint32 k_placeable_key = 0x9AC6CDD7;
constexpr qint64 k_placeable_size = 22;
constexpr qint64 k_standard_size = 18;
constexpr quint16 k_eof = 0x0000;
constexpr quint16 k_set_window_org = 0x020B;
constexpr quint16 k_set_window_ext = 0x020C;
// Without a placeable header the window's units have no physical size; a
// picture larger than this is shown at this size.
constexpr int k_unplaced_largest = 4096;

QColor colour_at(const Bytes& r, qint64 at)
{
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}

// The i-th 16-bit parameter.
qint16 param(const Bytes& r, int i)
{
    return r.i16(6 + 2 * qint64(i));
}

// A rectangle stored as bottom, right, top, left from parameter i.
QRectF rect_from(const Bytes& r, int i)
{
    return QRectF(QPointF(param(r, i + 3), param(r, i + 2)), QPointF(param(r, i + 1), param(r, i)));
}

// A point stored as y, x from parameter i.
QPointF point_from(const Bytes& r, int i)
{
    return QPointF(param(r, i + 1), param(r, i));
}

QPolygonF points(const Bytes& r, qint64 at, qint64 count)
{
    if (count < 0 || !r.has(at, count * 4))
        return {};
    QPolygonF out;
    out.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        out.append(QPointF(r.i16(at + 4 * i), r.i16(at + 4 * i + 2)));
    return out;
}

class WmfPlayer {
public:
    WmfPlayer(const Bytes& data, const WmfHeader& header, QPainter& painter, const QRectF& target)
        : m_data(data), m_header(header), m_canvas(Canvas::for_wmf(painter, target, header.window, header.objects))
    {
    }

    MetafilePlay play();

private:
    void record(quint16 function, const Bytes& r);
    void create(GdiObject object);
    QImage packed_dib(const Bytes& r, qint64 at, quint32 usage);
    void text(const Bytes& r, bool extended);

    const Bytes& m_data;
    WmfHeader m_header;
    Canvas m_canvas;
};

void WmfPlayer::create(GdiObject object)
{
    // Objects take the lowest free slot; a full table drops the object.
    const int slot = m_canvas.free_slot();
    if (slot < 0 || !m_canvas.put_object(slot, std::move(object)))
        m_canvas.skip();
}

QImage WmfPlayer::packed_dib(const Bytes& r, qint64 at, quint32 usage)
{
    const Bytes packed = r.sub(at, r.size() - at);
    if (r.bad())
        return {};
    DibStatus status;
    QImage image = decode_packed_dib(packed, usage == 1, m_canvas.bitmap_budget(), &status);
    m_canvas.note_bitmap(status, r);
    return image;
}

void WmfPlayer::text(const Bytes& r, bool extended)
{
    QPointF at;
    qint64 length = 0;
    qint64 string_at = 0;
    int options = 0;
    std::optional<QRectF> rect;
    if (extended) {
        at = point_from(r, 0);
        length = quint16(param(r, 2));
        options = quint16(param(r, 3));
        string_at = 14;
        if (options & (k_text_opaque | k_text_clipped)) {
            rect = QRectF(QPointF(r.i16(14), r.i16(16)), QPointF(r.i16(18), r.i16(20)));
            string_at = 22;
        }
    } else {
        length = quint16(param(r, 0));
        string_at = 8;
        const qint64 padded = (length + 1) / 2 * 2;
        at = QPointF(r.i16(string_at + padded + 2), r.i16(string_at + padded));
    }
    if (r.bad() || !r.has(string_at, length))
        return;
    std::vector<double> byte_dx;
    const qint64 dx_at = string_at + (length + 1) / 2 * 2;
    if (extended && length > 0 && r.size() >= dx_at + length * 2) {
        byte_dx.reserve(size_t(length));
        for (qint64 i = 0; i < length; ++i)
            byte_dx.push_back(r.i16(dx_at + 2 * i));
    }
    std::vector<double> dx;
    const QString s = decode_ansi(r.view().sliced(string_at, length), m_canvas.font().charset, byte_dx, &dx);
    m_canvas.text(at, s, dx, options, rect);
}

void WmfPlayer::record(quint16 function, const Bytes& r)
{
    Canvas& c = m_canvas;
    const qint64 words = r.size() / 2;
    switch (function) {
    case 0x0102: c.set_bk_mode(param(r, 0)); break;
    case 0x0103: c.set_map_mode(param(r, 0)); break;
    case 0x0104: c.set_rop2(param(r, 0)); break;
    case 0x0106: c.set_fill_mode(param(r, 0)); break;
    case 0x0107: break;  // stretch mode
    case 0x012E: c.set_text_align(quint16(param(r, 0))); break;
    case 0x0201: c.set_bk_color(colour_at(r, 6)); break;
    case 0x0209: c.set_text_color(colour_at(r, 6)); break;
    case 0x020B: c.set_window_org(point_from(r, 0)); break;
    case 0x020C: c.set_window_ext(QSizeF(param(r, 1), param(r, 0))); break;
    case 0x020D: case 0x020E: case 0x0211: case 0x0412: break;  // viewport: ours
    case 0x020F: c.offset_window_org(point_from(r, 0)); break;
    case 0x0410: c.scale_window_ext(param(r, 3), param(r, 2), param(r, 1), param(r, 0)); break;
    case 0x0213: c.line_to(point_from(r, 0)); break;
    case 0x0214: c.move_to(point_from(r, 0)); break;
    case 0x0415: c.exclude_clip(rect_from(r, 0)); break;
    case 0x0416: c.intersect_clip(rect_from(r, 0)); break;
    case 0x0817: c.arc(rect_from(r, 4), point_from(r, 2), point_from(r, 0), ArcShape::Arc); break;
    case 0x081A: c.arc(rect_from(r, 4), point_from(r, 2), point_from(r, 0), ArcShape::Pie); break;
    case 0x0830: c.arc(rect_from(r, 4), point_from(r, 2), point_from(r, 0), ArcShape::Chord); break;
    case 0x0418: c.ellipse(rect_from(r, 0)); break;
    case 0x041B: c.rectangle(rect_from(r, 0)); break;
    case 0x061C: c.round_rect(rect_from(r, 2), QSizeF(param(r, 1), param(r, 0))); break;
    case 0x061D: {  // PatBlt
        const quint32 rop = r.u32(6);
        const QRectF dest(param(r, 5), param(r, 4), param(r, 3), param(r, 2));
        if (!r.bad())
            c.pattern_fill(dest, rop);
        break;
    }
    case 0x001E:
        if (!c.save())
            m_canvas.fail(PictureStatus::Undecodable);
        break;
    case 0x0127:
        if (!c.restore(param(r, 0)))
            c.skip();
        break;
    case 0x041F: c.set_pixel(point_from(r, 2), colour_at(r, 6)); break;
    case 0x0220: c.offset_clip(point_from(r, 0)); break;
    case 0x0521: text(r, false); break;
    case 0x0A32: text(r, true); break;
    case 0x0324: c.polygon(points(r, 8, quint16(param(r, 0)))); break;
    case 0x0325: c.polyline(points(r, 8, quint16(param(r, 0)))); break;
    case 0x0538: {  // PolyPolygon
        const qint64 polys = quint16(param(r, 0));
        if (!r.has(8, polys * 2))
            break;
        std::vector<QPolygonF> all;
        qint64 at = 8 + polys * 2;
        for (qint64 i = 0; i < polys && !r.bad(); ++i) {
            const qint64 n = quint16(r.i16(8 + 2 * i));
            all.push_back(points(r, at, n));
            at += n * 4;
        }
        if (!r.bad())
            c.poly_polygon(all);
        break;
    }
    case 0x012D:
        if (!c.select_object(quint16(param(r, 0))))
            c.skip();
        break;
    case 0x01F0: c.delete_object(quint16(param(r, 0))); break;
    case 0x02FA: {  // CreatePenIndirect
        GdiObject o;
        o.kind = GdiObject::Kind::Pen;
        o.pen.style = quint16(param(r, 0));
        o.pen.width = param(r, 1);
        o.pen.color = colour_at(r, 12);
        if (!r.bad())
            create(o);
        break;
    }
    case 0x02FC: {  // CreateBrushIndirect
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        const int style = quint16(param(r, 0));
        o.brush.color = colour_at(r, 8);
        o.brush.null = style == 1;
        if (style == 2)
            o.brush.hatch = quint16(r.i16(12));
        if (!r.bad())
            create(o);
        break;
    }
    case 0x02FB: {  // CreateFontIndirect
        GdiObject o;
        o.kind = GdiObject::Kind::Font;
        FontSpec& f = o.font;
        f.height = param(r, 0);
        f.escapement = param(r, 2);
        f.weight = param(r, 4);
        f.italic = r.u8(16);
        f.underline = r.u8(17);
        f.strike = r.u8(18);
        f.charset = r.u8(19);
        if (r.bad())
            break;
        QByteArray face;
        for (qint64 i = 24; i < std::min<qint64>(r.size(), 24 + 32) && r.u8(i) != 0; ++i)
            face.append(char(r.u8(i)));
        std::vector<double> none;
        f.face = decode_ansi(face, f.charset, {}, &none);
        create(o);
        break;
    }
    case 0x0142: {  // DibCreatePatternBrush
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.color = Qt::black;
        const int style = quint16(param(r, 0));
        if (style != 3)  // BS_PATTERN holds an old device bitmap: shown black
            o.brush.pattern = packed_dib(r, 10, quint16(param(r, 1)));
        if (!r.bad())
            create(o);
        break;
    }
    case 0x01F9: {  // CreatePatternBrush (an old device bitmap)
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.color = Qt::gray;
        create(o);
        break;
    }
    case 0x00F7:    // CreatePalette
    case 0x06FF: {  // CreateRegion
        GdiObject o;
        o.kind = GdiObject::Kind::Other;
        create(o);
        break;
    }
    case 0x0F43: {  // StretchDIB
        const quint32 rop = r.u32(6);
        const quint32 usage = quint16(param(r, 2));
        const QRectF src(param(r, 6), param(r, 5), param(r, 4), param(r, 3));
        const QRectF dest(param(r, 10), param(r, 9), param(r, 8), param(r, 7));
        if (r.bad())
            break;
        const QImage image = packed_dib(r, 28, usage);
        if (!image.isNull()) {
            const bool bottom_up = r.i32(28 + 8) > 0 || r.u32(28) == 12;
            const double y = bottom_up ? image.height() - src.y() - src.height() : src.y();
            c.bitmap(dest, image, QRectF(src.x(), y, src.width(), src.height()), rop);
        }
        break;
    }
    case 0x0B41:    // DibStretchBlt
    case 0x0940: {  // DibBitBlt
        const bool stretch = function == 0x0B41;
        const bool has_bitmap = words != (function >> 8) + 3;
        const quint32 rop = r.u32(6);
        // Without a bitmap a reserved word precedes the destination.
        const int d = (stretch ? 6 : 4) + (has_bitmap ? 0 : 1);
        const QRectF dest(param(r, d + 3), param(r, d + 2), param(r, d + 1), param(r, d));
        QRectF src;
        if (stretch)
            src = QRectF(param(r, 5), param(r, 4), param(r, 3), param(r, 2));
        else
            src = QRectF(param(r, 3), param(r, 2), dest.width(), dest.height());
        if (r.bad())
            break;
        if (!has_bitmap) {
            c.pattern_fill(dest, rop);
            break;
        }
        const QImage image = packed_dib(r, 6 + 2 * qint64(d + 4), 0);
        if (!image.isNull())
            c.bitmap(dest, image, src, rop);
        break;
    }
    case 0x0D33: {  // SetDIBitsToDevice
        const quint32 usage = quint16(param(r, 0));
        const QRectF src(param(r, 4), param(r, 3), param(r, 6), param(r, 5));
        const QPointF dest = point_from(r, 7);
        if (r.bad())
            break;
        const QImage image = packed_dib(r, 24, usage);
        if (!image.isNull()) {
            const bool bottom_up = r.i32(24 + 8) > 0 || r.u32(24) == 12;
            const double y = bottom_up ? image.height() - src.y() - src.height() : src.y();
            c.bitmap(QRectF(dest, src.size()), image, QRectF(src.x(), y, src.width(), src.height()),
                     k_rop_srccopy);
        }
        break;
    }
    case 0x0626: break;  // escapes: printer matters and comments
    case 0x0231: case 0x0234: case 0x0035: case 0x0037: case 0x0139: case 0x0436: break;  // palettes, flags
    default: c.skip(); break;
    }
}

MetafilePlay WmfPlayer::play()
{
    // A few bytes left after the last record (some writers pad) are not a record.
    const auto head = [this](qint64 pos) {
        RecordHead h;
        h.length = qint64(m_data.u32(pos)) * 2;
        h.type = m_data.u16(pos + 4);
        h.end = h.type == k_eof;
        h.valid = h.length >= 6;
        return h;
    };
    return play_records(m_data, m_header.records_at, 6, m_header.bytes, m_canvas, head,
                        [this](quint32 function, const Bytes& r) { record(quint16(function), r); });
}

} // namespace

WmfHeader read_wmf_header(const Bytes& data)
{
    WmfHeader h;
    qint64 at = 0;
    if (data.u32(0) == k_placeable_key) {
        const double left = data.i16(6), top = data.i16(8), right = data.i16(10), bottom = data.i16(12);
        const double inch = data.u16(14) ? data.u16(14) : 1440;
        if (data.bad() || right == left || bottom == top)
            return h;
        h.window = QRectF(left, top, right - left, bottom - top);
        h.has_window = true;
        h.natural = QSize(std::max(1, int(std::lround(std::abs(right - left) * 96 / inch))),
                          std::max(1, int(std::lround(std::abs(bottom - top) * 96 / inch))));
        at = k_placeable_size;
    }
    const quint16 type = data.u16(at);
    const quint16 header_words = data.u16(at + 2);
    const qint64 words = data.u32(at + 6);
    h.objects = data.u16(at + 10);
    if (data.bad() || (type != 1 && type != 2) || header_words != 9)
        return h;
    h.records_at = at + k_standard_size;
    h.bytes = at + words * 2;
    if (!h.has_window) {
        // The first window origin and extent among the records.
        QPointF origin;
        bool has_ext = false;
        qint64 pos = h.records_at;
        for (int n = 0; n < 100000 && pos + 6 <= data.size(); ++n) {
            const qint64 length = qint64(data.u32(pos)) * 2;
            const quint16 function = data.u16(pos + 4);
            if (function == k_eof || length < 6)
                break;
            if (function == k_set_window_org && !has_ext)
                origin = QPointF(data.i16(pos + 8), data.i16(pos + 6));
            if (function == k_set_window_ext && data.has(pos + 6, 4)) {
                const double w = data.i16(pos + 8), hgt = data.i16(pos + 6);
                if (w != 0 && hgt != 0) {
                    h.window = QRectF(origin, QSizeF(w, hgt));
                    has_ext = true;
                    break;
                }
            }
            pos += length;
        }
        if (!has_ext)
            return h;
        h.has_window = true;
        QSizeF s(std::abs(h.window.width()), std::abs(h.window.height()));
        if (s.width() > k_unplaced_largest || s.height() > k_unplaced_largest)
            s.scale(k_unplaced_largest, k_unplaced_largest, Qt::KeepAspectRatio);
        h.natural = QSize(std::max(1, int(std::lround(s.width()))), std::max(1, int(std::lround(s.height()))));
    }
    h.ok = true;
    return h;
}

MetafilePlay play_wmf(const Bytes& data, QPainter& painter, const QRectF& target)
{
    const WmfHeader header = read_wmf_header(data);
    if (!header.ok)
        return {};
    WmfPlayer player(data, header, painter, target);
    return player.play();
}

} // namespace mosswick::picture::metafile
