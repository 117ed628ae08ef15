#include "metafile_writer.h"

#include <cstring>

namespace mfwrite {

Params& Params::u8(int v)
{
    m_data.append(char(v & 0xFF));
    return *this;
}

Params& Params::u16(int v)
{
    return u8(v).u8(v >> 8);
}

Params& Params::u32(quint32 v)
{
    return u16(int(v & 0xFFFF)).u16(int(v >> 16));
}

Params& Params::f32(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
}

Params& Params::rect(const QRect& r)
{
    return i32(r.left()).i32(r.top()).i32(r.left() + r.width()).i32(r.top() + r.height());
}

Params& Params::point(QPoint p)
{
    return i32(p.x()).i32(p.y());
}

Params& Params::colour(QRgb c)
{
    return u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c)).u8(0);
}

Params& Params::bytes(const QByteArray& b)
{
    m_data.append(b);
    return *this;
}

Dib dib24(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Dib d;
    const int stride = (image.width() * 3 + 3) / 4 * 4;
    d.info = Params()
                 .u32(40).i32(image.width()).i32(image.height()).u16(1).u16(24)
                 .u32(0).u32(quint32(stride * image.height())).i32(3780).i32(3780).u32(0).u32(0)
                 .data();
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            row.append(char(qBlue(px))).append(char(qGreen(px))).append(char(qRed(px)));
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        d.bits.append(row);
    }
    return d;
}

// --- EMF -----------------------------------------------------------------

EmfWriter::EmfWriter(QRect frame, QSize device_px, QSize device_mm)
    : m_frame(frame), m_device_px(device_px), m_device_mm(device_mm)
{
}

EmfWriter& EmfWriter::record(quint32 type, const QByteArray& params)
{
    QByteArray p = params;
    while (p.size() % 4)
        p.append('\0');
    m_records.append(Params().u32(type).u32(quint32(p.size() + 8)).data()).append(p);
    ++m_count;
    return *this;
}

EmfWriter& EmfWriter::world(const QTransform& t)
{
    return record(35, Params().f32(t.m11()).f32(t.m12()).f32(t.m21()).f32(t.m22()).f32(t.dx()).f32(t.dy()).data());
}

EmfWriter& EmfWriter::modify_world(const QTransform& t, int mode)
{
    return record(36, Params()
                          .f32(t.m11()).f32(t.m12()).f32(t.m21()).f32(t.m22()).f32(t.dx()).f32(t.dy())
                          .u32(quint32(mode))
                          .data());
}

EmfWriter& EmfWriter::solid_brush(int slot, QRgb c)
{
    m_handles = std::max(m_handles, slot + 1);
    return record(39, Params().u32(quint32(slot)).u32(0).colour(c).u32(0).data());
}

EmfWriter& EmfWriter::pen(int slot, int style, int width, QRgb c)
{
    m_handles = std::max(m_handles, slot + 1);
    return record(38, Params().u32(quint32(slot)).u32(quint32(style)).i32(width).i32(0).colour(c).data());
}

EmfWriter& EmfWriter::font(int slot, int height, const QString& face, int weight, int escapement)
{
    m_handles = std::max(m_handles, slot + 1);
    Params p;
    p.u32(quint32(slot)).i32(height).i32(0).i32(escapement).i32(escapement).i32(weight);
    p.u8(0).u8(0).u8(0).u8(1).u8(0).u8(0).u8(0).u8(0);
    for (int i = 0; i < 32; ++i)
        p.u16(i < face.size() ? face[i].unicode() : 0);
    return record(82, p.data());
}

EmfWriter& EmfWriter::polygon(const QPolygon& poly, bool small)
{
    Params p;
    p.rect(poly.boundingRect()).u32(quint32(poly.size()));
    for (QPoint pt : poly)
        small ? p.u16(pt.x()).u16(pt.y()) : p.point(pt);
    return record(small ? 86 : 3, p.data());
}

EmfWriter& EmfWriter::poly_polygon(const std::vector<QPolygon>& polys, bool small)
{
    Params p;
    int total = 0;
    for (const QPolygon& poly : polys)
        total += int(poly.size());
    p.rect(QRect()).u32(quint32(polys.size())).u32(quint32(total));
    for (const QPolygon& poly : polys)
        p.u32(quint32(poly.size()));
    for (const QPolygon& poly : polys)
        for (QPoint pt : poly)
            small ? p.u16(pt.x()).u16(pt.y()) : p.point(pt);
    return record(small ? 91 : 8, p.data());
}

