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

constexpr quint32 k_signature = 0x464D4520;  // " EMF"
constexpr qint64 k_header_min = 88;

QColor colour_at(const Bytes& r, qint64 at)
{
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}

QPointF point32(const Bytes& r, qint64 at)
{
    return QPointF(r.i32(at), r.i32(at + 4));
}

QSizeF size32(const Bytes& r, qint64 at)
{
    return QSizeF(r.i32(at), r.i32(at + 4));
}

QRectF rect32(const Bytes& r, qint64 at)
{
    const double l = r.i32(at), t = r.i32(at + 4), rr = r.i32(at + 8), b = r.i32(at + 12);
    return QRectF(QPointF(l, t), QPointF(rr, b));
}

// count points of 4 (16-bit) or 8 bytes from at; bad, and empty, when they
// do not fit in the record.
QPolygonF points(const Bytes& r, qint64 at, qint64 count, bool small)
{
    const qint64 each = small ? 4 : 8;
    if (count < 0 || !r.has(at, count * each))
        return {};
    QPolygonF out;
    out.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 p = at + i * each;
        out.append(small ? QPointF(r.i16(p), r.i16(p + 2)) : QPointF(r.i32(p), r.i32(p + 4)));
    }
    return out;
}

// The counts and points of a poly-polygon or poly-polyline record.
std::vector<QPolygonF> poly_points(const Bytes& r, bool small)
{
    const qint64 polys = r.u32(24);
    const qint64 total = r.u32(28);
    if (r.bad() || !r.has(32, polys * 4))
        return {};
    const qint64 at = 32 + polys * 4;
    const QPolygonF all = points(r, at, total, small);
    if (r.bad())
        return {};
    std::vector<QPolygonF> out;
    qint64 used = 0;
    for (qint64 i = 0; i < polys; ++i) {
        const qint64 n = r.u32(32 + i * 4);
        if (n > total - used) {
            r.mark_bad();
            return {};
        }
        out.push_back(all.mid(used, n));
        used += n;
    }
    return out;
}

// chars UTF-16 code units from at, which the caller has checked.
QString utf16_at(const Bytes& r, qint64 at, qint64 chars)
{
    QString s;
    s.reserve(chars);
    for (qint64 i = 0; i < chars; ++i)
        s.append(QChar(char16_t(r.u16(at + 2 * i))));
    return s;
}

QTransform xform_at(const Bytes& r, qint64 at)
{
    return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16), r.f32(at + 20));
}

// Region rectangles after a region header at at (cb bytes in all).
std::vector<QRectF> region_rects(const Bytes& r, qint64 at, qint64 cb)
{
    const Bytes region = r.sub(at, cb);
    if (r.bad())
        return {};
    if (cb == 0)
        return {};
    const qint64 count = region.u32(8);
    const qint64 header = region.u32(0);
    if (region.bad() || header < 32 || !region.has(header, count * 16)) {
        r.mark_bad();
        return {};
    }
    std::vector<QRectF> rects;
    rects.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i)
        rects.push_back(rect32(region, header + i * 16));
    return rects;
}

class EmfPlayer {
public:
    EmfPlayer(const Bytes& data, const EmfHeader& header, QPainter& painter, const QRectF& target)
        : m_data(data), m_header(header),
          m_canvas(Canvas::for_emf(painter, target, header.frame_px, header.px_per_mm, header.handles))
    {
    }

    MetafilePlay play();

private:
    // Handles one record; false when its contents break the rules.
    void record(quint32 type, const Bytes& r);
    void create_font(const Bytes& r);
    void text(const Bytes& r, bool wide);
    void small_text(const Bytes& r);
    void bitmap_record(quint32 type, const Bytes& r);
    QImage dib(const Bytes& r, qint64 off_bmi, qint64 cb_bmi, qint64 off_bits, qint64 cb_bits, quint32 usage,
               bool keep_alpha = false);
    // The source bitmap of a block transfer at dest; without one the
    // transfer fills dest itself and the result is null.
    QImage source(const Bytes& r, const QRectF& dest, quint32 rop, qint64 off_bmi, qint64 cb_bmi, qint64 off_bits,
                  qint64 cb_bits, quint32 usage);
    void put(qint64 index, GdiObject object);

