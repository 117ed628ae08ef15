#include "platform/picture/picture_io.h"

#include "platform/picture/format_walk.h"
#include "platform/picture/metafile.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <limits>

namespace mosswick::picture::detail {

namespace {

quint32 le16(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8;
}

quint32 le32(const QByteArray& b, int at)
{
    return le16(b, at) | le16(b, at + 2) << 16;
}

quint32 be16(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) << 8 | quint32(uchar(b[at + 1]));
}

quint32 be32(const QByteArray& b, int at)
{
    return be16(b, at) << 16 | be16(b, at + 2);
}

bool starts_with(const QByteArray& b, const char* magic, int n)
{
    return b.size() >= n && std::memcmp(b.constData(), magic, size_t(n)) == 0;
}

QByteArray read_at(QIODevice* d, qint64 pos, qint64 len)
{
    if (pos < 0 || len <= 0 || !d->seek(pos))
        return {};
    return d->read(len);
}

const char* qt_format(PictureFormat f)
{
    switch (f) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Png: return "png";
    case PictureFormat::Tiff: return "tiff";
    case PictureFormat::Ico: return "ico";
    default: return "";
    }
}

// --- jpg ---------------------------------------------------------------

struct JpegWalk {
    bool ran_out = false;  // the data ended inside the headers
    qint64 sos = -1;       // offset of the first scan's marker
    QSize size;            // from the frame header, when one came first
    bool progressive = false;
};

// Largest jpg whose scans are walked when it has no end marker.
constexpr qint64 k_max_walked_jpeg = qint64(256) << 20;

// The position of the next 0xFF that starts a marker, at or after from; -1
// when none does.
qint64 next_marker(QIODevice* d, qint64 from, qint64 total)
{
    constexpr qint64 k_block = 4096;
    for (qint64 at = from; at < total; at += k_block) {
        const QByteArray buf = read_at(d, at, k_block + 1);
        for (qsizetype i = 0; i + 1 < buf.size(); ++i)
            if (uchar(buf[i]) == 0xFF && buf[i + 1] != 0)
                return at + i;
        if (buf.size() <= k_block)
            break;
    }
    return -1;
}

