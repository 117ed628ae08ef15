#include "loader/single_load.h"

#include "loader_test_util.h"

#include <QFileInfo>

using namespace mosswick;
using namespace mosswick::loader;

namespace {

class SingleLoad : public ::testing::Test {
protected:
    SingleLoadRequest request(const QString& picture, const QString& movie = {}, bool inside = false)
    {
        SingleLoadRequest r;
        r.folder = source.path();
        r.picture = picture;
        r.movie = movie;
        r.inside = inside;
        r.note = note_to_store({}, {}, false, picture);
        r.data_folder = cat.data_folder();
        return r;
    }
    SingleLoadResult commit(const SingleLoadRequest& r) { return commit_single_load(*cat.conn, r); }

    loadertest::Catalogue cat;
    testsupport::TempDir source;
};

} // namespace

TEST_F(SingleLoad, FirstAndSeventhPictureGetTheirSlots)
{
    for (int i = 1; i <= 7; ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        loadertest::picture(source.path(), name);
        const SingleLoadResult r = commit(request(name, i == 1 ? "p1.avi" : QString()));
        ASSERT_EQ(r.status, SingleLoadStatus::Loaded) << r.message.toStdString();
        EXPECT_EQ(r.message, "Picture loaded.");
        EXPECT_EQ(r.slot.numpic, i);
        EXPECT_EQ(r.slot.numpage, i <= 6 ? 1 : 2);
        EXPECT_FALSE(r.pending());
    }
    const auto first = cat.row("p1.jpg");
    EXPECT_EQ(first.movfile.toString(), "p1.avi");
    EXPECT_EQ(first.note.toString(), "p1.jpg");
    EXPECT_EQ(first.reference.toString(), "");
    EXPECT_TRUE(first.reference.isValid());   // "" is stored, not Null
    EXPECT_FALSE(first.inoutpic.isValid());
    EXPECT_FALSE(cat.row("p2.jpg").movfile.isValid());
    EXPECT_EQ(cat.row("p7.jpg").numpage, 2);
}

TEST_F(SingleLoad, DuplicateRuleDependsOnTheFolderAndOnOut)
{
    loadertest::picture(source.path(), "same.jpg");
    ASSERT_EQ(commit(request("same.jpg")).status, SingleLoadStatus::Loaded);
    // The same name by name again from a foreign folder: refused, nothing written.
    SingleLoadResult r = commit(request("same.jpg"));
    EXPECT_EQ(r.status, SingleLoadStatus::Duplicate);
    EXPECT_EQ(r.message, "Picture is already loaded.");
    EXPECT_FALSE(r.pending());
    EXPECT_EQ(cat.rows().size(), 1u);
    // Stored inside: never a duplicate.
    r = commit(request("same.jpg", {}, true));
    EXPECT_EQ(r.status, SingleLoadStatus::Loaded);
    // From the catalogue's own data folder, however it is spelt: loaded again.
    loadertest::picture(cat.data_folder(), "same.jpg");
    SingleLoadRequest from_data = request("same.jpg");
    from_data.folder = cat.dir.path() + "/data/../data/";
    r = commit(from_data);
    EXPECT_EQ(r.status, SingleLoadStatus::Loaded) << r.message.toStdString();
    EXPECT_EQ(cat.rows().size(), 3u);
    EXPECT_EQ(cat.rows()[1].dbpic_bytes, QFileInfo(source.file("same.jpg")).size());
}

TEST_F(SingleLoad, InsideRefusesTypesAndUnusableFilesAndStaysPending)
{
    loadertest::picture(source.path(), "a.png", "png");
    SingleLoadResult r = commit(request("a.png", {}, true));
    EXPECT_EQ(r.status, SingleLoadStatus::Refused);
    EXPECT_EQ(r.message, "Cannot load PNG, TIF, RLE, WMF, ICO or EMF files, if the picture is loaded within the database.");
    EXPECT_TRUE(r.pending());
    // By name the same picture passes.
    EXPECT_EQ(commit(request("a.png")).status, SingleLoadStatus::Loaded);

    // The content decides: a png named .jpg is still a png.
    loadertest::text_file(source.path(), "fake.jpg", testsupport::make_picture_bytes(10, 10, "png"));
    r = commit(request("fake.jpg", {}, true));
    EXPECT_EQ(r.status, SingleLoadStatus::Refused);
    EXPECT_EQ(r.message, "Cannot load PNG, TIF, RLE, WMF, ICO or EMF files, if the picture is loaded within the database.");

    loadertest::text_file(source.path(), "empty.jpg", {});
    r = commit(request("empty.jpg", {}, true));
    EXPECT_EQ(r.status, SingleLoadStatus::Refused);
    EXPECT_TRUE(r.message.contains("empty")) << r.message.toStdString();

    loadertest::text_file(source.path(), "noise.gif", "this is no picture at all");
    r = commit(request("noise.gif", {}, true));
    EXPECT_EQ(r.status, SingleLoadStatus::Refused);

    r = commit(request("gone.jpg", {}, true));
    EXPECT_EQ(r.message, "Picture file not found.");
    r = commit(request("gone.jpg"));
    EXPECT_EQ(r.status, SingleLoadStatus::Refused);
    EXPECT_EQ(r.message, "Picture file not found.");
    EXPECT_EQ(cat.rows().size(), 1u);

    loadertest::picture(source.path(), "g.gif", "gif");
    EXPECT_EQ(commit(request("g.gif", {}, true)).status, SingleLoadStatus::Loaded);
    EXPECT_EQ(cat.row("g.gif").inoutpic.toInt(), 1);
}

