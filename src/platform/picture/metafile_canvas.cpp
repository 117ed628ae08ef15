#include "platform/picture/metafile_canvas.h"

#include "platform/picture/metafile_clip.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mosswick::picture::metafile {

namespace {

constexpr int k_mm_isotropic = 7;
constexpr int k_mm_anisotropic = 8;
constexpr int k_opaque = 2;
constexpr int k_winding = 2;
constexpr int k_r2_nop = 11;
constexpr int k_ta_right = 2;
constexpr int k_ta_center = 6;
constexpr int k_ta_bottom = 8;
constexpr int k_ta_baseline = 24;

constexpr int k_rgn_and = 1;
constexpr int k_rgn_or = 2;
constexpr int k_rgn_xor = 3;
constexpr int k_rgn_diff = 4;
constexpr int k_rgn_copy = 5;

// Shapes reaching further than this outside the target are not drawn: real
// drawings stay near their frame, and the rasteriser walks every cell of an
// edge, seen or not, so such edges would cost time for nothing.
constexpr double k_reach_floor = 1 << 16;
constexpr double k_reach_targets = 64;

bool finite_box(const QRectF& b)
{
    return std::isfinite(b.left()) && std::isfinite(b.right()) && std::isfinite(b.top()) && std::isfinite(b.bottom());
}

bool finite_transform(const QTransform& t)
{
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double x : v)
        if (!std::isfinite(x) || std::abs(x) > 1e12)
            return false;
    return t.isInvertible();
}

double scale_of(const QTransform& t)
{
    return std::sqrt(std::abs(t.determinant()));
}

QPainterPath rect_path(const QRectF& r)
{
    QPainterPath p;
    p.addRect(r.normalized());
    return p;
}

// A raster operation's third byte is its truth table over pattern, source
// and destination; the rest of the code is for the device's drivers.
quint8 rop3_of(quint32 rop)
{
    return quint8((rop >> 16) & 0xFF);
}

constexpr quint8 k_rop3_copy = 0xCC;  // the source
constexpr quint8 k_rop3_keep = 0xAA;  // the destination as it is
constexpr quint8 k_rop3_pattern = 0xF0;
constexpr quint8 k_rop3_black = 0x00;
constexpr quint8 k_rop3_white = 0xFF;

// Whether the truth table's result changes with the source.
bool reads_source(quint8 code)
{
    return ((code >> 2) ^ code) & 0x33;
}

bool reads_pattern(quint8 code)
{
    return ((code >> 4) ^ code) & 0x0F;
}

// Bit i of code is the result for pattern, source, destination bits
// (i >> 2, i >> 1, i) & 1, applied to every bit of the three colours.
QRgb ternary(quint8 code, QRgb p, QRgb s, QRgb d)
{
    quint32 r = 0;
    for (int i = 0; i < 8; ++i)
        if (code & (1 << i))
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return 0xFF000000u | (r & 0xFFFFFFu);
}

// a over b by coverage (0 to 255), both premultiplied.
QRgb mix(QRgb a, QRgb b, int cover)
{
    const auto channel = [cover](int x, int y) { return (x * cover + y * (255 - cover) + 127) / 255; };
    return qRgba(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)),
                 channel(qAlpha(a), qAlpha(b)));
}

// Draws the bitmap's src rectangle into dest (logical units) under t.
void draw_source(QPainter& painter, const QTransform& t, const QRectF& dest, const QImage& image, const QRectF& src)
{
    const QRectF box = t.mapRect(dest.normalized());
    // Enlarged bitmaps repeat their pixels, as the format's players do by
    // default; reduced ones are smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, box.width() < src.width() || box.height() < src.height());
    painter.setTransform(t);
    // Mirrored when the destination's width or height is negative.
    painter.translate(dest.x(), dest.y());
    painter.scale(dest.width() / src.width(), dest.height() / src.height());
    painter.drawImage(QRectF(QPointF(0, 0), src.size()), image, src);
}

} // namespace

Canvas::Canvas(QPainter& painter, const QRectF& target, int objects)
    : m_painter(painter), m_target(target)
{
    m_object_limit = std::clamp(objects, 0, k_max_objects);
    // Enough for a few hundred full-target layers, never less than a second
    // or so of small drawings.
    m_budget = std::max(4e8, 400.0 * target.width() * target.height());
}

Canvas Canvas::for_emf(QPainter& painter, const QRectF& target, const QRectF& frame, QSizeF px_per_mm, int objects)
{
    Canvas c(painter, target, objects);
    c.m_emf = true;
    c.m_px_per_mm = px_per_mm;
    const double sx = target.width() / frame.width();
    const double sy = target.height() / frame.height();
    c.m_device_to_target = QTransform(sx, 0, 0, sy, target.left() - frame.left() * sx, target.top() - frame.top() * sy);
    return c;
}

