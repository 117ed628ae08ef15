#pragma once

// Metafiles written record by record, for tests and fuzz seeds: an enhanced
// metafile (EMF) and a Windows metafile (WMF, with or without the placeable
// header). Helpers cover the records the tests draw with; record() adds any
// record, well-formed or not.

#include <QByteArray>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QTransform>

#include <optional>
#include <vector>

namespace mfwrite {

// Little-endian pieces of a record's parameters.
class Params {
public:
    Params& u8(int v);
    Params& u16(int v);
    Params& u32(quint32 v);
    Params& i32(qint32 v) { return u32(quint32(v)); }
    Params& f32(float v);
    Params& rect(const QRect& r);  // left, top, right, bottom as 32-bit values
    Params& point(QPoint p);       // x, y as 32-bit values
    Params& colour(QRgb c);        // COLORREF: red, green, blue, 0
    Params& bytes(const QByteArray& b);
    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

// A device-independent bitmap (info and rows), 24 bits per pixel, bottom-up.
struct Dib {
    QByteArray info;
    QByteArray bits;
};
Dib dib24(const QImage& image);

class EmfWriter {
public:
    // A frame of frame_mm100 (0.01 mm); the reference device has 96 pixels
    // per inch unless given (its size in pixels and in millimetres), so 2540
    // units are 96 pixels.
    explicit EmfWriter(QRect frame_mm100 = QRect(0, 0, 2541, 2541), QSize device_px = QSize(960, 960),
                       QSize device_mm = QSize(254, 254));

    EmfWriter& record(quint32 type, const QByteArray& params);

    EmfWriter& map_mode(int mode) { return u32_record(17, quint32(mode)); }
    EmfWriter& window_org(QPoint p) { return record(10, Params().point(p).data()); }
    EmfWriter& window_ext(QSize s) { return record(9, Params().i32(s.width()).i32(s.height()).data()); }
    EmfWriter& viewport_org(QPoint p) { return record(12, Params().point(p).data()); }
    EmfWriter& viewport_ext(QSize s) { return record(11, Params().i32(s.width()).i32(s.height()).data()); }
    EmfWriter& world(const QTransform& t);
    EmfWriter& modify_world(const QTransform& t, int mode);
    EmfWriter& save() { return record(33, {}); }
    EmfWriter& restore(int which) { return u32_record(34, quint32(which)); }
    EmfWriter& fill_mode(int mode) { return u32_record(19, quint32(mode)); }
    EmfWriter& text_colour(QRgb c) { return record(24, Params().colour(c).data()); }
    EmfWriter& text_align(int a) { return u32_record(22, quint32(a)); }
    EmfWriter& bk_mode(int m) { return u32_record(18, quint32(m)); }
    EmfWriter& bk_colour(QRgb c) { return record(25, Params().colour(c).data()); }
    // Objects: pens and brushes get the given slot (from 1).
    EmfWriter& solid_brush(int slot, QRgb c);
    EmfWriter& pen(int slot, int style, int width, QRgb c);
    EmfWriter& font(int slot, int height, const QString& face, int weight = 400, int escapement = 0);
    EmfWriter& select(int slot) { return u32_record(37, quint32(slot)); }
    EmfWriter& select_stock(int stock) { return u32_record(37, 0x80000000u | quint32(stock)); }
    EmfWriter& rectangle(const QRect& r) { return record(43, Params().rect(r).data()); }
    EmfWriter& ellipse(const QRect& r) { return record(42, Params().rect(r).data()); }
    EmfWriter& polygon(const QPolygon& p, bool small = false);
    EmfWriter& poly_polygon(const std::vector<QPolygon>& polys, bool small = false);
    // ExtTextOutW; dx, when given, holds each character's advance; options
    // and rect as the record has them (ETO_OPAQUE, ETO_CLIPPED).
    EmfWriter& text_w(QPoint at, const QString& s, const std::vector<int>& dx = {}, int options = 0,
                      const QRect& rect = QRect());
    // SmallTextOut: 8-bit characters with ETO_SMALL_CHARS (0x200) in
    // options, else UTF-16; the rectangle unless ETO_NO_RECT (0x100).
    EmfWriter& small_text(QPoint at, const QString& s, int options, const QRect& rect = QRect());
    EmfWriter& stretch_dibits(const QRect& dest, const QImage& image, quint32 rop = 0x00CC0020);
    // StretchDIBits of a bitmap given as its info and rows (any compression),
    // its source size src.
    EmfWriter& stretch_dibits(const QRect& dest, const Dib& dib, QSize src, quint32 rop = 0x00CC0020);
    EmfWriter& intersect_clip(const QRect& r) { return record(30, Params().rect(r).data()); }
    EmfWriter& exclude_clip(const QRect& r) { return record(29, Params().rect(r).data()); }
    EmfWriter& begin_path() { return record(59, {}); }
    EmfWriter& end_path() { return record(60, {}); }
    EmfWriter& fill_path() { return record(62, Params().rect(QRect()).data()); }
    EmfWriter& comment(const QByteArray& data);

