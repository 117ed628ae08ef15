#pragma once

// Internal to the metafile player: little-endian reads that never leave
// their view. A read outside it gives 0 and marks the view bad, so a record
// handler reads all its fields and checks once.

#include <QByteArrayView>
#include <QtGlobal>

#include <cstring>

namespace mosswick::picture::metafile {

class Bytes {
public:
    Bytes() = default;
    explicit Bytes(QByteArrayView data) : m_data(data) {}

    qint64 size() const { return m_data.size(); }
    bool bad() const { return m_bad; }
    void mark_bad() const { m_bad = true; }
    QByteArrayView view() const { return m_data; }

    // True when [at, at + len) lies inside; leaves the view as it is.
    bool fits(qint64 at, qint64 len) const
    {
        return at >= 0 && len >= 0 && at <= m_data.size() && len <= m_data.size() - at;
    }
    // True when [at, at + len) lies inside; marks the view bad otherwise.
    bool has(qint64 at, qint64 len) const
    {
        if (!fits(at, len)) {
            m_bad = true;
            return false;
        }
        return true;
    }
    quint8 u8(qint64 at) const { return has(at, 1) ? quint8(m_data[at]) : 0; }
    quint16 u16(qint64 at) const
    {
        return has(at, 2) ? quint16(quint8(m_data[at]) | quint8(m_data[at + 1]) << 8) : 0;
    }
    qint16 i16(qint64 at) const { return qint16(u16(at)); }
    quint32 u32(qint64 at) const
    {
        if (!has(at, 4))
            return 0;
        return quint32(quint8(m_data[at])) | quint32(quint8(m_data[at + 1])) << 8
               | quint32(quint8(m_data[at + 2])) << 16 | quint32(quint8(m_data[at + 3])) << 24;
    }
    qint32 i32(qint64 at) const { return qint32(u32(at)); }
    float f32(qint64 at) const
    {
        const quint32 bits = u32(at);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // The bytes [at, at + len); empty and bad when outside.
    Bytes sub(qint64 at, qint64 len) const
    {
        if (!has(at, len))
            return Bytes();
        return Bytes(m_data.sliced(at, len));
    }

private:
    QByteArrayView m_data;
    mutable bool m_bad = false;
};

} // namespace mosswick::picture::metafile
