#include "platform/picture/format_walk.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <vector>

namespace mosswick::picture::detail {

namespace {

// Bytes of a device read a block at a time; -1 past the end.
class BlockReader {
public:
    BlockReader(QIODevice* device, qint64 total) : m_device(device), m_total(total) {}

    int at(qint64 pos)
    {
        if (pos < 0 || pos >= m_total)
            return -1;
        if (pos < m_base || pos >= m_base + m_block.size()) {
            m_base = pos;
            m_block = m_device->seek(pos) ? m_device->read(k_block) : QByteArray();
            if (m_block.isEmpty())
                return -1;
        }
        return uchar(m_block[pos - m_base]);
    }
    int le16(qint64 pos)
    {
        const int lo = at(pos);
        const int hi = at(pos + 1);
        return lo < 0 || hi < 0 ? -1 : lo | hi << 8;
    }

private:
    static constexpr qint64 k_block = 1 << 16;
    QIODevice* m_device;
    qint64 m_total;
    qint64 m_base = -1;
    QByteArray m_block;
};

// The position after a chain of data sub-blocks starting at pos; -1 when the
// data ends inside it.
qint64 skip_sub_blocks(BlockReader& in, qint64 pos)
{
    for (;;) {
        const int len = in.at(pos);
        if (len < 0)
            return -1;
        pos += 1 + len;
        if (len == 0)
            return pos;
    }
}

qint64 colour_table_bytes(int flags)
{
    return (flags & 0x80) ? qint64(3) << ((flags & 7) + 1) : 0;
}

} // namespace

GifWalk walk_gif(QIODevice* device, qint64 total)
{
    GifWalk w;
    BlockReader in(device, total);
    const int screen_flags = in.at(10);
    if (screen_flags < 0 || in.at(12) < 0) {
        w.ran_out = true;
        return w;
    }
    qint64 pos = 13 + colour_table_bytes(screen_flags);
    for (;;) {
        const int introducer = in.at(pos);
        if (introducer < 0) {
            w.ran_out = true;
            return w;
        }
        if (introducer == 0x21) {  // extension: label, then its sub-blocks
            pos = in.at(pos + 1) < 0 ? -1 : skip_sub_blocks(in, pos + 2);
            if (pos < 0) {
                w.ran_out = true;
                return w;
            }
            continue;
        }
        if (introducer != 0x2C)
            return w;  // the trailer before any image, or not a block at all
        const int left = in.le16(pos + 1), top = in.le16(pos + 3);
        const int width = in.le16(pos + 5), height = in.le16(pos + 7);
        const int flags = in.at(pos + 9);
        if (left < 0 || top < 0 || width < 0 || height < 0 || flags < 0) {
            w.ran_out = true;
            return w;
        }
        w.has_image = true;
        w.first = QRect(left, top, width, height);
        pos += 10 + colour_table_bytes(flags);
        // The code size, then the image's data.
        pos = in.at(pos) < 0 ? -1 : skip_sub_blocks(in, pos + 1);
        w.first_complete = pos >= 0;
        w.ran_out = !w.first_complete;
        return w;
    }
}

namespace {

// --- jpg scans -------------------------------------------------------------

struct Huffman {
    bool defined = false;
    std::array<int, 17> counts{};  // codes of each length 1 to 16
    std::vector<uchar> symbols;
};

// Reads entropy-coded bits: stuffed bytes undone; a marker or the end of the
// data ends them.
class BitReader {
public:
    BitReader(QByteArrayView data, qint64 pos) : m_data(data), m_pos(pos) {}

    qint64 pos() const { return m_pos; }
    void set_pos(qint64 pos)
    {
        m_pos = pos;
        m_left = 0;
    }
    // Drops the bits left of the current byte (before a restart marker).
    void align() { m_left = 0; }

