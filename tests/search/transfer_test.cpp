#include "search_fixture.h"

#include "search/messages.h"
#include "search/transfer.h"
#include "support/catalogue_rows.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace searchtest;
using namespace mosswick::search;

TEST(TransferRules, ExportChunkFollowsThePictureSize)
{
    for (const auto& [size, chunk] : {std::pair{25000, 20000}, {10001, 20000}, {10000, 10000}, {4000, 10000}})
        EXPECT_EQ(export_chunk_size(size), chunk) << size;
}

TEST(TransferRules, NamesAndRefusedTypes)
{
    EXPECT_EQ(export_file_name("a.jpg"), "a.bmp");
    EXPECT_EQ(export_file_name("a.b.gif"), "a.b.bmp");
    EXPECT_EQ(export_file_name("noext"), "noext.bmp");
    EXPECT_TRUE(import_type_refused("x.PNG"));
    for (const char* t : {"a.tif", "a.rle", "a.ico", "a.wmf", "a.Emf"})
        EXPECT_TRUE(import_type_refused(QString::fromLatin1(t))) << t;
    EXPECT_FALSE(import_type_refused("x.png.jpg"));
    EXPECT_FALSE(import_type_refused("x.gif"));
    EXPECT_TRUE(plain_file_name("a.jpg"));
    for (const char* bad : {"", ".a.jpg", "..", "../a.jpg", "d/a.jpg"})
        EXPECT_FALSE(plain_file_name(QString::fromLatin1(bad))) << bad;
}

namespace {

class Transfer : public CatalogueTest {
protected:
    // Stores bytes as picture n (the file they come from lies elsewhere).
    void store_picture(int n, const QString& picfile, const QByteArray& bytes)
    {
        add(n, picfile);
        QDir().mkpath(dir.file("elsewhere"));
        const QString from = dir.write(QStringLiteral("elsewhere/") + picfile, bytes);
        const store::Error e = conn->write_picture_bytes(n, from);
        ASSERT_FALSE(e) << e.text.toStdString();
    }

    TransferResult move(int n, const QString& state, const QString& picfile, bool replace_answer = false)
    {
        return transfer_picture(*conn, {QString::number(n), state, picfile}, db_folder, [&](const QString& path) {
            asked.push_back(path);
            return replace_answer;
        });
    }

    store::Row row(int n)
    {
        store::Error e;
        const auto r = conn->find_row(n, e);
        EXPECT_TRUE(r);
        return r.value_or(store::Row{});
    }

    QByteArray stored(int n)
    {
        store::Error e;
        return conn->read_picture_bytes(n, e);
    }

