#include "platform/picture/metafile_clip.h"

#include <algorithm>
#include <vector>

namespace mosswick::picture::metafile {

namespace {

struct Segment {
    QPointF c1, c2;  // a curve's control points
    QPointF to;
    bool curve = false;
};

struct Figure {
    QPointF start;
    std::vector<Segment> segments;
};

struct Box {
    double left, top, right, bottom;
};

Box box_of(std::initializer_list<QPointF> points)
{
    Box b{points.begin()->x(), points.begin()->y(), points.begin()->x(), points.begin()->y()};
    for (const QPointF& p : points) {
        b.left = std::min(b.left, p.x());
        b.right = std::max(b.right, p.x());
        b.top = std::min(b.top, p.y());
        b.bottom = std::max(b.bottom, p.y());
    }
    return b;
}

bool inside(const Box& b, const QRectF& w)
{
    return b.left >= w.left() && b.right <= w.right() && b.top >= w.top() && b.bottom <= w.bottom();
}

bool apart(const Box& b, const QRectF& w)
{
    return b.right < w.left() || b.left > w.right() || b.bottom < w.top() || b.top > w.bottom();
}

// What is left of a path's curves: pieces inside window, and chords
// standing in for the others. A chord differs from its curve only inside
// the curve's hull, so a piece whose hull stays clear of what is seen (all
// but the two pixels along window's edge) may be a chord. The rest is split;
// each split piece reaches across that band, so there are few of them, but a
// path that needs more than its budget is left whole.
class Curves {
public:
    Curves(const QRectF& window, qint64 budget)
        : m_window(window), m_seen(window.adjusted(2, 2, -2, -2)), m_budget(budget)
    {
    }
    bool over() const { return m_budget < 0; }

    void reduce(QPointF from, const Segment& s, std::vector<Segment>* out, int depth = 0)
    {
        const Box hull = box_of({from, s.c1, s.c2, s.to});
        --m_budget;
        if (inside(hull, m_window)) {
            out->push_back(s);
        } else if (apart(hull, m_seen) || depth >= 48 || over()) {
            out->push_back({{}, {}, s.to, false});
        } else {
            const QPointF a = (from + s.c1) / 2, b = (s.c1 + s.c2) / 2, c = (s.c2 + s.to) / 2;
            const QPointF ab = (a + b) / 2, bc = (b + c) / 2;
            const QPointF mid = (ab + bc) / 2;
            reduce(from, {a, ab, mid, true}, out, depth + 1);
            reduce(mid, {bc, c, s.to, true}, out, depth + 1);
        }
    }

private:
    QRectF m_window;
    QRectF m_seen;
    qint64 m_budget;
};

// The path's subpaths, with every curve left inside window; none when its
// curves would take too long to cut.
std::vector<Figure> figures_of(const QPainterPath& path, const QRectF& window)
{
    Curves curves(window, 64 * qint64(path.elementCount()) + 4096);
    std::vector<Figure> out;
    QPointF at;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.isMoveTo() || out.empty()) {
            out.push_back({QPointF(e), {}});
            at = QPointF(e);
            if (e.isMoveTo())
                continue;
        }
        if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const Segment s{QPointF(e), QPointF(path.elementAt(i + 1)), QPointF(path.elementAt(i + 2)), true};
            curves.reduce(at, s, &out.back().segments);
            at = s.to;
            i += 2;
        } else {
            at = QPointF(e);
            out.back().segments.push_back({{}, {}, at, false});
        }
    }
    if (curves.over())
        return {};
    return out;
}

// Signed distance inside one of window's four edges.
double depth_in(QPointF p, const QRectF& w, int edge)
{
    switch (edge) {
    case 0: return p.x() - w.left();
    case 1: return w.right() - p.x();
    case 2: return p.y() - w.top();
    default: return w.bottom() - p.y();
    }
}

