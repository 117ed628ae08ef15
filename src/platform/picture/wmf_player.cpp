#include "platform/picture/emf_player.h"

#include "platform/picture/metafile_canvas.h"
#include "platform/picture/metafile_dib.h"
#include "platform/picture/metafile_records.h"
#include "platform/picture/metafile_text.h"

#include <QGuiApplication>
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

// The polygons of a PolyPolygon record.
std::vector<QPolygonF> polygons(const Bytes& r)
{
    const qint64 polys = quint16(param(r, 0));
    if (!r.has(8, polys * 2))
        return {};
    std::vector<QPolygonF> all;
    qint64 at = 8 + polys * 2;
    for (qint64 i = 0; i < polys && !r.bad(); ++i) {
        const qint64 n = quint16(r.i16(8 + 2 * i));
        all.push_back(points(r, at, n));
        at += n * 4;
    }
    return all;
}

// A block transfer's layout: the source and destination rectangles, and
// whether it carries a bitmap (after the parameters) or only a raster
// operation on the brush.
struct Blit {
    QRectF src;
    QRectF dest;
    bool has_bitmap = false;
    qint64 bitmap_at = 0;
};

Blit blit(quint16 function, const Bytes& r)
{
    Blit b;
    const bool stretch = function == 0x0B41;
    b.has_bitmap = r.size() / 2 != (function >> 8) + 3;
    // Without a bitmap a reserved word precedes the destination.
    const int d = (stretch ? 6 : 4) + (b.has_bitmap ? 0 : 1);
    b.dest = QRectF(param(r, d + 3), param(r, d + 2), param(r, d + 1), param(r, d));
    if (stretch)
        b.src = QRectF(param(r, 5), param(r, 4), param(r, 3), param(r, 2));
    else
        b.src = QRectF(param(r, 3), param(r, 2), b.dest.width(), b.dest.height());
    b.bitmap_at = 6 + 2 * qint64(d + 4);
    return b;
}

QRectF stretch_dib_dest(const Bytes& r)
{
    return QRectF(param(r, 10), param(r, 9), param(r, 8), param(r, 7));
}

QRectF pat_blt_dest(const Bytes& r)
{
    return QRectF(param(r, 5), param(r, 4), param(r, 3), param(r, 2));
}

// TextOut's reference point, after its string.
QPointF text_out_point(const Bytes& r)
{
    const qint64 padded = (qint64(quint16(param(r, 0))) + 1) / 2 * 2;
    return QPointF(r.i16(8 + padded + 2), r.i16(8 + padded));
}

// A TextOut or ExtTextOut record's contents.
struct TextRecord {
    QPointF at;
    QString s;
    std::vector<double> dx;  // one advance per code unit, when given
    int options = 0;
    std::optional<QRectF> rect;
};

// Reads a text record, its bytes in the code page of charset; false when
// its string does not fit in it.
bool read_text(const Bytes& r, bool extended, int charset, TextRecord* out)
{
    qint64 length = 0;
    qint64 string_at = 0;
    if (extended) {
        out->at = point_from(r, 0);
        length = quint16(param(r, 2));
        out->options = quint16(param(r, 3));
        string_at = 14;
        if (out->options & (k_text_opaque | k_text_clipped)) {
            out->rect = QRectF(QPointF(r.i16(14), r.i16(16)), QPointF(r.i16(18), r.i16(20)));
            string_at = 22;
        }
    } else {
        length = quint16(param(r, 0));
        string_at = 8;
        out->at = text_out_point(r);
    }
    if (r.bad() || !r.has(string_at, length))
        return false;
    std::vector<double> byte_dx;
    const qint64 dx_at = string_at + (length + 1) / 2 * 2;
    if (extended && length > 0 && r.size() >= dx_at + length * 2) {
        byte_dx.reserve(size_t(length));
        for (qint64 i = 0; i < length; ++i)
            byte_dx.push_back(r.i16(dx_at + 2 * i));
    }
    out->s = decode_ansi(r.view().sliced(string_at, length), charset, byte_dx, &out->dx);
    return true;
}

FontSpec read_font(const Bytes& r)
{
    FontSpec f;
    f.height = param(r, 0);
    f.escapement = param(r, 2);
    f.weight = param(r, 4);
    f.italic = r.u8(16);
    f.underline = r.u8(17);
    f.strike = r.u8(18);
    f.charset = r.u8(19);
    QByteArray face;
    for (qint64 i = 24; i < std::min<qint64>(r.size(), 24 + 32) && r.u8(i) != 0; ++i)
        face.append(char(r.u8(i)));
    std::vector<double> none;
    f.face = decode_ansi(face, f.charset, {}, &none);
    return f;
}