Canvas Canvas::for_wmf(QPainter& painter, const QRectF& target, const QRectF& window, QPointF device_offset,
                       int objects)
{
    Canvas c(painter, target, objects);
    c.m_emf = false;
    c.m_wmf_window = window;
    c.m_wmf_offset = device_offset;
    c.m_dc.window_org = window.topLeft();
    c.m_dc.window_ext = window.size();
    c.m_dc.map_mode = k_mm_anisotropic;
    return c;
}

// --- mapping -------------------------------------------------------------

QTransform Canvas::page() const
{
    const Dc& d = m_dc;
    if (!m_emf) {
        // The window maps onto the target; the metafile's viewport records
        // are for the program that plays it, which here is us.
        if (d.window_ext.width() == 0 || d.window_ext.height() == 0)
            return {};
        double sx = m_target.width() / d.window_ext.width();
        double sy = m_target.height() / d.window_ext.height();
        if (d.map_mode == k_mm_isotropic) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        const QPointF org = d.window_org + m_wmf_offset;
        return QTransform(sx, 0, 0, sy, m_target.left() - org.x() * sx, m_target.top() - org.y() * sy);
    }
    double sx = 1;
    double sy = 1;
    switch (d.map_mode) {
    case 2: sx = 0.1; break;             // 0.1 mm
    case 3: sx = 0.01; break;            // 0.01 mm
    case 4: sx = 0.254; break;           // 0.01 inch
    case 5: sx = 0.0254; break;          // 0.001 inch
    case 6: sx = 25.4 / 1440; break;     // twips
    case k_mm_isotropic:
    case k_mm_anisotropic:
        if (d.window_ext.width() != 0 && d.window_ext.height() != 0) {
            sx = d.viewport_ext.width() / d.window_ext.width();
            sy = d.viewport_ext.height() / d.window_ext.height();
            if (d.map_mode == k_mm_isotropic) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
        }
        break;
    default: break;
    }
    if (d.map_mode >= 2 && d.map_mode <= 6) {
        // Fixed units; y grows upwards.
        sy = -sx * m_px_per_mm.height();
        sx *= m_px_per_mm.width();
    }
    return QTransform(sx, 0, 0, sy, d.viewport_org.x() - d.window_org.x() * sx,
                      d.viewport_org.y() - d.window_org.y() * sy);
}

QTransform Canvas::to_target() const
{
    return m_dc.world * page() * m_device_to_target;
}

void Canvas::set_map_mode(int mode)
{
    if (mode >= 1 && mode <= 8)
        m_dc.map_mode = mode;
}

void Canvas::set_window_org(QPointF p)
{
    m_dc.window_org = p;
}

void Canvas::set_window_ext(QSizeF s)
{
    if (s.width() != 0 && s.height() != 0)
        m_dc.window_ext = s;
}

void Canvas::set_viewport_org(QPointF p)
{
    m_dc.viewport_org = p;
}

void Canvas::set_viewport_ext(QSizeF s)
{
    if (s.width() != 0 && s.height() != 0)
        m_dc.viewport_ext = s;
}

void Canvas::offset_window_org(QPointF d)
{
    m_dc.window_org += d;
}

namespace {

// An extent scaled by two fractions; a zero in either leaves it as it was.
void scale_extent(QSizeF& extent, int xnum, int xdenom, int ynum, int ydenom)
{
    if (xnum == 0 || xdenom == 0 || ynum == 0 || ydenom == 0)
        return;
    extent = QSizeF(extent.width() * xnum / xdenom, extent.height() * ynum / ydenom);
}

} // namespace

void Canvas::scale_window_ext(int xnum, int xdenom, int ynum, int ydenom)
{
    scale_extent(m_dc.window_ext, xnum, xdenom, ynum, ydenom);
}

void Canvas::scale_viewport_ext(int xnum, int xdenom, int ynum, int ydenom)
{
    scale_extent(m_dc.viewport_ext, xnum, xdenom, ynum, ydenom);
}

bool Canvas::set_world(const QTransform& t)
{
    if (!finite_transform(t))
        return false;
    m_dc.world = t;
    return true;
}

bool Canvas::modify_world(const QTransform& t, int mode)
{
    switch (mode) {
    case 1: m_dc.world = QTransform(); return true;  // identity
    case 2: return set_world(t * m_dc.world);         // t applies first
    case 3: return set_world(m_dc.world * t);
    case 4: return set_world(t);
    default: return false;
    }
}

bool Canvas::save()
{
    if (int(m_saved.size()) >= k_max_save_depth)
        return false;
    m_saved.push_back(m_dc);
    return true;
}

bool Canvas::restore(int which)
{
    // Negative: relative to the newest; positive: the n-th saved state.
    const qint64 depth = qint64(m_saved.size());
    const qint64 keep = which < 0 ? depth + which : qint64(which) - 1;
    if (keep < 0 || keep >= depth)
        return false;
    m_dc = m_saved[size_t(keep)];
    m_saved.resize(size_t(keep));
    m_clip_dirty = true;
    return true;
}

// --- objects -------------------------------------------------------------