// The closed figure on the inner side of one edge: each run outside is
// replaced by the stretch of the edge between where it left and came back,
// which changes the winding number on the outer side only.
Figure clip_closed(const Figure& f, const QRectF& w, int edge)
{
    Figure out;
    std::vector<Segment>& kept = out.segments;
    const size_t n = f.segments.size();
    for (size_t i = 0; i <= n; ++i) {
        // The closing line back to the start comes last, unless the figure
        // is closed already.
        const QPointF a = i == 0 ? f.start : f.segments[i - 1].to;
        if (i == n && a == f.start)
            break;
        const Segment s = i < n ? f.segments[i] : Segment{{}, {}, f.start, false};
        const double da = depth_in(a, w, edge), db = depth_in(s.to, w, edge);
        const auto cut = [&] { return Segment{{}, {}, a + (s.to - a) * (da / (da - db)), false}; };
        if (da >= 0 && db >= 0)
            kept.push_back(s);  // curves are inside window by now
        else if (da >= 0)
            kept.push_back(cut());
        else if (db >= 0)
            kept.insert(kept.end(), {cut(), Segment{{}, {}, s.to, false}});
    }
    if (!kept.empty())
        out.start = kept.back().to;
    return out;
}

void append(QPainterPath& path, const Segment& s)
{
    if (s.curve)
        path.cubicTo(s.c1, s.c2, s.to);
    else
        path.lineTo(s.to);
}

void add_closed(QPainterPath& out, const Figure& f, const QRectF& window)
{
    Figure clipped = f;
    for (int edge = 0; edge < 4 && !clipped.segments.empty(); ++edge)
        clipped = clip_closed(clipped, window, edge);
    if (clipped.segments.empty())
        return;
    out.moveTo(clipped.start);
    for (const Segment& s : clipped.segments)
        append(out, s);
}

// The part of the line from a to b inside window, as the parameters t0 and
// t1 along it; false when none is.
bool clip_line(QPointF a, QPointF b, const QRectF& w, double* t0, double* t1)
{
    *t0 = 0;
    *t1 = 1;
    const QPointF d = b - a;
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {a.x() - w.left(), w.right() - a.x(), a.y() - w.top(), w.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            *t0 = std::max(*t0, t);
        else
            *t1 = std::min(*t1, t);
    }
    return *t0 <= *t1;
}

void add_open(QPainterPath& out, const Figure& f, const QRectF& window)
{
    bool drawing = false;
    QPointF from = f.start;
    for (const Segment& s : f.segments) {
        double t0 = 0, t1 = 1;
        if (s.curve) {
            if (!drawing)
                out.moveTo(from);
            append(out, s);
            drawing = true;
        } else if (clip_line(from, s.to, window, &t0, &t1)) {
            const QPointF d = s.to - from;
            if (!drawing)
                out.moveTo(from + d * t0);
            out.lineTo(t1 >= 1 ? s.to : from + d * t1);
            drawing = t1 >= 1;
        } else {
            drawing = false;
        }
        from = s.to;
    }
}

bool within(const QPainterPath& path, const QRectF& window)
{
    const QRectF b = path.controlPointRect();
    return inside({b.left(), b.top(), b.right(), b.bottom()}, window);
}

} // namespace

QPainterPath clip_for_fill(const QPainterPath& path, const QRectF& window)
{
    const std::vector<Figure> figures = within(path, window) ? std::vector<Figure>() : figures_of(path, window);
    if (figures.empty())
        return path;
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (const Figure& f : figures)
        add_closed(out, f, window);
    return out;
}

QPainterPath clip_for_stroke(const QPainterPath& path, const QRectF& window)
{
    const std::vector<Figure> figures = within(path, window) ? std::vector<Figure>() : figures_of(path, window);
    if (figures.empty())
        return path;
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (const Figure& f : figures) {
        // The stroker joins a subpath that ends where it starts.
        if (!f.segments.empty() && f.segments.back().to == f.start)
            add_closed(out, f, window);
        else
            add_open(out, f, window);
    }
    return out;
}

} // namespace mosswick::picture::metafile