// Walks the marker segments up to the first scan. Reads segment headers only.
JpegWalk walk_jpeg(QIODevice* d, qint64 total)
{
    // Real files have a few dozen segments before their first scan; a file
    // made of nothing but tiny segments must not keep us reading forever.
    constexpr int k_max_segments = 65536;
    JpegWalk w;
    qint64 pos = 2;
    for (int segments = 0; segments < k_max_segments; ++segments) {
        const QByteArray m = read_at(d, pos, 4);
        if (m.size() < 2) {
            w.ran_out = true;
            return w;
        }
        if (uchar(m[0]) != 0xFF) {
            // Stray bytes between segments: decoders go on at the next marker.
            pos = next_marker(d, pos, total);
            if (pos < 0)
                return w;  // none follows: corrupt, not short
            continue;
        }
        const uchar code = uchar(m[1]);
        if (code == 0xFF) {
            // Fill bytes: skip the whole run in one read, to the last 0xFF
            // before the marker code.
            const QByteArray run = read_at(d, pos + 1, 4096);
            int k = 0;
            while (k < run.size() && uchar(run[k]) == 0xFF)
                ++k;
            if (k == 0) {
                w.ran_out = true;
                return w;
            }
            pos += k;
            continue;
        }
        if (code == 0xD8 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (code == 0xD9)
            return w;  // an image without a scan
        if (m.size() < 4) {
            w.ran_out = true;
            return w;
        }
        if (code == 0xDA) {
            w.sos = pos;
            return w;
        }
        const qint64 len = be16(m, 2);
        if (len < 2)
            return w;
        if (is_jpeg_frame(code)) {
            const QByteArray f = read_at(d, pos + 5, 4);
            if (f.size() < 4) {
                w.ran_out = true;
                return w;
            }
            w.size = QSize(int(be16(f, 2)), int(be16(f, 0)));
            // SOF2, 6, 10 and 14: the decoder keeps every coefficient of the
            // whole picture until the last scan.
            w.progressive = (code & 0x03) == 0x02;
        }
        pos += 2 + len;
        if (pos >= total) {
            w.ran_out = true;
            return w;
        }
    }
    return w;
}

// True when the two bytes a, b occur at or after `from`; searches from the end
// backwards, so a normal file answers from its last block.
bool has_pair_after(QIODevice* d, qint64 from, qint64 total, char a, char b)
{
    const char pair[2] = {a, b};
    const QByteArrayView needle(pair, 2);
    constexpr qint64 k_block = 1 << 16;
    qint64 end = total;
    while (end > from) {
        const qint64 start = std::max(from, end - k_block);
        // One byte of overlap with the block after, so a pair across the
        // boundary is found.
        const qint64 len = std::min(total, end + 1) - start;
        const QByteArray buf = read_at(d, start, len);
        if (buf.size() < len)
            return false;
        if (buf.lastIndexOf(needle) >= 0)
            return true;
        end = start;
    }
    return false;
}

// --- ico ---------------------------------------------------------------

struct IcoEntry {
    int index = 0;
    QSize size;
    int bits = 0;
    qint64 offset = 0;
    qint64 length = 0;
};

// Reads the directory and the real size of each image (a png inside an ico
// may be larger than the directory's 256 limit says).
std::vector<IcoEntry> read_ico_directory(QIODevice* d, qint64 total, bool* short_data)
{
    *short_data = false;
    std::vector<IcoEntry> entries;
    const QByteArray head = read_at(d, 0, 6);
    if (head.size() < 6)
        return entries;
    const int count = int(le16(head, 4));
    const QByteArray dir = read_at(d, 6, qint64(count) * 16);
    if (dir.size() < count * 16) {
        *short_data = true;
        return entries;
    }
    for (int i = 0; i < count; ++i) {
        const int at = i * 16;
        IcoEntry e;
        e.index = i;
        const int w = uchar(dir[at]) ? uchar(dir[at]) : 256;
        const int h = uchar(dir[at + 1]) ? uchar(dir[at + 1]) : 256;
        e.size = QSize(w, h);
        e.bits = int(le16(dir, at + 6));
        e.length = le32(dir, at + 8);
        e.offset = le32(dir, at + 12);
        if (e.offset + e.length > total)
            *short_data = true;
        const QByteArray body = read_at(d, e.offset, 24);
        if (starts_with(body, "\x89PNG\r\n\x1a\n", 8) && body.size() >= 24) {
            e.size = QSize(int(be32(body, 16)), int(be32(body, 20)));
        } else if (body.size() >= 12 && le32(body, 0) >= 40) {
            const qint32 bw = qint32(le32(body, 4));
            const qint32 bh = qint32(le32(body, 8));
            if (bw > 0 && bh != 0)
                e.size = QSize(bw, int(std::abs(qint64(bh)) / 2));  // colour plus mask rows
        }
        entries.push_back(e);
    }
    return entries;
}

Probe probe_ico(const OpenedSource& src)
{
    Probe p;
    p.format = PictureFormat::Ico;
    bool short_data = false;
    const auto entries = read_ico_directory(src.device(), src.size(), &short_data);
    if (entries.empty()) {
        p.status = short_data ? PictureStatus::Truncated : PictureStatus::Undecodable;
        return p;
    }
    const IcoEntry* best = &entries.front();
    for (const IcoEntry& e : entries) {
        const qint64 area = qint64(e.size.width()) * e.size.height();
        const qint64 best_area = qint64(best->size.width()) * best->size.height();
        if (area > best_area || (area == best_area && e.bits > best->bits))
            best = &e;
    }
    p.size = best->size;
    p.image_index = best->index;
    p.status = PictureStatus::Ok;
    return p;
}

// --- bmp ---------------------------------------------------------------

// Where a bitmap's pixel data ends: with the last row's padding (whole), and
// where its last pixel ends (needed). -1 when the header does not say (RLE
// without a stored size, unknown compression).
struct BmpEnd {
    qint64 whole = -1;
    qint64 needed = -1;
};

BmpEnd bmp_data_end(QIODevice* d)
{
    BmpEnd out;
    const QByteArray h = read_at(d, 0, 54);
    if (h.size() < 26)
        return out;
    const qint64 off = le32(h, 10);
    const quint32 header_size = le32(h, 14);
    qint64 w = 0;
    qint64 rows = 0;
    int bpp = 0;
    quint32 compression = 0;
    quint32 image_size = 0;
    if (header_size == 12) {
        w = le16(h, 18);
        rows = le16(h, 20);
        bpp = int(le16(h, 24));
    } else if (header_size >= 40 && h.size() >= 38) {
        w = qint32(le32(h, 18));
        rows = std::abs(qint64(qint32(le32(h, 22))));
        bpp = int(le16(h, 28));
        compression = le32(h, 30);
        image_size = le32(h, 34);
    } else {
        return out;
    }
    switch (compression) {
    case 0:   // plain
    case 3:   // bit fields
    case 6: { // alpha bit fields
        // A hostile header can claim sizes whose product overflows: such a
        // body cannot be in the file, so it reads as cut short.
        qint64 bits = 0;
        qint64 bytes = 0;
        if (w < 0 || __builtin_mul_overflow(w, qint64(bpp), &bits)
            || __builtin_mul_overflow((bits + 31) / 32 * 4, rows, &bytes)
            || __builtin_add_overflow(off, bytes, &out.whole)) {
            out.whole = out.needed = std::numeric_limits<qint64>::max();
            return out;
        }
        // The last row's padding carries nothing.
        out.needed = rows == 0 ? out.whole : out.whole - (bits + 31) / 32 * 4 + (bits + 7) / 8;
        return out;
    }
    case 1:  // RLE8
    case 2:  // RLE4
        if (image_size > 0)
            out.whole = out.needed = off + image_size;
        return out;
    default:
        return out;
    }
}

// A device reading as its source followed by zero bytes up to size: a
// bitmap that lacks only its last row's padding decodes whole.
class ZeroPadded : public QIODevice {
public:
    ZeroPadded(QIODevice* source, qint64 size) : m_source(source), m_size(size) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 at = pos();
        const qint64 n = std::min(max, m_size - at);
        if (n <= 0)
            return 0;
        const qint64 real = std::clamp<qint64>(m_source->size() - at, 0, n);
        qint64 got = 0;
        if (real > 0) {
            if (!m_source->seek(at))
                return -1;
            got = m_source->read(data, real);
            if (got < 0)
                return -1;
        }
        std::memset(data + got, 0, size_t(n - got));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice* m_source;
    qint64 m_size;
};

// The size stated by a png, gif, bmp or jpg header. Sets *status to
// Truncated when the data ends inside the header and to Undecodable when
// the header makes no sense. *progressive tells a progressive jpg.
QSize header_size(const OpenedSource& src, PictureFormat f, PictureStatus* status, bool* progressive)
{
    QIODevice* d = src.device();
    const QByteArray h = read_at(d, 0, 64);
    switch (f) {
    case PictureFormat::Png:
        if (h.size() < 24) {
            *status = PictureStatus::Truncated;
            return {};
        }
        if (h.mid(12, 4) != "IHDR" || be32(h, 16) > 0x7FFFFFFF || be32(h, 20) > 0x7FFFFFFF) {
            *status = PictureStatus::Undecodable;
            return {};
        }
        return QSize(int(be32(h, 16)), int(be32(h, 20)));
    case PictureFormat::Gif: {
        if (h.size() < 13) {
            *status = PictureStatus::Truncated;
            return {};
        }
        QSize s(int(le16(h, 6)), int(le16(h, 8)));
        if (s.width() == 0 || s.height() == 0) {
            // A logical screen of 0 on a side: decoders take the first
            // image's extent on that side.
            const GifWalk w = walk_gif(d, src.size());
            if (!w.has_image) {
                *status = w.ran_out ? PictureStatus::Truncated : PictureStatus::Undecodable;
                return {};
            }
            if (s.width() == 0)
                s.setWidth(w.first.left() + w.first.width());
            if (s.height() == 0)
                s.setHeight(w.first.top() + w.first.height());
        }
        return s;
    }
    case PictureFormat::Bmp: {
        if (h.size() < 26) {
            *status = PictureStatus::Truncated;
            return {};
        }
        const quint32 header_size = le32(h, 14);
        if (header_size == 12)
            return QSize(int(le16(h, 18)), int(le16(h, 20)));
        const qint64 w = qint32(le32(h, 18));
        const qint64 rows = std::abs(qint64(qint32(le32(h, 22))));  // negative: top-down
        if (header_size < 40 || w <= 0 || w > 0x7FFFFFFF || rows > 0x7FFFFFFF) {
            *status = PictureStatus::Undecodable;
            return {};
        }
        return QSize(int(w), int(rows));
    }
    case PictureFormat::Jpeg: {
        const JpegWalk w = walk_jpeg(d, src.size());
        *progressive = w.progressive;
        if (w.size.isValid() && !w.size.isEmpty())
            return w.size;
        *status = w.ran_out ? PictureStatus::Truncated : PictureStatus::Undecodable;
        return {};
    }
    default:
        *status = PictureStatus::Undecodable;
        return {};
    }
}

} // namespace