EmfWriter& EmfWriter::text_w(QPoint at, const QString& s, const std::vector<int>& dx, int options, const QRect& rect)
{
    // Bounds, graphics mode, scales, then the text block: the string right
    // after it (padded to 4 bytes), then the advances.
    constexpr int k_string_at = 8 + 16 + 12 + 8 + 4 + 4 + 4 + 16 + 4;
    const int string_bytes = (int(s.size()) * 2 + 3) / 4 * 4;
    Params p;
    p.rect(QRect()).u32(1).f32(1).f32(1);
    p.point(at).u32(quint32(s.size())).u32(k_string_at).u32(quint32(options)).rect(rect);
    p.u32(dx.empty() ? 0 : quint32(k_string_at + string_bytes));
    for (QChar c : s)
        p.u16(c.unicode());
    if (s.size() % 2)
        p.u16(0);
    for (int advance : dx)
        p.i32(advance);
    return record(84, p.data());
}

EmfWriter& EmfWriter::small_text(QPoint at, const QString& s, int options, const QRect& rect)
{
    Params p;
    p.point(at).u32(quint32(s.size())).u32(quint32(options)).u32(1).f32(1).f32(1);
    if (!(options & 0x100))
        p.rect(rect);
    for (QChar c : s)
        (options & 0x200) ? p.u8(c.unicode()) : p.u16(c.unicode());
    return record(108, p.data());
}

EmfWriter& EmfWriter::stretch_dibits(const QRect& dest, const QImage& image, quint32 rop)
{
    return stretch_dibits(dest, dib24(image), image.size(), rop);
}

EmfWriter& EmfWriter::stretch_dibits(const QRect& dest, const Dib& d, QSize src, quint32 rop)
{
    constexpr int k_fixed = 80;
    Params p;
    p.rect(dest).i32(dest.x()).i32(dest.y()).i32(0).i32(0).i32(src.width()).i32(src.height());
    p.u32(k_fixed).u32(quint32(d.info.size())).u32(quint32(k_fixed + d.info.size())).u32(quint32(d.bits.size()));
    p.u32(0).u32(rop).i32(dest.width()).i32(dest.height());
    p.bytes(d.info).bytes(d.bits);
    return record(81, p.data());
}

EmfWriter& EmfWriter::comment(const QByteArray& data)
{
    return record(70, Params().u32(quint32(data.size())).bytes(data).data());
}

QByteArray EmfWriter::finish() const
{
    const QByteArray eof = Params().u32(14).u32(20).u32(0).u32(16).u32(20).data();
    constexpr int k_header = 88;
    const int total = k_header + int(m_records.size()) + int(eof.size());
    // 96 pixels per inch: 960 pixels over 254 mm.
    const QRect bounds(m_frame.left() * 96 / 2540, m_frame.top() * 96 / 2540, m_frame.width() * 96 / 2540,
                       m_frame.height() * 96 / 2540);
    Params h;
    h.u32(1).u32(k_header).rect(bounds).rect(m_frame);
    h.u32(0x464D4520).u32(0x10000).u32(quint32(total)).u32(quint32(m_count + 1));
    h.u16(m_handles).u16(0).u32(0).u32(0).u32(0);
    h.i32(m_device_px.width()).i32(m_device_px.height()).i32(m_device_mm.width()).i32(m_device_mm.height());
    return h.data() + m_records + eof;
}

// --- WMF -----------------------------------------------------------------

WmfWriter::WmfWriter(std::optional<QRect> box, int inch) : m_box(box), m_inch(inch) {}

WmfWriter& WmfWriter::raw(quint16 function, const QByteArray& params)
{
    QByteArray p = params;
    if (p.size() % 2)
        p.append('\0');
    const int words = 3 + int(p.size()) / 2;
    m_largest = std::max(m_largest, words);
    m_records.append(Params().u32(quint32(words)).u16(function).data()).append(p);
    return *this;
}

