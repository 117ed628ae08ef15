// A catalogue file of any bytes through the whole open path: the header
// probe, the key trial, the schema check, the integrity check, page 1's rows
// and a reader's second connection. Nothing may crash or hang, and nothing
// but the catalogue and its own side files may be written.

#include "platform/store/connection.h"
#include "platform/store/integrity_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace mosswick::store;

namespace {

QTemporaryDir* g_dir = nullptr;

bool is_own_file(const QString& name)
{
    return name == QLatin1String("cat.mdb") || name == QLatin1String("cat.mdb-journal")
        || name == QLatin1String("cat.mdb-wal") || name == QLatin1String("cat.mdb-shm");
}

void read_everything(Connection& c)
{
    Error e;
    c.record_count(e);
    c.max_numpic(e);
    for (const Row& row : c.rows_on_page(1, e)) {
        if (row.value(col_numpic).isValid())
            c.read_picture_bytes(row.value(col_numpic).toLongLong(), e);
    }
    c.find_row(1, e);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    g_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/fuzz-catalogue-XXXXXX"));
    return g_dir->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QDir dir(g_dir->path());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
    const QString path = dir.filePath(QStringLiteral("cat.mdb"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    Error error;
    // No password: the fixed key's trials are cheap; a typed password would
    // spend each run in key derivation.
    if (auto conn = Connection::open(path, QString(), error)) {
        check_integrity(*conn);
        read_everything(*conn);
    } else if (error.ok()) {
        std::fprintf(stderr, "open failed without saying why\n");
        std::abort();
    }
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& name : entries)
        if (!is_own_file(name)) {
            std::fprintf(stderr, "the open wrote %s\n", qPrintable(name));
            std::abort();
        }
    return 0;
}