OpenedSource::OpenedSource(const PictureSource& source)
{
    if (!source.is_file()) {
        m_buffer = std::make_unique<QBuffer>();
        m_buffer->setData(source.data());
        m_buffer->open(QIODevice::ReadOnly);
        m_size = source.data().size();
        m_device = m_buffer.get();
        m_status = m_size > 0 ? PictureStatus::Ok : PictureStatus::Empty;
        return;
    }
    const QString& path = source.path();
    if (path.isEmpty()) {
        m_status = PictureStatus::NotFound;
        return;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        m_status = PictureStatus::NotFound;
        return;
    }
    // Folders, FIFOs and devices are refused before opening: opening a FIFO
    // would block until someone writes to it.
    if (!info.isFile()) {
        m_status = PictureStatus::Unreadable;
        return;
    }
    m_file = std::make_unique<QFile>(path);
    if (!m_file->open(QIODevice::ReadOnly)) {
        m_status = PictureStatus::Unreadable;
        return;
    }
    m_size = m_file->size();
    m_device = m_file.get();
    m_status = m_size > 0 ? PictureStatus::Ok : PictureStatus::Empty;
}

PictureFormat sniff_format(const QByteArray& h)
{
    if (starts_with(h, "\x89PNG\r\n\x1a\n", 8))
        return PictureFormat::Png;
    if (starts_with(h, "\xFF\xD8\xFF", 3))
        return PictureFormat::Jpeg;
    if (starts_with(h, "GIF87a", 6) || starts_with(h, "GIF89a", 6))
        return PictureFormat::Gif;
    if (starts_with(h, "II*\0", 4) || starts_with(h, "MM\0*", 4)
        || starts_with(h, "II+\0", 4) || starts_with(h, "MM\0+", 4))
        return PictureFormat::Tiff;
    if (starts_with(h, "BM", 2))
        return PictureFormat::Bmp;
    if (h.size() >= 44 && le32(h, 0) == 1 && std::memcmp(h.constData() + 40, " EMF", 4) == 0)
        return PictureFormat::Emf;
    if (starts_with(h, "\xD7\xCD\xC6\x9A", 4))  // placeable metafile
        return PictureFormat::Wmf;
    if (h.size() >= 6 && (le16(h, 0) == 1 || le16(h, 0) == 2) && le16(h, 2) == 9
        && (le16(h, 4) == 0x0100 || le16(h, 4) == 0x0300))
        return PictureFormat::Wmf;
    if (h.size() >= 6 && le16(h, 0) == 0 && le16(h, 2) == 1 && le16(h, 4) >= 1)
        return PictureFormat::Ico;
    return PictureFormat::Unknown;
}