bool Canvas::put_object(qint64 index, GdiObject object)
{
    // The table grows as slots are used: headers may announce thousands.
    if (index < 0 || index >= m_object_limit)
        return false;
    if (index >= qint64(m_objects.size()))
        m_objects.resize(size_t(index) + 1);
    m_objects[size_t(index)] = std::move(object);
    return true;
}

int Canvas::free_slot() const
{
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i].kind == GdiObject::Kind::Empty)
            return int(i);
    return int(m_objects.size()) < m_object_limit ? int(m_objects.size()) : -1;
}

const GdiObject* Canvas::object(qint64 index) const
{
    if (index < 0 || index >= qint64(m_objects.size()))
        return nullptr;
    return &m_objects[size_t(index)];
}

bool Canvas::select_object(qint64 index)
{
    const GdiObject* o = object(index);
    if (!o)
        return false;
    switch (o->kind) {
    case GdiObject::Kind::Pen: m_dc.pen = o->pen; return true;
    case GdiObject::Kind::Brush: m_dc.brush = o->brush; return true;
    case GdiObject::Kind::Font: m_dc.font = o->font; return true;
    case GdiObject::Kind::Other: return true;
    case GdiObject::Kind::Empty: return false;
    }
    return false;
}

bool Canvas::select_stock(quint32 stock)
{
    const auto brush = [this](bool null, QColor c) {
        m_dc.brush = BrushSpec();
        m_dc.brush.null = null;
        m_dc.brush.color = c;
    };
    const auto pen = [this](bool null, QColor c) {
        m_dc.pen = PenSpec();
        m_dc.pen.null = null;
        m_dc.pen.color = c;
    };
    switch (stock) {
    case 0: brush(false, Qt::white); return true;
    case 1: brush(false, QColor(192, 192, 192)); return true;
    case 2: brush(false, QColor(128, 128, 128)); return true;
    case 3: brush(false, QColor(64, 64, 64)); return true;
    case 4: brush(false, Qt::black); return true;
    case 5: brush(true, Qt::white); return true;
    case 6: pen(false, Qt::white); return true;
    case 7: pen(false, Qt::black); return true;
    case 8: pen(true, Qt::black); return true;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17:
        m_dc.font = FontSpec();
        if (stock == 10 || stock == 11 || stock == 16)
            m_dc.font.face = QStringLiteral("Monospace");
        return true;
    case 15: case 18: case 19: return true;  // palette, DC brush and pen
    default: return false;
    }
}

void Canvas::delete_object(qint64 index)
{
    if (index >= 0 && index < qint64(m_objects.size()))
        m_objects[size_t(index)] = GdiObject();
}

// --- modes ---------------------------------------------------------------

void Canvas::set_bk_mode(int m) { m_dc.bk_mode = m; }
void Canvas::set_bk_color(QColor c) { m_dc.bk_color = c; }
void Canvas::set_text_color(QColor c) { m_dc.text_color = c; }
void Canvas::set_fill_mode(int m) { m_dc.fill_mode = m; }
void Canvas::set_text_align(int a) { m_dc.text_align = a; }
void Canvas::set_rop2(int r) { m_dc.rop2 = r; }
void Canvas::set_arc_direction(int d) { m_dc.arc_direction = d; }

void Canvas::set_miter_limit(double m)
{
    if (std::isfinite(m) && m >= 1 && m <= 1000)
        m_dc.miter_limit = m;
}

// --- drawing -------------------------------------------------------------

double Canvas::reach() const
{
    return std::max(k_reach_floor, k_reach_targets * (m_target.width() + m_target.height()));
}

bool Canvas::within_reach(const QRectF& box) const
{
    const double r = reach();
    return finite_box(box) && box.left() >= m_target.left() - r && box.right() <= m_target.right() + r
           && box.top() >= m_target.top() - r && box.bottom() <= m_target.bottom() + r;
}

void Canvas::charge(double work)
{
    m_work += std::max(1.0, work);
}

bool Canvas::apply_transform(const QTransform& t)
{
    if (!finite_transform(t))
        return false;
    m_painter.setTransform(t);
    return true;
}

void Canvas::apply_clip()
{
    if (!m_clip_dirty)
        return;
    m_painter.setTransform(QTransform());
    if (m_dc.clip)
        m_painter.setClipPath(*m_dc.clip);
    else
        m_painter.setClipRect(m_target);
    m_clip_dirty = false;
}