    // Every entry of the catalogue's folder, hidden ones included.
    QStringList folder_entries() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static QByteArray pattern(int size)
    {
        QByteArray b(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            b[i] = char((i * 31 + i / 97) & 0xff);
        return b;
    }

    std::vector<QString> asked;
};

} // namespace

TEST_F(Transfer, ExportWritesTheStoredBytesAndEmptiesTheRecord)
{
    const QByteArray bytes = pattern(25000);
    store_picture(1, "shot.jpg", bytes);
    const TransferResult r = move(1, "IN", "shot.jpg");
    ASSERT_EQ(r.status, TransferStatus::Exported) << r.message.toStdString();
    EXPECT_EQ(r.path, db_folder + "shot.bmp");
    EXPECT_EQ(testsupport::read_all(db_folder + "shot.bmp"), bytes);
    const store::Row now = row(1);
    EXPECT_EQ(now.value(store::col_picfile).toString(), "shot.bmp");
    EXPECT_FALSE(now.value(store::col_inoutpic).isValid());
    EXPECT_FALSE(now.value(store::col_dbpic).isValid());
    EXPECT_TRUE(asked.empty());
    // Nothing else is left in the folder: no temporary file.
    EXPECT_EQ(folder_entries(), (QStringList{"catalogue.mdb", "elsewhere", "shot.bmp"}));
}

TEST_F(Transfer, ExportKeepsTheBytesOfAnyFormatUnderTheBmpName)
{
    const QByteArray jpeg = testsupport::make_picture_bytes(40, 30, "jpg");
    store_picture(2, "photo.b.jpg", jpeg);
    ASSERT_EQ(move(2, "IN", "photo.b.jpg").status, TransferStatus::Exported);
    EXPECT_EQ(testsupport::read_all(db_folder + "photo.b.bmp"), jpeg);
    const QByteArray small = pattern(10000);
    store_picture(3, "small.jpg", small);
    ASSERT_EQ(move(3, "IN", "small.jpg").status, TransferStatus::Exported);
    EXPECT_EQ(testsupport::read_all(db_folder + "small.bmp"), small);
}

TEST_F(Transfer, ExistingFileIsReplacedOnlyAfterYes)
{
    store_picture(1, "a.jpg", pattern(4000));
    dir.write("a.bmp", "old");
    TransferResult r = move(1, "IN", "a.jpg", false);
    EXPECT_EQ(r.status, TransferStatus::Declined);
    EXPECT_EQ(asked, (std::vector<QString>{db_folder + "a.bmp"}));
    EXPECT_EQ(testsupport::read_all(db_folder + "a.bmp"), "old");
    EXPECT_TRUE(row(1).value(store::col_inoutpic).isValid());
    EXPECT_EQ(stored(1), pattern(4000));

    r = move(1, "IN", "a.jpg", true);
    EXPECT_EQ(r.status, TransferStatus::Exported);
    EXPECT_EQ(testsupport::read_all(db_folder + "a.bmp"), pattern(4000));
    EXPECT_FALSE(row(1).value(store::col_inoutpic).isValid());
}

TEST_F(Transfer, ExportThatCannotPlaceItsFileChangesNothing)
{
    store_picture(1, "a.jpg", pattern(5000));
    QDir().mkdir(dir.file("a.bmp"));   // a folder where the file should go
    const TransferResult r = move(1, "IN", "a.jpg", true);
    EXPECT_EQ(r.status, TransferStatus::Failed);
    EXPECT_TRUE(r.message.startsWith("Error 75 - ")) << r.message.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("a.bmp")).isDir());
    EXPECT_TRUE(row(1).value(store::col_inoutpic).isValid());
    EXPECT_EQ(row(1).value(store::col_picfile).toString(), "a.jpg");
    EXPECT_EQ(stored(1), pattern(5000));
    EXPECT_EQ(folder_entries(), (QStringList{"a.bmp", "catalogue.mdb", "elsewhere"}));
}

TEST_F(Transfer, ExportRefusesWhatCannotBeWrittenSafely)
{
    // A name that would outgrow the column after ".bmp".
    const QString long_name(255, u'n');
    store_picture(1, long_name, pattern(100));
    TransferResult r = move(1, "IN", long_name);
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_TRUE(r.message.contains("255")) << r.message.toStdString();
    // A name that would leave the catalogue's folder.
    add(2, "../escape.jpg");
    ASSERT_FALSE(conn->exec(QStringLiteral("UPDATE demopicture SET inoutpic = 1, dbpic = x'0102' WHERE numpic = 2")));
    r = move(2, "IN", "../escape.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/../escape.bmp"));
    // A record marked as holding a picture that holds no bytes.
    add(3, "none.jpg");
    ASSERT_FALSE(conn->exec(QStringLiteral("UPDATE demopicture SET inoutpic = 1 WHERE numpic = 3")));
    r = move(3, "IN", "none.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_EQ(r.message, "No picture is stored in this record.");
    EXPECT_EQ(folder_entries(), (QStringList{"catalogue.mdb", "elsewhere"}));
}

TEST_F(Transfer, ImportStoresTheWholeFileAndKeepsIt)
{
    for (const int size : {250000, 200000}) {
        const int n = size / 1000;
        const QString name = QStringLiteral("p%1.jpg").arg(n);
        const QByteArray bytes = testsupport::jpeg_of_size(size);
        add(n, name);
        dir.write(name, bytes);
        const TransferResult r = move(n, "OUT", name);
        ASSERT_EQ(r.status, TransferStatus::Imported) << r.message.toStdString();
        EXPECT_EQ(stored(n), bytes) << size;
        EXPECT_EQ(row(n).value(store::col_inoutpic).toInt(), 1);
        EXPECT_EQ(row(n).value(store::col_picfile).toString(), name);
        EXPECT_EQ(testsupport::read_all(db_folder + name), bytes);
    }
}