class WmfPlayer {
public:
    WmfPlayer(const Bytes& data, const WmfHeader& header, QPainter& painter, const QRectF& target)
        : m_data(data), m_header(header), m_canvas(Canvas::for_wmf(painter, target, header.window, header.device_offset, header.objects))
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
    if (!r.fits(at, r.size() - at)) {
        m_canvas.skip();
        return {};
    }
    DibStatus status;
    QImage image = decode_packed_dib(r.sub(at, r.size() - at), usage == 1, m_canvas.bitmap_budget(), &status);
    m_canvas.note_bitmap(status);
    return image;
}

void WmfPlayer::text(const Bytes& r, bool extended)
{
    TextRecord t;
    if (read_text(r, extended, m_canvas.font().charset, &t))
        m_canvas.text(t.at, t.s, t.dx, t.options, t.rect);
}

void WmfPlayer::record(quint16 function, const Bytes& r)
{
    Canvas& c = m_canvas;
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
        const QRectF dest = pat_blt_dest(r);
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
        const std::vector<QPolygonF> all = polygons(r);
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
        o.font = read_font(r);
        if (!r.bad())
            create(o);
        break;
    }
    case 0x0142: {  // DibCreatePatternBrush
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.color = Qt::black;
        const int style = quint16(param(r, 0));
        if (style != 3) {  // BS_PATTERN holds an old device bitmap: shown black
            o.brush.pattern = packed_dib(r, 10, quint16(param(r, 1)));
            o.brush.null = o.brush.pattern.isNull();  // a damaged pattern paints nothing; its slot stays taken
        }
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
        const QRectF dest = stretch_dib_dest(r);
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
        const quint32 rop = r.u32(6);
        const Blit b = blit(function, r);
        if (r.bad())
            break;
        if (!b.has_bitmap) {
            c.pattern_fill(b.dest, rop);
            break;
        }
        const QImage image = packed_dib(r, b.bitmap_at, 0);
        if (!image.isNull())
            c.bitmap(b.dest, image, b.src, rop);
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

// What the records of a file without a stated size say about it: the first
// window origin and extent, and the extent of the drawing records in device
// units (the window origin in force taken off).
struct RecordSize {
    bool has_ext = false;
    QRectF window;
    bool drawn = false;
    QRectF reached;
};

// The records that take a slot in the object table.
bool creates_object(quint16 function)
{
    switch (function) {
    case 0x02FA: case 0x02FC: case 0x02FB: case 0x0142: case 0x01F9: case 0x00F7: case 0x06FF: return true;
    default: return false;
    }
}

// Where text records draw at one unit a pixel: as far as each string runs
// in the font selected for it, by the alignment in force.
class TextReach {
public:
    explicit TextReach(int objects) : m_limit(std::clamp(objects, 0, k_max_objects)) {}

    // Follows the records that choose fonts, alignment and the current position.
    void follow(quint16 function, const Bytes& r);
    // The corners of what a text record covers (logical units), its
    // reference point among them; none when the record is damaged.
    QPolygonF covered(const Bytes& r, bool extended);

private:
    struct Slot {
        bool used = false;
        std::optional<FontSpec> font;
    };
    std::vector<Slot> m_slots;
    int m_limit;
    FontSpec m_font;
    std::optional<QFontMetricsF> m_metrics;  // of m_font
    int m_align = 0;
    QPointF m_cur;
};

void TextReach::follow(quint16 function, const Bytes& r)
{
    if (creates_object(function)) {
        // The lowest free slot, as the player fills them.
        size_t slot = 0;
        while (slot < m_slots.size() && m_slots[slot].used)
            ++slot;
        if (qint64(slot) >= m_limit)
            return;
        if (slot == m_slots.size())
            m_slots.emplace_back();
        m_slots[slot] = {true, function == 0x02FB ? std::optional(read_font(r)) : std::nullopt};
        return;
    }
    switch (function) {
    case 0x012D: {
        const size_t slot = quint16(param(r, 0));
        if (slot < m_slots.size() && m_slots[slot].font) {
            m_font = *m_slots[slot].font;
            m_metrics.reset();
        }
        break;
    }
    case 0x01F0: {
        const size_t slot = quint16(param(r, 0));
        if (slot < m_slots.size())
            m_slots[slot] = {};
        break;
    }
    case 0x012E: m_align = quint16(param(r, 0)); break;
    case 0x0213: case 0x0214: m_cur = point_from(r, 0); break;
    default: break;
    }
}

QPolygonF TextReach::covered(const Bytes& r, bool extended)
{
    TextRecord t;
    if (!read_text(r, extended, m_font.charset, &t))
        return {};
    const QPointF anchor = m_align & k_align_update_cp ? m_cur : t.at;
    QPolygonF out{anchor};
    if (t.rect && (t.options & k_text_opaque))
        out << t.rect->topLeft() << t.rect->bottomRight();
    // Without a GUI application there are no fonts to measure with.
    if ((t.options & k_text_glyph_index) || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return out;
    if (!m_metrics)
        m_metrics.emplace(font_at(m_font, m_font.height != 0 ? std::abs(double(m_font.height)) : 16));
    const TextLayout line = lay_out_text(m_align, text_width(t.s, t.dx, 1, *m_metrics), *m_metrics);
    if (m_align & k_align_update_cp)
        m_cur.rx() += line.advance;
    const QPolygonF corners =
        QTransform().translate(anchor.x(), anchor.y()).rotate(text_turn(m_font, false)).map(QPolygonF(line.box));
    QRectF box = corners.boundingRect();
    if (t.rect && (t.options & k_text_clipped)) {
        const QRectF clip = t.rect->normalized();
        if (!box.intersects(clip))
            return out;
        box = box.intersected(clip);
    }
    out << box.topLeft() << box.bottomRight();
    return out;
}

// Reads the records from pos, no further than the bytes a header read sees,
// so measuring and playing agree.
RecordSize size_from_records(const Bytes& data, qint64 pos, int objects)
{
    RecordSize out;
    TextReach texts(objects);
    QPointF origin;
    double left = 0, top = 0, right = 0, bottom = 0;
    const auto reach = [&](QPointF p) {
        p -= origin;
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return;
        if (!out.drawn) {
            left = right = p.x();
            top = bottom = p.y();
            out.drawn = true;
        }
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    };
    const auto reach_rect = [&](const QRectF& b) {
        reach(b.topLeft());
        reach(b.bottomRight());
    };
    const auto reach_all = [&](const QPolygonF& points) {
        for (const QPointF& p : points)
            reach(p);
    };
    const qint64 end = std::min(data.size(), k_metafile_head_bytes);
    for (int n = 0; n < 100000 && pos + 6 <= end; ++n) {
        const qint64 length = qint64(data.u32(pos)) * 2;
        const quint16 function = data.u16(pos + 4);
        if (function == k_eof || length < 6 || length > end - pos)
            break;
        const Bytes r = data.sub(pos, length);
        pos += length;
        texts.follow(function, r);
        switch (function) {
        case k_set_window_org: origin = point_from(r, 0); break;
        case 0x020F: origin += point_from(r, 0); break;
        case k_set_window_ext: {
            const QSizeF ext(param(r, 1), param(r, 0));
            if (!r.bad() && ext.width() != 0 && ext.height() != 0) {
                out.has_ext = true;
                out.window = QRectF(origin, ext);
                return out;
            }
            break;
        }
        case 0x0213: case 0x0214: reach(point_from(r, 0)); break;
        case 0x041F: reach(point_from(r, 2)); break;
        case 0x0521: case 0x0A32: reach_all(texts.covered(r, function == 0x0A32)); break;
        case 0x041B: case 0x0418: reach_rect(rect_from(r, 0)); break;
        case 0x061C: reach_rect(rect_from(r, 2)); break;
        case 0x0817: case 0x081A: case 0x0830: reach_rect(rect_from(r, 4)); break;
        case 0x0324: case 0x0325: reach_all(points(r, 8, quint16(param(r, 0)))); break;
        case 0x0538:
            for (const QPolygonF& p : polygons(r))
                reach_all(p);
            break;
        case 0x061D: reach_rect(pat_blt_dest(r)); break;
        case 0x0F43: reach_rect(stretch_dib_dest(r)); break;
        case 0x0B41: case 0x0940: reach_rect(blit(function, r).dest); break;
        case 0x0D33: reach_rect(QRectF(point_from(r, 7), QSizeF(param(r, 6), param(r, 5)))); break;
        default: break;
        }
    }
    out.reached = QRectF(QPointF(left, top), QPointF(right, bottom));
    return out;
}

} // namespace

WmfHeader read_wmf_header(const Bytes& data)
{
    WmfHeader h;
    qint64 at = 0;
    if (data.u32(0) == k_placeable_key) {
        const double left = data.i16(6), top = data.i16(8), right = data.i16(10), bottom = data.i16(12);
        const double inch = data.u16(14) ? data.u16(14) : 1440;
        if (data.bad())
            return h;
        // An empty box states no size: the records are asked, as without one.
        if (right != left && bottom != top) {
            h.window = QRectF(left, top, right - left, bottom - top);
            h.has_window = true;
            h.natural = QSize(std::max(1, int(std::lround(std::abs(right - left) * 96 / inch))),
                              std::max(1, int(std::lround(std::abs(bottom - top) * 96 / inch))));
        }
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
        // The window the records set, else the area their drawing reaches
        // (at the default mapping, one unit a pixel).
        const RecordSize found = size_from_records(data, h.records_at, h.objects);
        if (found.has_ext) {
            h.window = found.window;
        } else if (found.drawn) {
            h.window = QRectF(0, 0, std::max(1.0, found.reached.width()), std::max(1.0, found.reached.height()));
            h.device_offset = found.reached.topLeft();
        } else {
            return h;
        }
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
