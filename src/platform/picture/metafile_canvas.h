#pragma once

// Internal to the metafile player: the drawing state both record formats
// share (mapping, world transform, selected objects, modes, path, clip,
// saved states) and the drawing calls their records turn into. Coordinates
// given to it are logical; it maps them onto the painter's target.

#include "platform/picture/metafile_bytes.h"
#include "platform/picture/metafile_dib.h"
#include "platform/picture/picture.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

#include <optional>
#include <vector>

class QPainter;

namespace mosswick::picture::metafile {

inline constexpr int k_max_records = 8'000'000;
inline constexpr int k_max_objects = 65536;
inline constexpr int k_max_save_depth = 1024;
inline constexpr qint64 k_max_path_points = 1'000'000;
inline constexpr int k_max_clip_elements = 8192;
// Decoded bitmap pixels over the whole file (4 bytes each: 4 GiB).
inline constexpr qint64 k_max_bitmap_pixels = qint64(1) << 30;

struct PenSpec {
    bool null = false;
    QColor color = Qt::black;
    double width = 0;  // logical units; 0 is one device pixel
    quint32 style = 0;
    std::vector<double> dashes;  // user style, in widths
};

struct BrushSpec {
    bool null = false;
    QColor color = Qt::white;
    int hatch = -1;  // a hatch style, -1 for none
    QImage pattern;  // a bitmap brush when not null
};

struct FontSpec {
    int height = 0;  // logical; negative: character height, positive: cell height
    int weight = 400;
    int escapement = 0;  // tenths of a degree
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int charset = 1;
    QString face;
};

struct GdiObject {
    enum class Kind { Empty, Pen, Brush, Font, Other };
    Kind kind = Kind::Empty;
    PenSpec pen;
    BrushSpec brush;
    FontSpec font;
};

enum class ArcShape { Arc, Chord, Pie, ArcTo };

// Raster operations and text options we act on.
inline constexpr quint32 k_rop_srccopy = 0x00CC0020;
inline constexpr int k_text_opaque = 0x2;
inline constexpr int k_text_clipped = 0x4;
inline constexpr int k_text_glyph_index = 0x10;
inline constexpr int k_align_update_cp = 0x1;  // TA_UPDATECP: text starts at the current position

// The font of f at px pixels: the size its height comes to on the target (a
// positive height is the whole cell, leading included).
QFont font_at(const FontSpec& f, double px);

// How far text in f turns on the target, in degrees as QPainter::rotate
// takes them; flipped when the mapping's y axis points up.
double text_turn(const FontSpec& f, bool flipped);

// The width of s as drawn (its first k_max_text_units code units): the sum
// of its advances dx times scale when there is one for each, else what
// metrics measure.
inline constexpr qsizetype k_max_text_units = 8192;
double text_width(const QString& s, const std::vector<double>& dx, double scale, const QFontMetricsF& metrics);

// A line of text of some width around its reference point by the text
// alignment flags, in the line's own axes (x along it, y down).
struct TextLayout {
    double x0 = 0;       // where the line starts
    double base = 0;     // its baseline
    QRectF box;          // what it covers, ascent to descent
    double advance = 0;  // how far it moves the current position along x
};
TextLayout lay_out_text(int align, double width, const QFontMetricsF& metrics);

class Canvas {
public:
    // The EMF canvas maps its reference device's frame (pixels) onto target;
    // px_per_mm gives the size of the fixed map modes' units.
    static Canvas for_emf(QPainter& painter, const QRectF& target, const QRectF& frame, QSizeF px_per_mm,
                          int objects);
    // The WMF canvas maps the window (first the placeable box or the first
    // window extent) onto target; device_offset, the device point at the
    // window's corner, places a file sized by the extent of its records.
    static Canvas for_wmf(QPainter& painter, const QRectF& target, const QRectF& window, QPointF device_offset,
                          int objects);

    // Mapping.
    void set_map_mode(int mode);
    void set_window_org(QPointF p);
    void set_window_ext(QSizeF s);
    void set_viewport_org(QPointF p);
    void set_viewport_ext(QSizeF s);
    void offset_window_org(QPointF d);
    void scale_window_ext(int xnum, int xdenom, int ynum, int ydenom);
    void scale_viewport_ext(int xnum, int xdenom, int ynum, int ydenom);
    // Transforms with non-finite or absurd factors are refused (false).
    bool set_world(const QTransform& t);
    bool modify_world(const QTransform& t, int mode);
    bool save();
    bool restore(int which);

    // Objects: slots numbered from 0; stock objects by their number.
    bool put_object(qint64 index, GdiObject object);
    // The lowest empty slot (WMF numbering), -1 when the table is full.
    int free_slot() const;
    bool select_object(qint64 index);
    bool select_stock(quint32 stock);
    void delete_object(qint64 index);

    // Modes and colours.
    void set_bk_mode(int m);
    void set_bk_color(QColor c);
    void set_text_color(QColor c);
    void set_fill_mode(int m);
    void set_text_align(int a);
    void set_rop2(int r);
    void set_arc_direction(int d);
    void set_miter_limit(double m);