WmfWriter& WmfWriter::record(quint16 function, const std::vector<qint16>& params)
{
    Params p;
    for (qint16 v : params)
        p.u16(v);
    return raw(function, p.data());
}

WmfWriter& WmfWriter::solid_brush(QRgb c)
{
    ++m_objects;
    return raw(0x02FC, Params().u16(0).colour(c).u16(0).data());
}

WmfWriter& WmfWriter::null_pen()
{
    ++m_objects;
    return record(0x02FA, {5, 0, 0, 0, 0});
}

WmfWriter& WmfWriter::pattern_brush(const QByteArray& packed)
{
    ++m_objects;
    return raw(0x0142, Params().u16(5).u16(0).bytes(packed).data());
}

WmfWriter& WmfWriter::font(int height, int charset, const QByteArray& face, int escapement)
{
    ++m_objects;
    Params p;
    p.u16(height).u16(0).u16(escapement).u16(escapement).u16(400);
    p.u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
    p.bytes(face).u8(0);
    return raw(0x02FB, p.data());
}

WmfWriter& WmfWriter::rectangle(const QRect& r)
{
    return record(0x041B, {qint16(r.top() + r.height()), qint16(r.left() + r.width()), qint16(r.top()),
                           qint16(r.left())});
}

WmfWriter& WmfWriter::poly_polygon(const std::vector<QPolygon>& polys)
{
    Params p;
    p.u16(int(polys.size()));
    for (const QPolygon& poly : polys)
        p.u16(int(poly.size()));
    for (const QPolygon& poly : polys)
        for (QPoint pt : poly)
            p.u16(pt.x()).u16(pt.y());
    return raw(0x0538, p.data());
}

WmfWriter& WmfWriter::text_out(QPoint at, const QByteArray& s)
{
    QByteArray padded = s;
    if (padded.size() % 2)
        padded.append('\0');
    return raw(0x0521, Params().u16(int(s.size())).bytes(padded).u16(at.y()).u16(at.x()).data());
}

WmfWriter& WmfWriter::ext_text_out(QPoint at, const QByteArray& s, const std::vector<int>& dx)
{
    QByteArray padded = s;
    if (padded.size() % 2)
        padded.append('\0');
    Params p;
    p.u16(at.y()).u16(at.x()).u16(int(s.size())).u16(0).bytes(padded);
    for (int advance : dx)
        p.u16(advance);
    return raw(0x0A32, p.data());
}

WmfWriter& WmfWriter::stretch_dib(const QRect& dest, const QImage& image, quint32 rop)
{
    const Dib d = dib24(image);
    return stretch_dib(dest, d.info + d.bits, image.size(), rop);
}

WmfWriter& WmfWriter::stretch_dib(const QRect& dest, const QByteArray& packed, QSize src, quint32 rop)
{
    Params p;
    p.u32(rop).u16(0);
    p.u16(src.height()).u16(src.width()).u16(0).u16(0);
    p.u16(dest.height()).u16(dest.width()).u16(dest.y()).u16(dest.x());
    p.bytes(packed);
    return raw(0x0F43, p.data());
}

WmfWriter& WmfWriter::pat_blt(const QRect& dest, quint32 rop)
{
    return raw(0x061D, Params().u32(rop).u16(dest.height()).u16(dest.width()).u16(dest.y()).u16(dest.x()).data());
}

QByteArray WmfWriter::finish() const
{
    const QByteArray eof = Params().u32(3).u16(0).data();
    const int words = (18 + int(m_records.size()) + int(eof.size())) / 2;
    QByteArray out;
    if (m_box) {
        Params ph;
        ph.u32(0x9AC6CDD7).u16(0);
        ph.u16(m_box->left()).u16(m_box->top()).u16(m_box->left() + m_box->width()).u16(m_box->top() + m_box->height());
        ph.u16(m_inch).u32(0);
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= quint16(uchar(ph.data()[2 * i]) | uchar(ph.data()[2 * i + 1]) << 8);
        ph.u16(sum);
        out.append(ph.data());
    }
    Params h;
    h.u16(1).u16(9).u16(0x0300).u32(quint32(words)).u16(std::max(m_objects, 1)).u32(quint32(m_largest)).u16(0);
    out.append(h.data()).append(m_records).append(eof);
    return out;
}

} // namespace mfwrite
