#include "loader/batch_load.h"

#include "loader_test_util.h"

#include <QFileInfo>

#include <unistd.h>

using namespace mosswick;
using namespace mosswick::loader;
using mosswick::files::NoteTarget;

namespace {

class BatchLoad : public ::testing::Test {
protected:
    explicit BatchLoad(int pictures = 0) : cat(pictures) {}

    BatchRequest request(BatchOptions options = {})
    {
        BatchRequest r = loadertest::batch_request(source.path(), cat, cat.db_folder() + "load errors.log");
        r.options = options;
        return r;
    }
    BatchResult run(const BatchRequest& r) { return run_batch_load(*cat.conn, r, hooks); }
    QStringList log_lines() const
    {
        return QString::fromUtf8(testsupport::read_all(cat.db_folder() + "load errors.log"))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    void pictures(int n, const QString& prefix = "p")
    {
        // Loads by name never read the picture: empty files list as well.
        for (int i = 1; i <= n; ++i)
            loadertest::text_file(source.path(), QStringLiteral("%1%2.jpg").arg(prefix).arg(i, 4, 10, QLatin1Char('0')), {});
    }
    void expect_numbered_without_gaps()
    {
        const auto rows = cat.rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].numpic, qint64(i + 1));
            EXPECT_EQ(rows[i].numpage, qint64(i / 6 + 1));
        }
    }

    loadertest::Catalogue cat;
    testsupport::TempDir source;
    BatchHooks hooks;
};

class BatchLoadOnFour : public BatchLoad {
protected:
    BatchLoadOnFour() : BatchLoad(28) {}
};

} // namespace

TEST_F(BatchLoad, FourteenPicturesFillTwoPagesAndTwoPlaces)
{
    pictures(14);
    std::vector<std::pair<int, qint64>> phases;
    std::vector<qint64> values;
    hooks.phase_started = [&](int phase, qint64 max) { phases.emplace_back(phase, max); };
    hooks.advance = [&](qint64 v) {
        values.push_back(v);
        return true;
    };
    const BatchResult r = run(request());
    EXPECT_EQ(r.outcome, BatchOutcome::Done);
    EXPECT_EQ(r.listed, 14);
    EXPECT_EQ(r.loaded, 14);
    EXPECT_FALSE(r.errors);
    EXPECT_EQ(phases, (std::vector<std::pair<int, qint64>>{{1, 28}, {2, 14}}));
    EXPECT_EQ(values.size(), 42u);   // both phases
    EXPECT_EQ(values.back(), 14);
    ASSERT_EQ(cat.rows().size(), 14u);
    expect_numbered_without_gaps();
    EXPECT_EQ(cat.row("p0001.jpg").note.toString(), "p0001.jpg");
    EXPECT_FALSE(QFileInfo::exists(cat.db_folder() + "load errors.log"));
}

TEST_F(BatchLoadOnFour, ALastPageOfFourIsFilledFirst)
{
    pictures(3, "new");
    ASSERT_EQ(run(request()).outcome, BatchOutcome::Done);
    EXPECT_EQ(cat.row("new0001.jpg").numpic, 29);
    EXPECT_EQ(cat.row("new0001.jpg").numpage, 5);
    EXPECT_EQ(cat.row("new0002.jpg").numpage, 5);
    EXPECT_EQ(cat.row("new0003.jpg").numpic, 31);
    EXPECT_EQ(cat.row("new0003.jpg").numpage, 6);
}