TEST_F(SingleLoad, PictureBytesRoundTripWhateverTheirSize)
{
    qint64 n = 0;
    for (qint64 size : {250000, 199999, 300000, 99999, 100000, 100001}) {
        const QString name = QStringLiteral("s%1.jpg").arg(size);
        const QString path = loadertest::text_file(source.path(), name, testsupport::jpeg_of_size(size));
        const SingleLoadResult r = commit(request(name, {}, true));
        ASSERT_EQ(r.status, SingleLoadStatus::Loaded) << r.message.toStdString();
        ++n;
        store::Error e;
        const QByteArray stored = cat.conn->read_picture_bytes(r.slot.numpic, e);
        EXPECT_TRUE(e.ok());
        EXPECT_EQ(stored.size(), size);
        EXPECT_TRUE(stored == testsupport::read_all(path)) << size;
        EXPECT_EQ(cat.row(name).inoutpic.toInt(), 1);
    }
    EXPECT_EQ(qint64(cat.rows().size()), n);
}

TEST_F(SingleLoad, NameLimitsRefuseBeforeAnythingIsWritten)
{
    const QString at_limit = QString(251, u'p') + ".jpg";
    const QString over = QString(252, u'p') + ".jpg";
    // Linux file names end at 255 bytes: the longer name only exists as a name.
    loadertest::picture(source.path(), at_limit);
    SingleLoadResult r = commit(request(over));
    EXPECT_EQ(r.status, SingleLoadStatus::PictureNameTooLong);
    EXPECT_TRUE(r.message.contains(", is 256 bytes,"));
    EXPECT_TRUE(r.pending());
    const QString long_movie = QString(252, u'm') + ".avi";
    r = commit(request(at_limit, long_movie));
    EXPECT_EQ(r.status, SingleLoadStatus::MovieNameTooLong);
    EXPECT_EQ(r.message, "The movie file name: " + long_movie + ", is 256 bytes, movie file name cannot exceed 255 bytes.");
    EXPECT_TRUE(cat.rows().empty());
    EXPECT_EQ(commit(request(at_limit, QString(251, u'p') + ".avi")).status, SingleLoadStatus::Loaded);
    EXPECT_EQ(cat.row(at_limit).movfile.toString().size(), 255);
}

TEST_F(SingleLoad, ReferenceOverTheLimitFailsWithoutARow)
{
    loadertest::picture(source.path(), "r.jpg");
    SingleLoadRequest r = request("r.jpg");
    r.reference = QString(256, u'r');
    const SingleLoadResult result = commit(r);
    EXPECT_EQ(result.status, SingleLoadStatus::Failed);
    EXPECT_TRUE(result.message.startsWith("Error ")) << result.message.toStdString();
    EXPECT_TRUE(result.pending());
    EXPECT_TRUE(cat.rows().empty());
}

TEST_F(SingleLoad, MissingIndexIsCreatedAndFileNamesAreBoundNotSpliced)
{
    ASSERT_TRUE(cat.conn->exec("DROP INDEX idxPicfile").ok());
    const QString odd = "a\" OR \"1\"=\"1'; DROP TABLE demopicture; --.jpg";
    loadertest::picture(source.path(), odd);
    loadertest::picture(source.path(), "b.jpg");
    ASSERT_EQ(commit(request("b.jpg")).status, SingleLoadStatus::Loaded);
    EXPECT_TRUE(cat.conn->has_index("idxPicfile"));
    // A name full of quotes is no duplicate of b.jpg and is stored as it is.
    EXPECT_EQ(commit(request(odd)).status, SingleLoadStatus::Loaded);
    EXPECT_EQ(cat.row(odd).picfile.toString(), odd);
    EXPECT_EQ(cat.rows().size(), 2u);
}

TEST(SingleLoadNote, EmptyNoteBecomesTheFileName)
{
    EXPECT_EQ(note_to_store("", "{\\rtf1 }", true, "a.jpg"), "a.jpg");
    EXPECT_EQ(note_to_store("", "{\\rtf1 }", false, "a.jpg"), "a.jpg");
    EXPECT_EQ(note_to_store("hi", "{\\rtf1 hi}", true, "a.jpg"), "{\\rtf1 hi}");
    EXPECT_EQ(note_to_store("hi", "{\\rtf1 hi}", false, "a.jpg"), "hi");
}

TEST(SingleLoadLight, NarrowTablesGetTheirFiveColumns)
{
    loadertest::Catalogue cat(0, store::Schema::Light);
    testsupport::TempDir source;
    loadertest::picture(source.path(), "l.png", "png");
    SingleLoadRequest r;
    r.folder = source.path();
    r.picture = "l.png";
    r.movie = "l.avi";
    r.note = "note";
    r.reference = "ignored";
    r.data_folder = cat.data_folder();
    const SingleLoadResult result = commit_single_load(*cat.conn, r);
    ASSERT_EQ(result.status, SingleLoadStatus::Loaded) << result.message.toStdString();
    store::Error e;
    EXPECT_EQ(cat.conn->record_count(e), 1);
    EXPECT_EQ(cat.conn->scalar("SELECT movfile || '/' || note FROM demopicture WHERE picfile = ?1", {"l.png"}, e).toString(),
              "l.avi/note");
}