QPen Canvas::qpen(const QTransform& t, const QPainterPath& target_path) const
{
    const PenSpec& p = m_dc.pen;
    const quint32 kind = p.style & 0xF;
    if (p.null || kind == 5)
        return Qt::NoPen;
    const bool geometric = (p.style & 0x10000) != 0;
    QPen pen(p.color);
    pen.setMiterLimit(m_dc.miter_limit);
    // Outlines are stroked in target pixels, so the stroker's work follows
    // the target whatever the mapping; a pen wider than the target only
    // floods it. A stretched mapping gets a round pen of the mean width.
    const double widest = 2 * (m_target.width() + m_target.height()) + 16;
    const double device_width = std::min(p.width * scale_of(t), widest);
    pen.setWidthF(p.width <= 0 || device_width <= 1.0 ? 1.0 : device_width);
    if (geometric) {
        const quint32 cap = p.style & 0xF00;
        const quint32 join = p.style & 0xF000;
        pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
        pen.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    // Dashes along a very long outline would cost one segment each: such an
    // outline is drawn solid.
    const bool dashed = kind >= 1 && kind <= 4;
    if (dashed || kind == 7) {
        const double budget = 8.0 * (m_target.width() + m_target.height()) + 256;
        if (target_path.length() / pen.widthF() < budget) {
            switch (kind) {
            case 1: pen.setStyle(Qt::DashLine); break;
            case 2: pen.setStyle(Qt::DotLine); break;
            case 3: pen.setStyle(Qt::DashDotLine); break;
            case 4: pen.setStyle(Qt::DashDotDotLine); break;
            default: {
                QList<qreal> pattern;
                for (double d : p.dashes)
                    pattern.append(std::clamp(d, 0.1, 1000.0));
                if (pattern.size() % 2)
                    pattern.append(pattern.back());
                if (!pattern.isEmpty())
                    pen.setDashPattern(pattern);
                break;
            }
            }
        }
    }
    return pen;
}

QBrush Canvas::qbrush(const BrushSpec& b) const
{
    if (b.null)
        return Qt::NoBrush;
    if (!b.pattern.isNull())
        return QBrush(b.pattern);
    switch (b.hatch) {
    case 0: return QBrush(b.color, Qt::HorPattern);
    case 1: return QBrush(b.color, Qt::VerPattern);
    case 2: return QBrush(b.color, Qt::BDiagPattern);
    case 3: return QBrush(b.color, Qt::FDiagPattern);
    case 4: return QBrush(b.color, Qt::CrossPattern);
    case 5: return QBrush(b.color, Qt::DiagCrossPattern);
    default: return QBrush(b.color);
    }
}

void Canvas::add_to_path(const QPainterPath& logical, bool continue_figure)
{
    if (m_path.elementCount() + logical.elementCount() > k_max_path_points) {
        m_path_done = true;  // beyond the limit the path is dropped
        skip();
        return;
    }
    const QPainterPath mapped = to_target().map(logical);
    if (continue_figure && m_path.elementCount() > 0) {
        for (int i = 0; i < mapped.elementCount(); ++i) {
            const QPainterPath::Element& e = mapped.elementAt(i);
            if (e.isMoveTo() && i == 0)
                continue;
            if (e.isLineTo() || e.isMoveTo()) {
                m_path.lineTo(e.x, e.y);
            } else if (e.isCurveTo() && i + 2 < mapped.elementCount()) {
                const auto& c2 = mapped.elementAt(i + 1);
                const auto& end = mapped.elementAt(i + 2);
                m_path.cubicTo(QPointF(e.x, e.y), QPointF(c2.x, c2.y), QPointF(end.x, end.y));
                i += 2;
            }
        }
    } else {
        m_path.addPath(mapped);
    }
}

void Canvas::figure(const QPainterPath& path)
{
    if (m_in_path)
        add_to_path(path, true);
    else
        shape(path, false, true);
}

void Canvas::shape(const QPainterPath& path, bool fill, bool stroke)
{
    if (m_in_path) {
        add_to_path(path, false);
        return;
    }
    draw_target(to_target().map(path), fill, stroke);
}

void Canvas::draw_target(const QPainterPath& target_path, bool fill, bool stroke)
{
    if (m_dc.rop2 == k_r2_nop)
        return;
    const QTransform t = to_target();
    const QRectF box = target_path.controlPointRect();
    if (!finite_transform(t) || !within_reach(box)) {
        skip();
        return;
    }
    const QRectF seen = box.intersected(m_target);
    charge(seen.width() * seen.height() + target_path.elementCount());
    apply_clip();
    m_painter.setTransform(QTransform());
    QPainterPath path = target_path;
    path.setFillRule(m_dc.fill_mode == k_winding ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.setBackground(m_dc.bk_color);
    m_painter.setBackgroundMode(m_dc.bk_mode == k_opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    // What lies outside the target is cut off first: the rasteriser's work
    // would follow the path's extent, not what is seen of it.
    if (fill && !m_dc.brush.null)
        m_painter.fillPath(clip_for_fill(path, m_target.adjusted(-2, -2, 2, 2)), qbrush(m_dc.brush));
    if (stroke) {
        const QPen pen = qpen(t, target_path);
        if (pen.style() != Qt::NoPen) {
            // Dashes keep their phase only along the whole outline; Qt's
            // dasher leaves out those it cannot see by itself.
            const double joins = pen.joinStyle() == Qt::MiterJoin ? std::max(1.0, pen.miterLimit()) : 1.0;
            const double margin = pen.widthF() * joins + 3;
            const QRectF window = m_target.adjusted(-margin, -margin, margin, margin);
            const QPainterPath outline = pen.style() == Qt::SolidLine ? clip_for_stroke(path, window) : path;
            m_painter.strokePath(outline, pen);
            charge(outline.length() * pen.widthF());
        }
    }
}

void Canvas::move_to(QPointF p)
{
    m_dc.cur = p;
    if (m_in_path) {
        if (m_path.elementCount() + 1 > k_max_path_points)
            return;
        m_path.moveTo(to_target().map(p));
    }
}

void Canvas::line_to(QPointF p)
{
    QPainterPath path(m_dc.cur);
    path.lineTo(p);
    m_dc.cur = p;
    figure(path);
}

void Canvas::polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    shape(path, false, true);
}

void Canvas::polyline_to(const QPolygonF& points)
{
    if (points.isEmpty())
        return;
    QPainterPath path(m_dc.cur);
    for (const QPointF& p : points)
        path.lineTo(p);
    m_dc.cur = points.back();
    figure(path);
}

void Canvas::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    shape(path, true, true);
}

void Canvas::poly_polygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& p : polygons) {
        if (p.size() < 2)
            continue;
        path.addPolygon(p);
        path.closeSubpath();
    }
    shape(path, true, true);
}