    const Bytes& m_data;
    EmfHeader m_header;
    Canvas m_canvas;
};

void EmfPlayer::put(qint64 index, GdiObject object)
{
    // Slot 0 stands for the metafile itself.
    if (index == 0 || !m_canvas.put_object(index, std::move(object)))
        m_canvas.skip();
}

QImage EmfPlayer::dib(const Bytes& r, qint64 off_bmi, qint64 cb_bmi, qint64 off_bits, qint64 cb_bits, quint32 usage,
                      bool keep_alpha)
{
    if (r.bad())
        return {};
    // A bitmap reaching outside its record is damaged: only it is skipped.
    if (!r.fits(off_bmi, cb_bmi) || !r.fits(off_bits, cb_bits)) {
        m_canvas.skip();
        return {};
    }
    DibStatus status;
    QImage image = decode_dib(r.sub(off_bmi, cb_bmi), r.sub(off_bits, cb_bits), usage == 1,
                              m_canvas.bitmap_budget(), &status, keep_alpha);
    m_canvas.note_bitmap(status);
    return image;
}

QImage EmfPlayer::source(const Bytes& r, const QRectF& dest, quint32 rop, qint64 off_bmi, qint64 cb_bmi,
                         qint64 off_bits, qint64 cb_bits, quint32 usage)
{
    if (r.bad())
        return {};
    if (cb_bmi == 0) {
        m_canvas.pattern_fill(dest, rop);
        return {};
    }
    return dib(r, off_bmi, cb_bmi, off_bits, cb_bits, usage);
}

void EmfPlayer::create_font(const Bytes& r)
{
    GdiObject o;
    o.kind = GdiObject::Kind::Font;
    FontSpec& f = o.font;
    const qint64 index = r.u32(8);
    f.height = r.i32(12);
    f.escapement = r.i32(20);
    f.weight = r.i32(28);
    f.italic = r.u8(32);
    f.underline = r.u8(33);
    f.strike = r.u8(34);
    f.charset = r.u8(35);
    QString face;
    for (qint64 i = 0; i < 32 && 40 + 2 * i + 2 <= r.size(); ++i) {
        const char16_t c = r.u16(40 + 2 * i);
        if (c == 0)
            break;
        face.append(QChar(c));
    }
    f.face = face;
    if (!r.bad())
        put(index, o);
}

void EmfPlayer::text(const Bytes& r, bool wide)
{
    const QPointF ref = point32(r, 36);
    const qint64 chars = r.u32(44);
    const qint64 off_string = r.u32(48);
    const int options = int(r.u32(52));
    const bool no_rect = options & 0x100;
    std::optional<QRectF> rect;
    if (!no_rect)
        rect = rect32(r, 56);
    const qint64 off_dx = r.u32(no_rect ? 56 : 72);
    if (r.bad())
        return;
    const qint64 unit = wide ? 2 : 1;
    if (chars > 0 && !r.has(off_string, chars * unit))
        return;
    // Advances: one per character, two (x and y) with ETO_PDY.
    const qint64 per = (options & 0x2000) ? 2 : 1;
    std::vector<double> dx;
    if (chars > 0 && off_dx >= 8 && r.has(off_dx, chars * 4 * per)) {
        dx.reserve(size_t(chars));
        for (qint64 i = 0; i < chars; ++i)
            dx.push_back(r.i32(off_dx + i * 4 * per));
    } else if (chars > 0 && off_dx != 0) {
        r.mark_bad();
        return;
    }
    QString s;
    if (wide) {
        s = utf16_at(r, off_string, chars);
    } else if (chars > 0) {
        std::vector<double> unit_dx;
        s = decode_ansi(r.view().sliced(off_string, chars), m_canvas.font().charset, dx, &unit_dx);
        dx = std::move(unit_dx);
    }
    m_canvas.text(ref, s, dx, options, rect);
}