TEST_F(Transfer, ImportRefusesTypesNeverStoredByExtension)
{
    add(1, "x.PNG");
    dir.write("x.PNG", testsupport::make_picture_bytes(10, 10, "png"));
    const TransferResult r = move(1, "OUT", "x.PNG");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_EQ(r.message, "Cannot import PNG, TIF, RLE, WMF, ICO or EMF files.");
    EXPECT_FALSE(row(1).value(store::col_inoutpic).isValid());
}

TEST_F(Transfer, ImportOfAFileThatIsNotInTheCatalogueFolderIsMissing)
{
    add(1, "p.jpg");
    QDir().mkpath(dir.file("data"));
    dir.write("data/p.jpg", testsupport::make_picture_bytes(10, 10, "jpg"));
    EXPECT_EQ(move(1, "OUT", "p.jpg").status, TransferStatus::FileMissing);
    // Hidden files count as missing.
    add(2, ".hidden.jpg");
    dir.write(".hidden.jpg", testsupport::make_picture_bytes(10, 10, "jpg"));
    EXPECT_EQ(move(2, "OUT", ".hidden.jpg").status, TransferStatus::FileMissing);
    EXPECT_FALSE(row(1).value(store::col_inoutpic).isValid());
    EXPECT_FALSE(row(2).value(store::col_inoutpic).isValid());
}

TEST_F(Transfer, ImportRefusesEmptyAndUndecodableFiles)
{
    add(1, "empty.jpg");
    dir.write("empty.jpg", {});
    TransferResult r = move(1, "OUT", "empty.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_EQ(r.message, "Cannot import empty.jpg: Picture file is empty.");
    add(2, "noise.jpg");
    dir.write("noise.jpg", pattern(3000));
    r = move(2, "OUT", "noise.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_TRUE(r.message.startsWith("Cannot import noise.jpg: ")) << r.message.toStdString();
    for (int n : {1, 2}) {
        EXPECT_FALSE(row(n).value(store::col_inoutpic).isValid());
        EXPECT_TRUE(stored(n).isEmpty());
    }
    add(3, "../up.jpg");
    r = move(3, "OUT", "../up.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_TRUE(r.message.contains("cannot be used")) << r.message.toStdString();
}

TEST_F(Transfer, RowOlderThanTheCatalogueIsNeverMoved)
{
    store_picture(1, "a.jpg", pattern(2000));
    add(2, "b.jpg");
    dir.write("b.jpg", testsupport::make_picture_bytes(10, 10, "jpg"));
    // Number gone.
    TransferResult r = move(9, "IN", "a.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_EQ(r.message, QString::fromLatin1(k_row_gone));
    // Another picture under the number now.
    r = move(1, "IN", "other.jpg");
    EXPECT_EQ(r.message, QString::fromLatin1(k_row_changed));
    // The state changed since the list was made: an import must not overwrite stored bytes.
    r = move(1, "OUT", "a.jpg");
    EXPECT_EQ(r.message, QString::fromLatin1(k_row_changed));
    r = move(2, "IN", "b.jpg");
    EXPECT_EQ(r.message, QString::fromLatin1(k_row_changed));
    EXPECT_EQ(stored(1), pattern(2000));
    EXPECT_TRUE(stored(2).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(db_folder + "a.bmp"));
}

TEST_F(Transfer, ExportThenImportRestoresTheSameBytes)
{
    const QByteArray bytes = testsupport::jpeg_of_size(30000);
    store_picture(1, "round.jpg", bytes);
    ASSERT_EQ(move(1, "IN", "round.jpg").status, TransferStatus::Exported);
    EXPECT_TRUE(stored(1).isEmpty());
    const TransferResult r = move(1, "OUT", "round.bmp");
    ASSERT_EQ(r.status, TransferStatus::Imported) << r.message.toStdString();
    EXPECT_EQ(stored(1), bytes);
}

TEST_F(Transfer, ReadOnlyCatalogueIsNeverWritten)
{
    store_picture(1, "a.jpg", pattern(2000));
    conn.reset();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    store::Error e;
    conn = store::Connection::open(path, {}, e);
    ASSERT_TRUE(conn);
    ASSERT_TRUE(conn->read_only());
    const TransferResult r = move(1, "IN", "a.jpg");
    EXPECT_EQ(r.status, TransferStatus::Refused);
    EXPECT_EQ(r.message, "The database is Read-Only.");
    EXPECT_FALSE(QFileInfo::exists(db_folder + "a.bmp"));
    ::chmod(QFile::encodeName(path).constData(), 0644);
}