Probe probe(const OpenedSource& src)
{
    Probe p;
    QIODevice* d = src.device();
    p.format = sniff_format(read_at(d, 0, 64));
    switch (p.format) {
    case PictureFormat::Unknown:
        p.status = PictureStatus::Undecodable;
        d->seek(0);
        return p;
    case PictureFormat::Emf:
    case PictureFormat::Wmf: {
        const MetafileHeader h = read_metafile_header(
            read_at(d, 0, std::min(src.size(), k_metafile_head_bytes)), src.size(), p.format);
        p.status = h.status;
        p.size = h.size;
        d->seek(0);
        return p;
    }
    case PictureFormat::Ico:
        p = probe_ico(src);
        break;
    case PictureFormat::Tiff: {
        // The only format whose header we leave to its decoder's library.
        d->seek(0);
        QImageReader reader(d, qt_format(p.format));
        reader.setAutoDetectImageFormat(false);
        reader.setAutoTransform(false);
        const QSize s = reader.size();
        if (!s.isValid() || s.isEmpty()) {
            p.status = src.size() < 16 ? PictureStatus::Truncated : PictureStatus::Undecodable;
            d->seek(0);
            return p;
        }
        p.size = s;
        p.status = PictureStatus::Ok;
        break;
    }
    default:
        // Our own reading of the size: decoders' libraries read past the
        // header (libpng up to the first pixel data) or refuse sizes before
        // we could call them too large.
        p.status = PictureStatus::Ok;
        p.size = header_size(src, p.format, &p.status, &p.progressive);
        break;
    }
    if (p.status == PictureStatus::Ok && p.size.isEmpty())
        p.status = PictureStatus::Undecodable;
    if (p.status == PictureStatus::Ok && exceeds_allocation_limit(p.size))
        p.status = PictureStatus::TooLarge;
    d->seek(0);
    return p;
}

