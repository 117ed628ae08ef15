#pragma once

// A catalogue of a million rows with ~300-byte RTF notes, made once and kept
// under the build folder, for the benchmarks of large catalogues.

#include "platform/store/connection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>

namespace benchsupport {

inline constexpr qint64 k_big_rows = 1000000;

// The note of row i: RTF as a rich-text box writes it, about 300 bytes.
inline QString big_note(qint64 i)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans "
                          "MS;}}{\\colortbl ;\\red0\\green0\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs16 Holiday "
                          "picture %1, taken on the coast near the old harbour with the family; the boats came in "
                          "late that evening.\\par }")
        .arg(i);
}

inline QString big_picfile(qint64 i)
{
    return QStringLiteral("holiday%1.jpg").arg(i, 7, 10, QLatin1Char('0'));
}

// Writes the rows first..last (numbered, six to a page) in one transaction.
inline bool add_big_rows(mosswick::store::Connection& conn, qint64 first, qint64 last)
{
    mosswick::store::Transaction t(conn);
    auto st = conn.prepare(QStringLiteral(
        "INSERT INTO demopicture (movfile, picfile, note, numpage, numpic, reference) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    for (qint64 i = first; i <= last; ++i) {
        st.bind_all({i % 3 == 0 ? QVariant(QStringLiteral("holiday%1.avi").arg(i, 7, 10, QLatin1Char('0'))) : QVariant(),
                     big_picfile(i), big_note(i), (i + 5) / 6, i, QStringLiteral("ref %1").arg(i % 1000)});
        if (const mosswick::store::Error e = st.run()) {
            std::fprintf(stderr, "insert: %s\n", qPrintable(e.text));
            return false;
        }
    }
    return t.commit().ok();
}

// The cached catalogue of rows rows under folder, made when missing (or
// found with another number of rows); what it does is said on out. Empty on
// failure.
inline QString big_catalogue(const QString& folder, qint64 rows = k_big_rows, std::FILE* out = stdout)
{
    QDir().mkpath(folder + QStringLiteral("/data"));
    const QString path = folder + QStringLiteral("/big-%1.mdb").arg(rows);
    mosswick::store::Error e;
    if (QFileInfo::exists(path)) {
        auto conn = mosswick::store::Connection::open(path, {}, e);
        if (conn && conn->record_count(e) == rows && !e)
            return path;
        conn.reset();
        QFile::remove(path);
    }
    std::fprintf(out, "making a catalogue of %lld rows in %s (once)...\n", qlonglong(rows), qPrintable(path));
    std::fflush(out);
    QElapsedTimer t;
    t.start();
    const QString temp = path + QStringLiteral(".part");
    QFile::remove(temp);
    if (const mosswick::store::Error ce = mosswick::store::Connection::create(temp, mosswick::store::Schema::Full, {})) {
        std::fprintf(stderr, "create: %s\n", qPrintable(ce.text));
        return {};
    }
    {
        auto conn = mosswick::store::Connection::open(temp, {}, e);
        // A large page cache keeps the indexes in memory while they grow.
        if (!conn || conn->exec(QStringLiteral("PRAGMA cache_size = -524288")) || !add_big_rows(*conn, 1, rows))
            return {};
    }
    // Only a complete catalogue takes the cached name.
    if (!QFile::rename(temp, path))
        return {};
    std::fprintf(out, "made in %.1f s, %.0f MB\n", double(t.elapsed()) / 1000, double(QFileInfo(path).size()) / 1e6);
    return path;
}

} // namespace benchsupport