void EmfPlayer::small_text(const Bytes& r)
{
    // The reference point, count and options, the graphics mode and scales,
    // the rectangle unless ETO_NO_RECT says there is none, then the string:
    // bytes with ETO_SMALL_CHARS (UTF-16 with the high bytes left out),
    // else UTF-16.
    constexpr int k_no_rect = 0x100;
    constexpr int k_small_chars = 0x200;
    const QPointF ref = point32(r, 8);
    const qint64 chars = r.u32(16);
    const int options = int(r.u32(20));
    std::optional<QRectF> rect;
    qint64 at = 36;
    if (!(options & k_no_rect)) {
        rect = rect32(r, at);
        at += 16;
    }
    const bool small = options & k_small_chars;
    if (r.bad() || !r.has(at, chars * (small ? 1 : 2)))
        return;
    const QString s = small ? QString::fromLatin1(r.view().sliced(at, chars)) : utf16_at(r, at, chars);
    m_canvas.text(ref, s, {}, options, rect);
}

void EmfPlayer::bitmap_record(quint32 type, const Bytes& r)
{
    switch (type) {
    case 76:    // BitBlt
    case 77: {  // StretchBlt
        const QRectF dest(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
        const quint32 rop = r.u32(40);
        const QPointF src(r.i32(44), r.i32(48));
        const quint32 usage = r.u32(80);
        const qint64 off_bmi = r.u32(84), cb_bmi = r.u32(88), off_bits = r.u32(92), cb_bits = r.u32(96);
        QSizeF src_size = dest.size();
        if (type == 77)
            src_size = size32(r, 100);
        const QImage image = source(r, dest, rop, off_bmi, cb_bmi, off_bits, cb_bits, usage);
        if (!image.isNull())
            m_canvas.bitmap(dest, image, QRectF(src, src_size), rop);
        return;
    }
    case 114: {  // AlphaBlend: laid out as StretchBlt, the blend in place of the raster operation
        const QRectF dest(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
        const quint32 blend = r.u32(40);
        const QRectF src(r.i32(44), r.i32(48), r.i32(100), r.i32(104));
        const quint32 usage = r.u32(80);
        const qint64 off_bmi = r.u32(84), cb_bmi = r.u32(88), off_bits = r.u32(92), cb_bits = r.u32(96);
        if (r.bad() || cb_bmi == 0)
            return;
        const bool per_pixel = (blend >> 24) & 1;
        const QImage image = dib(r, off_bmi, cb_bmi, off_bits, cb_bits, usage, per_pixel);
        if (!image.isNull())
            m_canvas.bitmap(dest, image, src, k_rop_srccopy, ((blend >> 16) & 0xFF) / 255.0);
        return;
    }
    case 80: {  // SetDIBitsToDevice
        const QPointF dest(r.i32(24), r.i32(28));
        const QRectF src(r.i32(32), r.i32(36), r.i32(40), r.i32(44));
        const qint64 off_bmi = r.u32(48), cb_bmi = r.u32(52), off_bits = r.u32(56), cb_bits = r.u32(60);
        const quint32 usage = r.u32(64);
        const qint64 start = r.u32(68), scans = r.u32(72);
        if (r.bad())
            return;
        // The rows hold scans lines from start: told to the decoder as a
        // bitmap of that height.
        if (cb_bmi < 40 || !r.fits(off_bmi, cb_bmi) || !r.fits(off_bits, cb_bits))
            return m_canvas.skip();
        const Bytes info = r.sub(off_bmi, cb_bmi);
        QByteArray patched = info.view().toByteArray();
        const qint32 height = info.i32(8);
        if (scans <= 0 || scans > 0x7FFFFFF)
            return;
        const qint64 rows = std::min<qint64>(scans, std::abs(qint64(height)));
        const qint32 patched_height = height < 0 ? -qint32(rows) : qint32(rows);
        for (int i = 0; i < 4; ++i)
            patched[8 + i] = char((quint32(patched_height) >> (8 * i)) & 0xFF);
        DibStatus status;
        const QImage image =
            decode_dib(Bytes(patched), r.sub(off_bits, cb_bits), usage == 1, m_canvas.bitmap_budget(), &status);
        m_canvas.note_bitmap(status);
        if (image.isNull())
            return;
        // Bottom-up rows count their source y from the bottom line.
        const double y = height < 0 ? src.y() - double(start) : image.height() - (src.y() - double(start)) - src.height();
        m_canvas.bitmap(QRectF(dest, src.size()), image, QRectF(src.x(), y, src.width(), src.height()), k_rop_srccopy);
        return;
    }
    case 81: {  // StretchDIBits
        const QRectF dest(r.i32(24), r.i32(28), r.i32(72), r.i32(76));
        const QRectF src(r.i32(32), r.i32(36), r.i32(40), r.i32(44));
        const qint64 off_bmi = r.u32(48), cb_bmi = r.u32(52), off_bits = r.u32(56), cb_bits = r.u32(60);
        const quint32 usage = r.u32(64);
        const quint32 rop = r.u32(68);
        const QImage image = source(r, dest, rop, off_bmi, cb_bmi, off_bits, cb_bits, usage);
        if (image.isNull())
            return;
        const bool bottom_up = r.sub(off_bmi, cb_bmi).i32(8) > 0 || r.u32(off_bmi) == 12;
        const double y = bottom_up ? image.height() - src.y() - src.height() : src.y();
        m_canvas.bitmap(dest, image, QRectF(src.x(), y, src.width(), src.height()), rop);
        return;
    }
    default:
        m_canvas.skip();
    }
}

void EmfPlayer::record(quint32 type, const Bytes& r)
{
    Canvas& c = m_canvas;
    switch (type) {
    case 1: break;  // header: read before playing
    case 2: c.poly_bezier(points(r, 28, r.u32(24), false)); break;
    case 3: c.polygon(points(r, 28, r.u32(24), false)); break;
    case 4: c.polyline(points(r, 28, r.u32(24), false)); break;
    case 5: c.poly_bezier_to(points(r, 28, r.u32(24), false)); break;
    case 6: c.polyline_to(points(r, 28, r.u32(24), false)); break;
    case 7: c.poly_polyline(poly_points(r, false)); break;
    case 8: c.poly_polygon(poly_points(r, false)); break;
    case 9: c.set_window_ext(size32(r, 8)); break;
    case 10: c.set_window_org(point32(r, 8)); break;
    case 11: c.set_viewport_ext(size32(r, 8)); break;
    case 12: c.set_viewport_org(point32(r, 8)); break;
    case 13: break;  // brush origin
    case 15: c.set_pixel(point32(r, 8), colour_at(r, 16)); break;
    case 16: break;  // mapper flags
    case 17: c.set_map_mode(int(r.u32(8))); break;
    case 18: c.set_bk_mode(int(r.u32(8))); break;
    case 19: c.set_fill_mode(int(r.u32(8))); break;
    case 20: c.set_rop2(int(r.u32(8))); break;
    case 21: break;  // stretch mode: we always smooth
    case 22: c.set_text_align(int(r.u32(8))); break;
    case 23: break;  // colour adjustment
    case 24: c.set_text_color(colour_at(r, 8)); break;
    case 25: c.set_bk_color(colour_at(r, 8)); break;
    case 26: c.offset_clip(point32(r, 8)); break;
    case 27: c.move_to(point32(r, 8)); break;
    case 28: break;  // meta region
    case 29: c.exclude_clip(rect32(r, 8)); break;
    case 30: c.intersect_clip(rect32(r, 8)); break;
    case 31: c.scale_viewport_ext(r.i32(8), r.i32(12), r.i32(16), r.i32(20)); break;
    case 32: c.scale_window_ext(r.i32(8), r.i32(12), r.i32(16), r.i32(20)); break;
    case 33:
        if (!c.save())
            m_canvas.fail(PictureStatus::Undecodable);  // deeper than any real drawing
        break;
    case 34:
        if (!c.restore(r.i32(8)))
            c.skip();
        break;
    case 35:
        if (!c.set_world(xform_at(r, 8)))
            c.skip();
        break;
    case 36:
        if (!c.modify_world(xform_at(r, 8), int(r.u32(32))))
            c.skip();
        break;
    case 37: {
        const quint32 index = r.u32(8);
        const bool ok = (index & 0x80000000u) ? c.select_stock(index & 0x7FFFFFFFu) : c.select_object(index);
        if (!ok)
            c.skip();
        break;
    }
    case 38: {
        GdiObject o;
        o.kind = GdiObject::Kind::Pen;
        o.pen.style = r.u32(12);
        o.pen.width = r.i32(16);
        o.pen.color = colour_at(r, 24);
        if (!r.bad())
            put(r.u32(8), o);
        break;
    }
    case 39: {
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        const quint32 style = r.u32(12);
        o.brush.color = colour_at(r, 16);
        o.brush.null = style == 1;
        if (style == 2)
            o.brush.hatch = int(r.u32(20));
        if (!r.bad())
            put(r.u32(8), o);
        break;
    }
    case 40: c.delete_object(r.u32(8)); break;
    case 42: c.ellipse(rect32(r, 8)); break;
    case 43: c.rectangle(rect32(r, 8)); break;
    case 44: c.round_rect(rect32(r, 8), size32(r, 24)); break;
    case 45: c.arc(rect32(r, 8), point32(r, 24), point32(r, 32), ArcShape::Arc); break;
    case 46: c.arc(rect32(r, 8), point32(r, 24), point32(r, 32), ArcShape::Chord); break;
    case 47: c.arc(rect32(r, 8), point32(r, 24), point32(r, 32), ArcShape::Pie); break;
    case 55: c.arc(rect32(r, 8), point32(r, 24), point32(r, 32), ArcShape::ArcTo); break;
    case 48: case 50: case 51: case 52: break;  // palettes
    case 49: {
        GdiObject o;
        o.kind = GdiObject::Kind::Other;
        put(r.u32(8), o);
        break;
    }
    case 54: c.line_to(point32(r, 8)); break;
    case 57: c.set_arc_direction(int(r.u32(8))); break;
    case 58: c.set_miter_limit(r.u32(8)); break;
    case 59: c.begin_path(); break;
    case 60: c.end_path(); break;
    case 61: c.close_figure(); break;
    case 62: c.fill_path(); break;
    case 63: c.stroke_and_fill_path(); break;
    case 64: c.stroke_path(); break;
    case 65: break;  // flatten: curves are drawn as curves anyway
    case 67: c.select_clip_path(int(r.u32(8))); break;
    case 68: c.abort_path(); break;
    case 70: break;  // comments, EMF+ records among them
    case 71: {       // FillRgn
        const qint64 cb = r.u32(24);
        const GdiObject* brush = c.object(r.u32(28));
        const std::vector<QRectF> rects = region_rects(r, 32, cb);
        if (r.bad())
            break;
        if (brush && brush->kind == GdiObject::Kind::Brush)
            c.fill_rects(rects, &brush->brush);
        else
            c.skip();
        break;
    }
    case 74: {  // PaintRgn
        const std::vector<QRectF> rects = region_rects(r, 28, r.u32(24));
        if (!r.bad())
            c.fill_rects(rects, nullptr);
        break;
    }
    case 75: {  // ExtSelectClipRgn
        const qint64 cb = r.u32(8);
        const int mode = int(r.u32(12));
        const std::vector<QRectF> rects = region_rects(r, 16, cb);
        if (!r.bad())
            c.select_clip_region(rects, mode);
        break;
    }
    case 76: case 77: case 80: case 81: case 114: bitmap_record(type, r); break;
    case 82: create_font(r); break;
    case 83: text(r, false); break;
    case 84: text(r, true); break;
    case 108: small_text(r); break;
    case 85: c.poly_bezier(points(r, 28, r.u32(24), true)); break;
    case 86: c.polygon(points(r, 28, r.u32(24), true)); break;
    case 87: c.polyline(points(r, 28, r.u32(24), true)); break;
    case 88: c.poly_bezier_to(points(r, 28, r.u32(24), true)); break;
    case 89: c.polyline_to(points(r, 28, r.u32(24), true)); break;
    case 90: c.poly_polyline(poly_points(r, true)); break;
    case 91: c.poly_polygon(poly_points(r, true)); break;
    case 93:    // CreateMonoBrush
    case 94: {  // CreateDIBPatternBrushPt
        GdiObject o;
        o.kind = GdiObject::Kind::Brush;
        o.brush.color = Qt::black;
        o.brush.pattern = dib(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28), r.u32(12));
        o.brush.null = o.brush.pattern.isNull();  // a damaged pattern paints nothing
        if (!r.bad())
            put(r.u32(8), o);
        break;
    }
    case 95: {  // ExtCreatePen
        GdiObject o;
        o.kind = GdiObject::Kind::Pen;
        o.pen.style = r.u32(28);
        o.pen.width = r.u32(32);
        const quint32 brush_style = r.u32(36);
        o.pen.color = colour_at(r, 40);
        o.pen.null = brush_style == 1;
        const qint64 entries = r.u32(48);
        if (!r.bad() && entries > 0 && r.has(52, entries * 4)) {
            for (qint64 i = 0; i < std::min<qint64>(entries, 16); ++i)
                o.pen.dashes.push_back(r.u32(52 + 4 * i));
        }
        if (!r.bad())
            put(r.u32(8), o);
        break;
    }
    case 98: case 100: case 101: case 102: case 103: case 104: case 105: case 106: case 107:
    case 109: case 110: case 111: case 112: case 113: case 115: case 120: case 121:
        break;  // colour management, layout and other settings that draw nothing
    case 99:
    case 122: {  // colour spaces take a slot
        GdiObject o;
        o.kind = GdiObject::Kind::Other;
        put(r.u32(8), o);
        break;
    }
    default: c.skip(); break;
    }
}

MetafilePlay EmfPlayer::play()
{
    const auto head = [this](qint64 pos) {
        RecordHead h;
        h.type = m_data.u32(pos);
        h.length = m_data.u32(pos + 4);
        h.end = h.type == 14;
        h.valid = h.length >= 8 && h.length % 4 == 0 && (pos > 0 || h.type == 1);
        return h;
    };
    return play_records(m_data, 0, 8, m_header.bytes, m_canvas, head,
                        [this](quint32 type, const Bytes& r) { record(type, r); });
}

} // namespace