TEST_F(BatchLoad, CompanionMatrix)
{
    struct Case {
        bool text_in;
        NoteTarget target;
        const char* companion;   // beside x.jpg
        const char* movfile;     // expected; nullptr: Null
        const char* field;       // "note", "addnote", "reference": which holds the text
        bool moved;
    } cases[] = {
        {false, NoteTarget::Note, "x.avi", "x.avi", nullptr, false},
        {false, NoteTarget::Note, "x.txt", "x.txt", nullptr, false},
        {false, NoteTarget::Note, "x.rtf", "x.rtf", nullptr, false},
        {true, NoteTarget::Note, "x.avi", nullptr, nullptr, false},
        {true, NoteTarget::Note, "x.txt", nullptr, "note", true},
        {true, NoteTarget::Note, "x.rtf", nullptr, "note", true},
        {true, NoteTarget::AddNote, "x.txt", nullptr, "addnote", true},
        {true, NoteTarget::AddNote, "x.rtf", nullptr, "addnote", true},
        {true, NoteTarget::Reference, "x.txt", nullptr, "reference", true},
        {true, NoteTarget::Reference, "x.rtf", nullptr, nullptr, false},
        {true, NoteTarget::Reference, "x.avi", nullptr, nullptr, false},
        {true, NoteTarget::AddNote, "X.txt", nullptr, nullptr, false},   // another case: no companion
    };
    const QByteArray txt = "line one\nline two";
    const QByteArray rtf = "{\\rtf1\\ansi {\\fonttbl{\\f0 Arial;}}\\f0 rich \\b text\\b0\\par}";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.companion) + (c.text_in ? " IN " : " OUT ") + std::to_string(int(c.target)));
        loadertest::Catalogue fresh;
        testsupport::TempDir folder;
        loadertest::picture(folder.path(), "x.jpg");
        const QString companion = QString::fromUtf8(c.companion);
        const bool is_rtf = companion.endsWith(".rtf");
        const QString comp_path = loadertest::text_file(folder.path(), companion, is_rtf ? rtf : txt);
        BatchRequest r = loadertest::batch_request(folder.path(), fresh, fresh.db_folder() + "log.log");
        ASSERT_EQ(r.pictures, QStringList{"x.jpg"});
        r.options.companion_text_in = c.text_in;
        r.options.note_target = c.target;
        QString movie = "unset";
        BatchHooks h;
        h.movie_found = [&](const QString& m) { movie = m; };
        const BatchResult res = run_batch_load(*fresh.conn, r, h);
        ASSERT_EQ(res.outcome, BatchOutcome::Done) << res.message.toStdString();
        const auto row = fresh.row("x.jpg");
        if (c.movfile)
            EXPECT_EQ(row.movfile.toString(), QString::fromUtf8(c.movfile));
        else
            EXPECT_FALSE(row.movfile.isValid());
        const QString field = c.field ? QString::fromUtf8(c.field) : QString();
        const QString expected = is_rtf ? QString::fromLatin1(rtf) : QStringLiteral("line one\r\nline two");
        EXPECT_EQ(row.note.toString(), field == "note" ? expected : QStringLiteral("x.jpg"));
        if (field == "addnote")
            EXPECT_EQ(row.addnote.toString(), expected);
        else
            EXPECT_FALSE(row.addnote.isValid());
        if (field == "reference")
            EXPECT_EQ(row.reference.toString(), expected);
        else
            EXPECT_FALSE(row.reference.isValid());
        EXPECT_EQ(QFileInfo::exists(comp_path), !c.moved);
        EXPECT_EQ(QFileInfo::exists(fresh.db_folder() + companion), c.moved);
        EXPECT_EQ(movie, companion == "X.txt" ? QString() : companion);
    }
}

TEST_F(BatchLoad, CompanionsPairByExactBaseAndTheFirstInListOrderWins)
{
    for (const char* n : {"a.jpg", "a.avi", "a.mpg", "A.mov", "B.jpg", "b.avi", "my.photo.jpg", "my.photo.old.txt",
                          "my.photo.txt", "clip.jpg", "clip"})
        loadertest::text_file(source.path(), QString::fromUtf8(n), {});
    ASSERT_EQ(run(request()).outcome, BatchOutcome::Done);
    EXPECT_EQ(cat.row("a.jpg").movfile.toString(), "a.avi");
    EXPECT_FALSE(cat.row("B.jpg").movfile.isValid());
    EXPECT_EQ(cat.row("my.photo.jpg").movfile.toString(), "my.photo.txt");
    EXPECT_FALSE(cat.row("clip.jpg").movfile.isValid());
}

TEST_F(BatchLoad, TwoPicturesSharingANoteFileReadItOnce)
{
    loadertest::text_file(source.path(), "s.bmp", {});
    loadertest::text_file(source.path(), "s.jpg", {});
    loadertest::text_file(source.path(), "s.txt", "shared");
    BatchOptions o;
    o.companion_text_in = true;
    ASSERT_EQ(run(request(o)).outcome, BatchOutcome::Done);
    EXPECT_EQ(cat.row("s.bmp").note.toString(), "shared");
    EXPECT_EQ(cat.row("s.jpg").note.toString(), "s.jpg");
    EXPECT_TRUE(QFileInfo::exists(cat.db_folder() + "s.txt"));
}

TEST_F(BatchLoad, ReferenceTakesTheFirst255CharactersOfAText)
{
    loadertest::text_file(source.path(), "r.jpg", {});
    loadertest::text_file(source.path(), "r.txt", QByteArray(300, 'z'));
    BatchOptions o;
    o.companion_text_in = true;
    o.note_target = NoteTarget::Reference;
    ASSERT_EQ(run(request(o)).outcome, BatchOutcome::Done);
    EXPECT_EQ(cat.row("r.jpg").reference.toString(), QString(255, u'z'));
}