    // Drawing, in logical coordinates.
    void move_to(QPointF p);
    void line_to(QPointF p);
    void polyline(const QPolygonF& points);
    void polyline_to(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void poly_polygon(const std::vector<QPolygonF>& polygons);
    void poly_polyline(const std::vector<QPolygonF>& polylines);
    void poly_bezier(const QPolygonF& points);
    void poly_bezier_to(const QPolygonF& points);
    void rectangle(const QRectF& box);
    void round_rect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, QPointF start, QPointF end, ArcShape shape);
    void set_pixel(QPointF p, QColor c);
    // Text at a reference point (or the current position when the alignment
    // says so); dx, when not empty, holds each code unit's advance.
    void text(QPointF ref, const QString& s, const std::vector<double>& dx, int options,
              const std::optional<QRectF>& rect);
    // A bitmap's src rectangle (its pixels) into dest (logical), at opacity,
    // combined with what is drawn by the raster operation rop.
    void bitmap(const QRectF& dest, const QImage& image, const QRectF& src, quint32 rop, double opacity = 1);
    // A block transfer without a source: the brush, black, white, or any
    // operation of the brush and what is drawn.
    void pattern_fill(const QRectF& dest, quint32 rop);
    // Fills (or outlines) region rectangles given in logical units.
    void fill_rects(const std::vector<QRectF>& rects, const BrushSpec* brush);

    // Paths.
    void begin_path();
    void end_path();
    void abort_path();
    void close_figure();
    void fill_path();
    void stroke_path();
    void stroke_and_fill_path();
    void select_clip_path(int mode);

    // Clipping.
    void intersect_clip(const QRectF& logical);
    void exclude_clip(const QRectF& logical);
    // Region rectangles in device units; none with mode 5 (copy) clears.
    void select_clip_region(const std::vector<QRectF>& device_rects, int mode);
    void reset_clip();
    void offset_clip(QPointF logical);

    const FontSpec& font() const { return m_dc.font; }
    const BrushSpec& brush() const { return m_dc.brush; }
    QPointF current() const { return m_dc.cur; }
    const GdiObject* object(qint64 index) const;

    // Ends the play with this status (the first one given stays).
    void fail(PictureStatus status)
    {
        if (m_failure == PictureStatus::Ok)
            m_failure = status;
    }
    // Takes a bitmap decode's outcome: a damaged or unsupported bitmap is
    // skipped (counted, the rest is drawn), a huge one ends the play.
    void note_bitmap(DibStatus status);
    // Ok while the play may go on after this record; else why it ends.
    PictureStatus verdict(const Bytes& record) const;

    // Records read but not drawn.
    void skip() { ++m_skipped; }
    int skipped() const { return m_skipped; }
    // True once the drawing work passed the budget for this target.
    bool over_budget() const { return m_work > m_budget; }
    // Decoded bitmap pixels still allowed.
    qint64* bitmap_budget() { return &m_bitmap_budget; }

    void finish();

private:
    struct Dc {
        int map_mode = 1;
        QPointF window_org;
        QSizeF window_ext{1, 1};
        QPointF viewport_org;
        QSizeF viewport_ext{1, 1};
        QTransform world;
        PenSpec pen;
        BrushSpec brush;
        FontSpec font;
        QColor text_color = Qt::black;
        QColor bk_color = Qt::white;
        int bk_mode = 2;
        int fill_mode = 1;
        int text_align = 0;
        int rop2 = 13;
        int arc_direction = 1;
        double miter_limit = 10;
        QPointF cur;
        std::optional<QPainterPath> clip;  // target coordinates
    };

    Canvas(QPainter& painter, const QRectF& target, int objects);

    QTransform page() const;
    QTransform to_target() const;
    // Adds to the open path or draws the shape (logical coordinates).
    void shape(const QPainterPath& path, bool fill, bool stroke);
    void draw_target(const QPainterPath& target_path, bool fill, bool stroke);
    bool apply_transform(const QTransform& t);
    void apply_clip();
    QPen qpen(const QTransform& t, const QPainterPath& target_path) const;
    QBrush qbrush(const BrushSpec& b) const;
    void charge(double work);
    // How far outside the target (pixels) a shape may reach and still be drawn.
    double reach() const;
    bool within_reach(const QRectF& target_box) const;
    // Combines the bitmap's src (none: the transfer's area alone) in dest
    // with the brush and the pixels below by the raster operation's truth
    // table. Works on the painter's image; false when it draws elsewhere.
    bool raster_op(const QRectF& dest, const QImage* image, const QRectF& src, quint8 code);
    void combine_clip(const QPainterPath& operand, int mode);
    void add_to_path(const QPainterPath& logical, bool continue_figure);
    // A line drawing from the current position: extends the open figure, or
    // is drawn.
    void figure(const QPainterPath& path);
    double device_font_scale() const;

    QPainter& m_painter;
    QRectF m_target;
    bool m_emf = true;
    QTransform m_device_to_target;  // EMF: reference device pixels to target
    QSizeF m_px_per_mm{96 / 25.4, 96 / 25.4};
    QRectF m_wmf_window;            // WMF: the window mapped onto target
    QPointF m_wmf_offset;           // WMF: added to the window origin
    Dc m_dc;
    std::vector<Dc> m_saved;
    std::vector<GdiObject> m_objects;
    int m_object_limit = 0;
    bool m_in_path = false;
    QPainterPath m_path;  // target coordinates
    bool m_path_done = false;
    bool m_clip_dirty = true;
    int m_skipped = 0;
    PictureStatus m_failure = PictureStatus::Ok;
    double m_work = 0;
    double m_budget = 0;
    qint64 m_bitmap_budget = k_max_bitmap_pixels;
};

} // namespace mosswick::picture::metafile
