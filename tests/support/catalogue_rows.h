#pragma once

// What the maintenance, search and loader tests read back from a catalogue
// and leave beside it.

#include "platform/store/connection.h"
#include "support/test_support.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace testsupport {

// The rows as "numpic/numpage/picfile/movfile" ("-" for Null) by number,
// those without a number last.
inline QStringList row_texts(mosswick::store::Connection& conn)
{
    QStringList out;
    auto st = conn.prepare("SELECT coalesce(numpic, '-'), coalesce(numpage, '-'), coalesce(picfile, '-'), "
                           "coalesce(movfile, '-') FROM demopicture ORDER BY numpic IS NULL, numpic, rowid");
    while (st.step())
        out << QStringLiteral("%1/%2/%3/%4").arg(st.text(0), st.text(1), st.text(2), st.text(3));
    return out;
}

// One column of the row numbered numpic.
inline QVariant field_of(mosswick::store::Connection& conn, const QString& column, qint64 numpic)
{
    mosswick::store::Error e;
    return conn.scalar("SELECT " + column + " FROM demopicture WHERE numpic = ?1", {numpic}, e);
}

// Writes a file (empty unless bytes are given) and returns its path.
inline QString write_file(const QString& path, const QByteArray& bytes = {})
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
    return path;
}

// A decodable JPEG padded to exactly size bytes: decoders stop at its end marker.
inline QByteArray jpeg_of_size(qint64 size)
{
    QByteArray bytes = make_picture_bytes(40, 30, "jpg");
    EXPECT_LT(bytes.size(), size);
    for (qint64 i = bytes.size(); i < size; ++i)
        bytes.append(char(i * 7));
    return bytes;
}

} // namespace testsupport