TEST_F(BatchLoad, AnExistingNoteFileInTheCatalogueFolderIsNeverOverwritten)
{
    loadertest::text_file(source.path(), "n.jpg", {});
    const QString note = loadertest::text_file(source.path(), "n.txt", "fresh text");
    loadertest::text_file(cat.dir.path(), "n.txt", "older file");
    BatchOptions o;
    o.companion_text_in = true;
    const BatchResult r = run(request(o));
    ASSERT_EQ(r.outcome, BatchOutcome::Done);
    EXPECT_TRUE(r.errors);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_EQ(cat.row("n.jpg").note.toString(), "fresh text");
    EXPECT_EQ(testsupport::read_all(cat.db_folder() + "n.txt"), "older file");
    EXPECT_TRUE(QFileInfo::exists(note));
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_TRUE(log_lines().front().endsWith(" - File name: n.txt"));
}

TEST_F(BatchLoad, DuplicatesAreLoggedAndSkippedExceptFromTheDataFolder)
{
    loadertest::text_file(source.path(), "pic001.jpg", {});
    loadertest::text_file(source.path(), "new.jpg", {});
    // pic001.jpg is catalogued already.
    ASSERT_TRUE(cat.conn->exec("INSERT INTO demopicture (picfile, numpic, numpage) VALUES ('pic001.jpg', 1, 1)").ok());
    QDateTime stamp(QDate(2023, 1, 2), QTime(3, 4, 5));
    hooks.now = [&] { return stamp; };
    BatchResult r = run(request());
    EXPECT_EQ(r.outcome, BatchOutcome::Done);
    EXPECT_EQ(r.listed, 2);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_TRUE(r.errors);
    EXPECT_EQ(cat.row("new.jpg").numpic, 2);
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_TRUE(log_lines().front().endsWith(" - File name: pic001.jpg"));

    // From the data folder the name is loaded once more.
    loadertest::text_file(cat.data_folder(), "pic001.jpg", {});
    BatchRequest from_data = request();
    from_data.list_folder = cat.data_folder();
    from_data.pictures = {"pic001.jpg"};
    from_data.all_files = {"pic001.jpg"};
    r = run(from_data);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_FALSE(r.errors);
    EXPECT_EQ(cat.rows().size(), 3u);
}

TEST_F(BatchLoad, InsideRunsStoreBytesAndLogRefusedOrUnusablePictures)
{
    loadertest::picture(source.path(), "a.jpg");
    loadertest::picture(source.path(), "a.png", "png");
    loadertest::text_file(source.path(), "a.avi", "movie");
    loadertest::text_file(source.path(), "empty.gif", {});
    loadertest::text_file(source.path(), "fake.bmp", "not a picture");
    loadertest::picture(source.path(), "z.bmp", "bmp");
    BatchOptions o;
    o.pictures_inside = true;
    bool movie_hook = false;
    hooks.movie_found = [&](const QString&) { movie_hook = true; };
    const BatchResult r = run(request(o));
    ASSERT_EQ(r.outcome, BatchOutcome::Done) << r.message.toStdString();
    EXPECT_EQ(r.listed, 5);
    EXPECT_EQ(r.loaded, 2);
    EXPECT_TRUE(r.errors);
    EXPECT_FALSE(movie_hook);
    const auto a = cat.row("a.jpg");
    EXPECT_EQ(a.numpic, 1);
    EXPECT_EQ(a.inoutpic.toInt(), 1);
    EXPECT_FALSE(a.movfile.isValid());
    EXPECT_EQ(a.dbpic_bytes, QFileInfo(source.file("a.jpg")).size());
    // The numbers of skipped pictures go to the next one.
    EXPECT_EQ(cat.row("z.bmp").numpic, 2);
    store::Error e;
    EXPECT_TRUE(cat.conn->read_picture_bytes(2, e) == testsupport::read_all(source.file("z.bmp")));
    const QStringList lines = log_lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("File name: a.png"));
    EXPECT_TRUE(lines[1].endsWith("File name: empty.gif"));
    EXPECT_TRUE(lines[2].endsWith("File name: fake.bmp"));
}