bool looks_truncated(const OpenedSource& src, PictureFormat f)
{
    QIODevice* d = src.device();
    const qint64 n = src.size();
    bool cut = false;
    switch (f) {
    case PictureFormat::Jpeg: {
        const JpegWalk w = walk_jpeg(d, n);
        if (w.ran_out)
            cut = true;
        else if (w.sos >= 0 && !has_pair_after(d, w.sos + 2, n, '\xFF', '\xD9'))
            // No end marker: cut short unless the scans hold every block.
            cut = !jpeg_blocks_complete(read_all(src, k_max_walked_jpeg));
        break;
    }
    case PictureFormat::Png: {
        const qint64 tail = std::min<qint64>(n, 4096);
        cut = !read_at(d, n - tail, tail).contains("IEND");
        break;
    }
    case PictureFormat::Gif:
        // The first image's data must all be there; the trailer and
        // anything after it are not needed.
        cut = walk_gif(d, n).ran_out;
        break;
    case PictureFormat::Bmp:
        cut = bmp_data_end(d).needed > n;
        break;
    case PictureFormat::Ico: {
        bool short_data = false;
        read_ico_directory(d, n, &short_data);
        cut = short_data;
        break;
    }
    case PictureFormat::Emf:
    case PictureFormat::Wmf:
        cut = metafile_looks_truncated(read_at(d, 0, std::min(n, k_metafile_head_bytes)), n, f);
        break;
    default:
        break;  // tif: nothing in the format tells
    }
    d->seek(0);
    return cut;
}

QImage decode(const OpenedSource& src, const Probe& p, QSize scaled_size)
{
    init_picture_layer();
    QIODevice* d = src.device();
    if (is_metafile(p.format)) {
        // A vector picture is drawn at the size asked for, not reduced from another.
        const QByteArray bytes = read_all(src, k_max_metafile_bytes);
        return render_metafile(bytes, p.format, scaled_size.isValid() ? scaled_size : p.size).image;
    }
    std::unique_ptr<ZeroPadded> padded;
    if (p.format == PictureFormat::Bmp) {
        const BmpEnd end = bmp_data_end(d);
        if (end.whole > src.size() && end.needed <= src.size())
            padded = std::make_unique<ZeroPadded>(d, end.whole);
    }
    d->seek(0);
    QImage image;
    {
        QImageReader reader(padded ? padded.get() : d, qt_format(p.format));
        reader.setAutoDetectImageFormat(false);
        reader.setAutoTransform(false);
        if (p.format == PictureFormat::Ico && p.image_index > 0
            && !reader.jumpToImage(p.image_index)) {
            d->seek(0);
            return {};
        }
        if (scaled_size.isValid())
            reader.setScaledSize(scaled_size);
        image = reader.read();
    }
    d->seek(0);
    return image;
}

PictureStatus classify_decoded(const OpenedSource& src, PictureFormat format, const QImage& image)
{
    // The jpg, bmp and gif decoders accept a cut-off body (grey, black or
    // missing rows), so these are checked even when decoding worked.
    const bool check = image.isNull() || format == PictureFormat::Jpeg || format == PictureFormat::Bmp
                       || format == PictureFormat::Gif;
    if (check && looks_truncated(src, format))
        return PictureStatus::Truncated;
    return image.isNull() ? PictureStatus::Undecodable : PictureStatus::Ok;
}

QByteArray read_all(const OpenedSource& src, qint64 limit)
{
    if (src.status() != PictureStatus::Ok || src.size() > limit)
        return {};
    const QByteArray bytes = read_at(src.device(), 0, src.size());
    src.device()->seek(0);
    return bytes;
}

QImage normalized(QImage image)
{
    if (image.isNull())
        return image;
    const QImage::Format want = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32;
    if (image.format() != want)
        image.convertTo(want);
    return image;
}

} // namespace mosswick::picture::detail