void Canvas::poly_polyline(const std::vector<QPolygonF>& polylines)
{
    QPainterPath path;
    for (const QPolygonF& p : polylines)
        if (p.size() >= 2)
            path.addPolygon(p);
    shape(path, false, true);
}

void Canvas::poly_bezier(const QPolygonF& points)
{
    if (points.size() < 4)
        return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    shape(path, false, true);
}

void Canvas::poly_bezier_to(const QPolygonF& points)
{
    if (points.size() < 3)
        return;
    QPainterPath path(m_dc.cur);
    for (qsizetype i = 0; i + 2 < points.size(); i += 3) {
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
        m_dc.cur = points[i + 2];
    }
    figure(path);
}

void Canvas::rectangle(const QRectF& box)
{
    shape(rect_path(box), true, true);
}

void Canvas::round_rect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    shape(path, true, true);
}

void Canvas::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(box.normalized());
    shape(path, true, true);
}

void Canvas::arc(const QRectF& raw, QPointF start, QPointF end, ArcShape kind)
{
    const QRectF box = raw.normalized();
    const QPointF c = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    if (rx <= 0 || ry <= 0)
        return;
    // The angles of the rays through the two points, as the ellipse's own
    // parameter (Qt counts counter-clockwise on screen).
    const auto angle = [&](QPointF p) {
        return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / M_PI;
    };
    const double a1 = angle(start);
    const double a2 = angle(end);
    double sweep;
    if (m_dc.arc_direction == 2) {  // clockwise
        sweep = -std::fmod(a1 - a2 + 720, 360);
        if (sweep > -1e-9)
            sweep = -360;
    } else {
        sweep = std::fmod(a2 - a1 + 720, 360);
        if (sweep < 1e-9)
            sweep = 360;
    }
    QPainterPath path;
    switch (kind) {
    case ArcShape::Arc:
        path.arcMoveTo(box, a1);
        path.arcTo(box, a1, sweep);
        shape(path, false, true);
        break;
    case ArcShape::ArcTo: {
        path.moveTo(m_dc.cur);
        QPainterPath arc_part;
        arc_part.arcMoveTo(box, a1);
        path.lineTo(arc_part.currentPosition());
        path.arcTo(box, a1, sweep);
        m_dc.cur = path.currentPosition();
        figure(path);
        break;
    }
    case ArcShape::Chord:
        path.arcMoveTo(box, a1);
        path.arcTo(box, a1, sweep);
        path.closeSubpath();
        shape(path, true, true);
        break;
    case ArcShape::Pie:
        path.moveTo(c);
        path.arcTo(box, a1, sweep);
        path.closeSubpath();
        shape(path, true, true);
        break;
    }
}

void Canvas::set_pixel(QPointF p, QColor c)
{
    if (m_in_path)
        return;
    const QPointF t = to_target().map(p);
    if (!m_target.contains(t))
        return;
    charge(1);
    apply_clip();
    m_painter.setTransform(QTransform());
    m_painter.fillRect(QRectF(std::floor(t.x()), std::floor(t.y()), 1, 1), c);
}

double Canvas::device_font_scale() const
{
    return m_emf ? std::abs(m_device_to_target.m22()) : m_target.height() / std::max(1.0, m_wmf_window.height());
}