TEST_F(BatchLoad, ALongNameEndsTheRunBeforeAnythingIsWritten)
{
    pictures(3);
    // Linux file names end at 255 bytes: the longer name only exists as a name.
    const QString long_movie = QString(252, u'm') + ".avi";
    BatchRequest with_long = request();
    with_long.all_files << long_movie;
    const BatchResult r = run(with_long);
    EXPECT_EQ(r.outcome, BatchOutcome::NameTooLong);
    EXPECT_EQ(r.phase, 1);
    EXPECT_EQ(r.message, "The movie file name: " + long_movie + ", is 256 bytes, movie file name cannot exceed 255 bytes.");
    EXPECT_TRUE(cat.rows().empty());

    BatchRequest pic = request();
    pic.pictures.prepend(QString(300, u'q') + ".jpg");
    EXPECT_TRUE(run(pic).message.startsWith("The picture file name: qqq"));
}

TEST_F(BatchLoad, AStopHalfwayKeepsEverySavedRowAndAConsistentCatalogue)
{
    const int total = k_rows_per_commit * 2 + 100;
    pictures(total);
    const qint64 stop_at = k_rows_per_commit + 150;   // in the second batch
    int phase = 0;
    hooks.phase_started = [&](int p, qint64) { phase = p; };
    hooks.advance = [&](qint64 v) { return !(phase == 2 && v == stop_at); };
    const BatchResult r = run(request());
    EXPECT_EQ(r.outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r.phase, 2);
    EXPECT_EQ(r.loaded, stop_at);
    EXPECT_EQ(qint64(cat.rows().size()), stop_at);
    expect_numbered_without_gaps();
    EXPECT_EQ(cat.conn->savepoint_depth(), 0);

    // A stop in phase 1 writes nothing.
    loadertest::Catalogue other;
    hooks.advance = [&](qint64 v) { return v < 5; };
    BatchRequest again = request();
    again.db_folder = other.db_folder();
    again.data_folder = other.data_folder();
    const BatchResult r1 = run_batch_load(*other.conn, again, hooks);
    EXPECT_EQ(r1.outcome, BatchOutcome::Stopped);
    EXPECT_EQ(r1.phase, 1);
    EXPECT_TRUE(other.rows().empty());
}

TEST_F(BatchLoad, AnErrorHalfwayKeepsTheRowsBeforeIt)
{
    for (int i = 1; i <= 6; ++i) {
        const QString name = QStringLiteral("e%1").arg(i);
        loadertest::text_file(source.path(), name + ".jpg", {});
        loadertest::text_file(source.path(), name + ".txt", "note " + name.toLatin1());
    }
    BatchOptions o;
    o.companion_text_in = true;
    BatchRequest r = request(o);
    // The fourth note file goes away after the folder was listed.
    hooks.picture_started = [&](const QString& path) {
        if (path.endsWith("e4.jpg"))
            QFile::remove(source.file("e4.txt"));
    };
    const BatchResult res = run(r);
    EXPECT_EQ(res.outcome, BatchOutcome::Failed);
    EXPECT_TRUE(res.message.startsWith("Error 53 - ")) << res.message.toStdString();
    EXPECT_EQ(res.loaded, 3);
    ASSERT_EQ(cat.rows().size(), 3u);
    expect_numbered_without_gaps();
    // The note files of the saved rows moved; the rest stayed.
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(QFileInfo::exists(cat.db_folder() + QStringLiteral("e%1.txt").arg(i)));
    EXPECT_TRUE(QFileInfo::exists(source.file("e5.txt")));
    EXPECT_EQ(cat.conn->savepoint_depth(), 0);

    // The same catalogue takes the next run.
    const BatchResult next = run(request(o));
    EXPECT_EQ(next.outcome, BatchOutcome::Done);
    EXPECT_EQ(cat.rows().size(), 6u);
    expect_numbered_without_gaps();
}

TEST_F(BatchLoad, APictureEmptiedAfterListingIsLoggedAndLeavesNoRow)
{
    loadertest::picture(source.path(), "ok.jpg");
    loadertest::picture(source.path(), "vanishing.jpg");
    BatchOptions o;
    o.pictures_inside = true;
    BatchRequest r = request(o);
    hooks.picture_started = [&](const QString& path) {
        if (path.endsWith("vanishing.jpg")) {
            ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 0), 0);
        }
    };
    const BatchResult res = run(r);
    EXPECT_EQ(res.outcome, BatchOutcome::Done);
    EXPECT_TRUE(res.errors);
    ASSERT_EQ(cat.rows().size(), 1u);
    EXPECT_EQ(cat.rows()[0].picfile.toString(), "ok.jpg");
}