EmfHeader read_emf_header(const Bytes& data)
{
    EmfHeader h;
    if (data.size() < k_header_min || data.u32(0) != 1 || data.u32(40) != k_signature)
        return h;
    const qint64 length = data.u32(4);
    if (length < k_header_min || length % 4 != 0)
        return h;
    const QRectF bounds(QPointF(data.i32(8), data.i32(12)), QPointF(data.i32(16), data.i32(20)));
    const double fl = data.i32(24), ft = data.i32(28), fr = data.i32(32), fb = data.i32(36);
    h.bytes = data.u32(48);
    h.handles = data.u16(56);
    const double dev_w = data.i32(72), dev_h = data.i32(76), mm_w = data.i32(80), mm_h = data.i32(84);
    h.px_per_mm = QSizeF(96 / 25.4, 96 / 25.4);
    if (dev_w > 0 && dev_h > 0 && mm_w > 0 && mm_h > 0)
        h.px_per_mm = QSizeF(std::clamp(dev_w / mm_w, 0.01, 1e4), std::clamp(dev_h / mm_h, 0.01, 1e4));
    if (fr > fl && fb > ft) {
        // The frame in the reference device's pixels: a picture made at 400
        // pixels is 400 wide, whatever that device's size in millimetres.
        h.frame_px = QRectF(QPointF(fl * h.px_per_mm.width() / 100, ft * h.px_per_mm.height() / 100),
                            QPointF(fr * h.px_per_mm.width() / 100, fb * h.px_per_mm.height() / 100));
        h.natural = QSize(int(std::min(1e9, std::max(1.0, std::round(h.frame_px.width())))),
                          int(std::min(1e9, std::max(1.0, std::round(h.frame_px.height())))));
    } else if (bounds.right() > bounds.left() && bounds.bottom() > bounds.top()) {
        // No frame: the bounds, in device pixels, inclusive.
        h.frame_px = QRectF(bounds.left(), bounds.top(), bounds.width() + 1, bounds.height() + 1);
        h.natural = QSize(int(std::min(1e9, h.frame_px.width())), int(std::min(1e9, h.frame_px.height())));
    } else {
        return h;
    }
    h.ok = true;
    return h;
}

MetafilePlay play_emf(const Bytes& data, QPainter& painter, const QRectF& target)
{
    const EmfHeader header = read_emf_header(data);
    if (!header.ok)
        return {};
    EmfPlayer player(data, header, painter, target);
    return player.play();
}

} // namespace mosswick::picture::metafile