    // The file with an end record; nBytes and the counts filled in.
    QByteArray finish() const;

private:
    EmfWriter& u32_record(quint32 type, quint32 v) { return record(type, Params().u32(v).data()); }
    QRect m_frame;
    QSize m_device_px;
    QSize m_device_mm;
    QByteArray m_records;
    int m_count = 1;
    int m_handles = 1;
};

class WmfWriter {
public:
    // With a placeable header when box is given (units per inch: inch).
    explicit WmfWriter(std::optional<QRect> box = std::nullopt, int inch = 1440);

    // A record from its function and 16-bit parameters (or raw bytes).
    WmfWriter& record(quint16 function, const std::vector<qint16>& params);
    WmfWriter& raw(quint16 function, const QByteArray& params);

    WmfWriter& window_org(QPoint p) { return record(0x020B, {qint16(p.y()), qint16(p.x())}); }
    WmfWriter& window_ext(QSize s) { return record(0x020C, {qint16(s.height()), qint16(s.width())}); }
    WmfWriter& map_mode(int m) { return record(0x0103, {qint16(m)}); }
    WmfWriter& fill_mode(int m) { return record(0x0106, {qint16(m)}); }
    WmfWriter& bk_mode(int m) { return record(0x0102, {qint16(m)}); }
    // Objects take the lowest free slot, from 0.
    WmfWriter& solid_brush(QRgb c);
    WmfWriter& null_pen();
    // DibCreatePatternBrush of a packed bitmap.
    WmfWriter& pattern_brush(const QByteArray& packed);
    WmfWriter& font(int height, int charset, const QByteArray& face, int escapement = 0);
    WmfWriter& select(int slot) { return record(0x012D, {qint16(slot)}); }
    WmfWriter& remove(int slot) { return record(0x01F0, {qint16(slot)}); }
    WmfWriter& rectangle(const QRect& r);
    WmfWriter& poly_polygon(const std::vector<QPolygon>& polys);
    WmfWriter& text_out(QPoint at, const QByteArray& s);
    // ExtTextOut without a rectangle; dx, when given, one advance a byte.
    WmfWriter& ext_text_out(QPoint at, const QByteArray& s, const std::vector<int>& dx = {});
    WmfWriter& text_align(int a) { return record(0x012E, {qint16(a)}); }
    WmfWriter& move_to(QPoint p) { return record(0x0214, {qint16(p.y()), qint16(p.x())}); }
    WmfWriter& stretch_dib(const QRect& dest, const QImage& image, quint32 rop = 0x00CC0020);
    // StretchDIB of a packed bitmap (info, colour table, rows) of src size.
    WmfWriter& stretch_dib(const QRect& dest, const QByteArray& packed, QSize src, quint32 rop = 0x00CC0020);
    // PatBlt: the brush combined with what is drawn by rop.
    WmfWriter& pat_blt(const QRect& dest, quint32 rop);

    QByteArray finish() const;

private:
    std::optional<QRect> m_box;
    int m_inch;
    QByteArray m_records;
    int m_largest = 3;
    int m_objects = 0;
};

} // namespace mfwrite