void Canvas::text(QPointF ref, const QString& s, const std::vector<double>& dx, int options,
                  const std::optional<QRectF>& rect)
{
    if (m_in_path || m_dc.rop2 == k_r2_nop)
        return;
    const QTransform t = to_target();
    if (!finite_transform(t)) {
        skip();
        return;
    }
    if ((options & k_text_opaque) && rect) {
        const QRectF r = t.mapRect(rect->normalized());
        if (r.intersects(m_target)) {
            apply_clip();
            m_painter.setTransform(QTransform());
            m_painter.fillRect(r.intersected(m_target), m_dc.bk_color);
            const QRectF seen = r.intersected(m_target);
            charge(seen.width() * seen.height());
        }
    }
    if (s.isEmpty())
        return;
    if (options & k_text_glyph_index) {
        skip();  // glyph numbers of a font we do not have
        return;
    }

    const FontSpec& f = m_dc.font;
    double px = f.height != 0 ? QLineF(t.map(QPointF(0, 0)), t.map(QPointF(0, std::abs(double(f.height))))).length()
                              : 16 * device_font_scale();
    if (!(px >= 0.5))
        return;  // too small to see
    if (px > 4 * (m_target.width() + m_target.height()) + 64) {
        skip();
        return;
    }
    const QFont font = font_at(f, px);
    const QFontMetricsF metrics(font);

    const QString shown = s.left(k_max_text_units);
    const double sx = QLineF(t.map(QPointF(0, 0)), t.map(QPointF(1, 0))).length();
    const bool spaced = !dx.empty() && qsizetype(dx.size()) >= shown.size();
    const double width = text_width(shown, dx, sx, metrics);
    if (!std::isfinite(width) || std::abs(width) > reach()) {
        skip();
        return;
    }

    const bool update_cp = m_dc.text_align & k_align_update_cp;
    const QPointF anchor = t.map(update_cp ? m_dc.cur : ref);
    if (!within_reach(QRectF(anchor, QSizeF(0, 0)))) {
        skip();
        return;
    }
    const TextLayout line = lay_out_text(m_dc.text_align, width, metrics);

    charge(std::abs(width) * metrics.height() + shown.size() * px * px / 4);
    apply_clip();
    m_painter.save();
    m_painter.setTransform(QTransform());
    if ((options & k_text_clipped) && rect)
        m_painter.setClipRect(t.mapRect(rect->normalized()), Qt::IntersectClip);
    m_painter.translate(anchor);
    if (f.escapement != 0)
        m_painter.rotate(text_turn(f, t.determinant() < 0));
    // The background is ours to paint, once for the whole string; the mode
    // a shape left on the painter would box each glyph in its colour.
    m_painter.setBackgroundMode(Qt::TransparentMode);
    if (m_dc.bk_mode == k_opaque && !(options & k_text_opaque))
        m_painter.fillRect(line.box, m_dc.bk_color);
    m_painter.setFont(font);
    m_painter.setPen(m_dc.text_color);
    if (spaced) {
        double x = line.x0;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (!shown[i].isLowSurrogate()) {
                const qsizetype n = shown[i].isHighSurrogate() && i + 1 < shown.size() ? 2 : 1;
                m_painter.drawText(QPointF(x, line.base), shown.mid(i, n));
            }
            x += dx[size_t(i)] * sx;
        }
    } else {
        m_painter.drawText(QPointF(line.x0, line.base), shown);
    }
    m_painter.restore();
    m_clip_dirty = true;
    if (update_cp && sx > 0)
        m_dc.cur.rx() += line.advance / sx;
}

QFont font_at(const FontSpec& f, double px)
{
    QFont font(f.face.isEmpty() ? QStringLiteral("Sans Serif") : f.face);
    font.setPixelSize(std::max(1, int(std::lround(px))));
    font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strike);
    if (f.height > 0) {
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            font.setPixelSize(std::max(1, int(std::lround(px * px / cell))));
    }
    return font;
}

double text_turn(const FontSpec& f, bool flipped)
{
    // Counter-clockwise in the mapping's own sense: a mapping whose y axis
    // points up turns the text the other way on the target.
    const double turn = double(f.escapement % 3600) / 10.0;
    return flipped ? turn : -turn;
}

double text_width(const QString& s, const std::vector<double>& dx, double scale, const QFontMetricsF& metrics)
{
    const QString shown = s.left(k_max_text_units);
    if (dx.empty() || qsizetype(dx.size()) < shown.size())
        return metrics.horizontalAdvance(shown);
    double width = 0;
    for (qsizetype i = 0; i < shown.size(); ++i)
        width += dx[size_t(i)] * scale;
    return width;
}

TextLayout lay_out_text(int align, double width, const QFontMetricsF& metrics)
{
    TextLayout out;
    const int h_align = align & k_ta_center;
    const int v_align = align & k_ta_baseline;
    out.x0 = h_align == k_ta_center ? -width / 2 : h_align == k_ta_right ? -width : 0;
    out.base = v_align == k_ta_baseline ? 0 : v_align == k_ta_bottom ? -metrics.descent() : metrics.ascent();
    out.box = QRectF(out.x0, out.base - metrics.ascent(), width, metrics.height());
    out.advance = h_align == k_ta_right ? -width : h_align == k_ta_center ? 0 : width;
    return out;
}