    // The next bit, or -1 at a marker or the end.
    int bit()
    {
        if (m_left == 0) {
            if (m_pos >= m_data.size())
                return -1;
            const uchar c = uchar(m_data[m_pos]);
            if (c == 0xFF) {
                if (m_pos + 1 >= m_data.size() || m_data[m_pos + 1] != 0)
                    return -1;
                m_pos += 2;
            } else {
                ++m_pos;
            }
            m_byte = c;
            m_left = 8;
        }
        --m_left;
        return (m_byte >> m_left) & 1;
    }
    bool skip(int n)
    {
        for (int i = 0; i < n; ++i)
            if (bit() < 0)
                return false;
        return true;
    }
    // A canonical Huffman code's symbol, or -1.
    int decode(const Huffman& table)
    {
        int code = 0;
        int first = 0;
        int index = 0;
        for (int len = 1; len <= 16; ++len) {
            const int b = bit();
            if (b < 0)
                return -1;
            code |= b;
            const int count = table.counts[size_t(len)];
            if (code - first < count) {
                const size_t at = size_t(index + code - first);
                return at < table.symbols.size() ? table.symbols[at] : -1;
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    QByteArrayView m_data;
    qint64 m_pos;
    int m_byte = 0;
    int m_left = 0;
};

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
    bool scanned = false;
};

// One block's coefficients: a DC difference, then AC runs to the end of block.
bool skip_block(BitReader& bits, const Huffman& dc, const Huffman& ac)
{
    const int size = bits.decode(dc);
    if (size < 0 || size > 16 || !bits.skip(size))
        return false;
    for (int k = 1; k < 64;) {
        const int rs = bits.decode(ac);
        if (rs < 0)
            return false;
        const int run = rs >> 4;
        const int extra = rs & 15;
        if (extra == 0) {
            if (run != 15)
                break;  // end of block
            k += 16;
            continue;
        }
        if (!bits.skip(extra))
            return false;
        k += run + 1;
    }
    return true;
}

int be16(QByteArrayView b, qint64 at)
{
    return uchar(b[at]) << 8 | uchar(b[at + 1]);
}

int ceil_div(qint64 a, qint64 b)
{
    return int((a + b - 1) / b);
}

} // namespace

bool jpeg_blocks_complete(QByteArrayView b)
{
    std::array<Huffman, 8> tables;  // DC 0 to 3, then AC 0 to 3
    std::vector<Component> comps;
    int width = 0;
    int height = 0;
    int restart = 0;
    qint64 pos = 2;
    const qint64 n = b.size();
    for (;;) {
        // Markers, fill bytes before them, and stray bytes between segments.
        while (pos < n && uchar(b[pos]) != 0xFF)
            ++pos;
        while (pos + 1 < n && uchar(b[pos + 1]) == 0xFF)
            ++pos;
        if (pos + 1 >= n)
            return false;
        const int code = uchar(b[pos + 1]);
        if (code == 0xD8 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (code == 0xD9 || pos + 4 > n)
            return false;
        const qint64 len = be16(b, pos + 2);
        const qint64 body = pos + 4;
        if (len < 2 || pos + 2 + len > n)
            return false;
        const qint64 next = pos + 2 + len;
        if (code == 0xC0 || code == 0xC1) {
            if (len < 8 || !comps.empty())
                return false;
            height = be16(b, body + 1);
            width = be16(b, body + 3);
            const int count = uchar(b[body + 5]);
            if (height == 0 || width == 0 || count == 0 || len < 8 + 3 * count)
                return false;
            for (int i = 0; i < count; ++i) {
                const int sampling = uchar(b[body + 6 + 3 * i + 1]);
                Component c;
                c.id = uchar(b[body + 6 + 3 * i]);
                c.h = sampling >> 4;
                c.v = sampling & 15;
                if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4)
                    return false;
                comps.push_back(c);
            }
        } else if (is_jpeg_frame(code)) {
            return false;  // progressive, lossless or arithmetic: not walked
        } else if (code == 0xC4) {
            for (qint64 at = body; at < next;) {
                if (at + 17 > next)
                    return false;
                const int id = uchar(b[at]);
                const int cls = id >> 4;
                if (cls > 1 || (id & 15) > 3)
                    return false;
                Huffman& t = tables[size_t(cls * 4 + (id & 15))];
                int total = 0;
                for (int i = 1; i <= 16; ++i)
                    total += t.counts[size_t(i)] = uchar(b[at + i]);
                if (at + 17 + total > next)
                    return false;
                t.symbols.assign(b.begin() + at + 17, b.begin() + at + 17 + total);
                t.defined = true;
                at += 17 + total;
            }
        } else if (code == 0xDD) {
            if (len < 4)
                return false;
            restart = be16(b, body);
        } else if (code == 0xDA) {
            if (comps.empty() || len < 3)
                return false;
            const int count = uchar(b[body]);
            if (count < 1 || count > 4 || len < 6 + 2 * count)
                return false;
            struct InScan {
                Component* comp;
                const Huffman* dc;
                const Huffman* ac;
            };
            std::vector<InScan> scan;
            for (int i = 0; i < count; ++i) {
                const int id = uchar(b[body + 1 + 2 * i]);
                const int sel = uchar(b[body + 2 + 2 * i]);
                Component* c = nullptr;
                for (Component& k : comps)
                    if (k.id == id)
                        c = &k;
                const Huffman& dc = tables[size_t((sel >> 4) & 3)];
                const Huffman& ac = tables[size_t(4 + (sel & 3))];
                if (!c || !dc.defined || !ac.defined)
                    return false;
                scan.push_back({c, &dc, &ac});
            }
            int hmax = 1;
            int vmax = 1;
            for (const Component& c : comps) {
                hmax = std::max(hmax, c.h);
                vmax = std::max(vmax, c.v);
            }
            // One component alone goes block by block; several go in units
            // of each one's sampling factors.
            qint64 units = 0;
            if (count == 1) {
                const Component& c = *scan[0].comp;
                units = qint64(ceil_div(ceil_div(qint64(width) * c.h, hmax), 8))
                        * ceil_div(ceil_div(qint64(height) * c.v, vmax), 8);
            } else {
                units = qint64(ceil_div(width, 8 * hmax)) * ceil_div(height, 8 * vmax);
            }
            BitReader bits(b, next);
            for (qint64 u = 0; u < units; ++u) {
                if (restart > 0 && u > 0 && u % restart == 0) {
                    bits.align();
                    qint64 at = bits.pos();
                    while (at + 1 < n && uchar(b[at]) == 0xFF && uchar(b[at + 1]) == 0xFF)
                        ++at;
                    if (at + 1 >= n || uchar(b[at]) != 0xFF || (uchar(b[at + 1]) & 0xF8) != 0xD0)
                        return false;
                    bits.set_pos(at + 2);
                }
                for (const InScan& s : scan) {
                    const int blocks = count == 1 ? 1 : s.comp->h * s.comp->v;
                    for (int k = 0; k < blocks; ++k)
                        if (!skip_block(bits, *s.dc, *s.ac))
                            return false;
                }
            }
            bool all = true;
            for (InScan& s : scan)
                s.comp->scanned = true;
            for (const Component& c : comps)
                all = all && c.scanned;
            if (all)
                return true;
            pos = bits.pos();
            continue;
        }
        pos = next;
    }
}

} // namespace mosswick::picture::detail