void Canvas::bitmap(const QRectF& dest, const QImage& image, const QRectF& src, quint32 rop, double opacity)
{
    if (m_in_path || image.isNull())
        return;
    const QTransform t = to_target();
    const QRectF box = t.mapRect(dest.normalized());
    if (!finite_transform(t) || !within_reach(box)) {
        skip();
        return;
    }
    const QRectF source = src.normalized().intersected(QRectF(image.rect()));
    const quint8 code = rop3_of(rop);
    if (source.isEmpty() || dest.width() == 0 || dest.height() == 0 || code == k_rop3_keep)
        return;
    if (code != k_rop3_copy && opacity >= 1 && raster_op(dest, &image, source, code))
        return;
    const QRectF seen = box.intersected(m_target);
    charge(seen.width() * seen.height());
    apply_clip();
    m_painter.save();
    m_painter.setOpacity(opacity);
    // On a device we cannot read, the painter's own operations stand in.
    switch (code) {
    case 0x88: m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case 0xEE: m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case 0x66: m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    default: break;
    }
    draw_source(m_painter, t, dest, image, source);
    m_painter.restore();
    m_clip_dirty = true;
}

bool Canvas::raster_op(const QRectF& dest, const QImage* image, const QRectF& src, quint8 code)
{
    QPaintDevice* device = m_painter.device();
    if (!device || device->devType() != QInternal::Image)
        return false;
    QImage& below = *static_cast<QImage*>(device);
    if ((below.format() != QImage::Format_ARGB32_Premultiplied && below.format() != QImage::Format_RGB32)
        || below.devicePixelRatio() != 1)
        return false;
    const QTransform t = to_target();
    const QPolygonF area = t.map(QPolygonF(dest.normalized()));
    if (!finite_transform(t) || !within_reach(area.boundingRect())) {
        skip();
        return true;
    }
    QRectF bounds = area.boundingRect().intersected(m_target);
    if (m_dc.clip)
        bounds = bounds.intersected(m_dc.clip->boundingRect());
    const QRect box = bounds.toAlignedRect().intersected(below.rect());
    if (box.isEmpty())
        return true;
    charge(double(box.width()) * box.height() * 4);

    // The source's colours, and in its alpha how much of each pixel the
    // transfer covers, clipped as any drawing is.
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {
        fail(PictureStatus::TooLarge);
        return true;
    }
    layer.fill(Qt::transparent);
    const QTransform to_layer = QTransform::fromTranslate(-box.left(), -box.top());
    {
        QPainter lp(&layer);
        lp.setRenderHints(m_painter.renderHints());
        lp.setTransform(to_layer);
        lp.setClipPath(m_dc.clip ? *m_dc.clip : rect_path(m_target));
        if (image) {
            draw_source(lp, t * to_layer, dest, *image, src);
        } else {
            lp.setPen(Qt::NoPen);
            lp.setBrush(Qt::black);
            lp.drawPolygon(area);
        }
    }
    // The brush, where the operation reads it; a hatch's gaps show the
    // background colour.
    QImage pattern;
    QRgb solid = qRgb(0, 0, 0);
    const BrushSpec& brush = m_dc.brush;
    if (reads_pattern(code) && !brush.null) {
        if (brush.pattern.isNull() && brush.hatch < 0) {
            solid = brush.color.rgb();
        } else {
            pattern = QImage(box.size(), QImage::Format_RGB32);
            if (pattern.isNull()) {
                fail(PictureStatus::TooLarge);
                return true;
            }
            pattern.fill(m_dc.bk_color);
            QPainter pp(&pattern);
            pp.setTransform(to_layer);
            pp.fillRect(box, qbrush(brush));
        }
    }
    for (int y = 0; y < box.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        const QRgb* p = pattern.isNull() ? nullptr : reinterpret_cast<const QRgb*>(pattern.constScanLine(y));
        QRgb* d = reinterpret_cast<QRgb*>(below.scanLine(box.top() + y)) + box.left();
        for (int x = 0; x < box.width(); ++x) {
            const int cover = qAlpha(s[x]);
            if (cover == 0)
                continue;
            // What the device would read: where nothing is drawn yet, the
            // white of a blank page.
            const int blank = 255 - qAlpha(d[x]);
            const QRgb page = qRgb(qRed(d[x]) + blank, qGreen(d[x]) + blank, qBlue(d[x]) + blank);
            const QRgb source = cover == 255 ? s[x] : qUnpremultiply(s[x]);
            const QRgb out = ternary(code, p ? p[x] : solid, source, page);
            d[x] = cover == 255 ? out : mix(out, d[x], cover);
        }
    }
    return true;
}

void Canvas::pattern_fill(const QRectF& dest, quint32 rop)
{
    const quint8 code = rop3_of(rop);
    if (m_in_path || code == k_rop3_keep)
        return;
    const BrushSpec saved = m_dc.brush;
    if (code == k_rop3_black || code == k_rop3_white) {
        m_dc.brush = BrushSpec();
        m_dc.brush.color = code == k_rop3_black ? Qt::black : Qt::white;
    } else if (code != k_rop3_pattern) {
        // Without a source only the brush and what is below can mix.
        if (reads_source(code) || !raster_op(dest, nullptr, {}, code))
            skip();
        return;
    }
    const PenSpec pen = m_dc.pen;
    m_dc.pen.null = true;
    shape(rect_path(dest), true, false);
    m_dc.pen = pen;
    m_dc.brush = saved;
}

void Canvas::fill_rects(const std::vector<QRectF>& rects, const BrushSpec* brush)
{
    QPainterPath path;
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    const BrushSpec saved = m_dc.brush;
    const PenSpec pen = m_dc.pen;
    if (brush)
        m_dc.brush = *brush;
    m_dc.pen.null = true;
    shape(path, true, false);
    m_dc.brush = saved;
    m_dc.pen = pen;
}

// --- paths ---------------------------------------------------------------

void Canvas::begin_path()
{
    m_in_path = true;
    m_path_done = false;
    m_path = QPainterPath();
}

void Canvas::end_path()
{
    m_in_path = false;
    m_path_done = true;
}

void Canvas::abort_path()
{
    m_in_path = false;
    m_path_done = false;
    m_path = QPainterPath();
}

void Canvas::close_figure()
{
    if (m_in_path)
        m_path.closeSubpath();
}

void Canvas::fill_path()
{
    if (!m_in_path && m_path_done)
        draw_target(m_path, true, false);
    abort_path();
}

void Canvas::stroke_path()
{
    if (!m_in_path && m_path_done)
        draw_target(m_path, false, true);
    abort_path();
}

void Canvas::stroke_and_fill_path()
{
    if (!m_in_path && m_path_done)
        draw_target(m_path, true, true);
    abort_path();
}

void Canvas::select_clip_path(int mode)
{
    if (!m_in_path && m_path_done) {
        QPainterPath p = m_path;
        p.setFillRule(m_dc.fill_mode == k_winding ? Qt::WindingFill : Qt::OddEvenFill);
        combine_clip(p, mode);
    }
    abort_path();
}

// --- clipping ------------------------------------------------------------

void Canvas::combine_clip(const QPainterPath& operand, int mode)
{
    const QPainterPath current = m_dc.clip ? *m_dc.clip : rect_path(m_target);
    // Boolean operations grow with the elements on both sides.
    if (current.elementCount() + operand.elementCount() > k_max_clip_elements) {
        skip();
        return;
    }
    charge(double(current.elementCount() + 1) * double(operand.elementCount() + 1) * 16);
    QPainterPath result;
    switch (mode) {
    case k_rgn_and: result = current.intersected(operand); break;
    case k_rgn_or: result = current.united(operand); break;
    case k_rgn_xor: result = current.united(operand).subtracted(current.intersected(operand)); break;
    case k_rgn_diff: result = current.subtracted(operand); break;
    case k_rgn_copy: result = operand; break;
    default: skip(); return;
    }
    m_dc.clip = result.intersected(rect_path(m_target));
    m_clip_dirty = true;
}

void Canvas::intersect_clip(const QRectF& logical)
{
    const QTransform t = to_target();
    if (!finite_transform(t))
        return skip();
    combine_clip(t.map(rect_path(logical)), k_rgn_and);
}

void Canvas::exclude_clip(const QRectF& logical)
{
    const QTransform t = to_target();
    if (!finite_transform(t))
        return skip();
    combine_clip(t.map(rect_path(logical)), k_rgn_diff);
}

void Canvas::select_clip_region(const std::vector<QRectF>& device_rects, int mode)
{
    if (device_rects.empty()) {
        if (mode == k_rgn_copy)
            reset_clip();
        return;
    }
    QPainterPath region;
    for (const QRectF& r : device_rects)
        region.addRect(r.normalized());
    region.setFillRule(Qt::WindingFill);
    combine_clip(m_device_to_target.map(region), mode);
}

void Canvas::reset_clip()
{
    m_dc.clip.reset();
    m_clip_dirty = true;
}

void Canvas::offset_clip(QPointF logical)
{
    if (!m_dc.clip)
        return;
    const QTransform t = to_target();
    const QPointF d = t.map(logical) - t.map(QPointF(0, 0));
    m_dc.clip = m_dc.clip->translated(d).intersected(rect_path(m_target));
    m_clip_dirty = true;
}

void Canvas::note_bitmap(DibStatus status)
{
    switch (status) {
    case DibStatus::Ok: break;
    case DibStatus::Bad:
    case DibStatus::Unsupported: skip(); break;
    case DibStatus::TooLarge: fail(PictureStatus::TooLarge); break;
    }
}

PictureStatus Canvas::verdict(const Bytes& record) const
{
    if (record.bad())
        return PictureStatus::Undecodable;
    if (m_failure != PictureStatus::Ok)
        return m_failure;
    // A drawing that keeps the player busy this long is taken as hostile.
    if (over_budget())
        return PictureStatus::Undecodable;
    return PictureStatus::Ok;
}

void Canvas::finish()
{
    m_painter.setTransform(QTransform());
}

} // namespace mosswick::picture::metafile
