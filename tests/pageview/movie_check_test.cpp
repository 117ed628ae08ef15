// What a movie label may hand to the desktop, for every kind of stored name
// a catalogue from elsewhere can hold.
#include "pageview/movie_check.h"

#include "support/test_support.h"
#include "support/watched_file.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mosswick;

namespace {

struct MovieCase {
    const char* name;
    MovieVerdict verdict;
};

// A case is known by its stored name, in test names and failures alike.
void PrintTo(const MovieCase& c, std::ostream* os)
{
    *os << '"' << c.name << '"';
}

class MovieNames : public ::testing::TestWithParam<MovieCase> {
protected:
    void SetUp() override
    {
        for (const char* folder : {"data", "outside", "data/folder.avi"})
            QDir().mkpath(dir.file(folder));
        dir.write("x.avi", "movie");
        dir.write("outside/evil.desktop", "[Desktop Entry]\nExec=touch PWNED\n");
        dir.write("data/clip.avi", "movie");
        dir.write("data/Clip.MP4", "movie");
        dir.write("data/song.mp3", "sound");
        dir.write("data/run.avi", "#!/bin/sh\ntouch PWNED\n");
        ::chmod(QFile::encodeName(dir.file("data/run.avi")).constData(), 0755);
        dir.write("data/launcher.desktop", "[Desktop Entry]\n");
        dir.write("data/script.sh", "touch PWNED\n");
        dir.write("data/noext", "movie");
        testsupport::make_link(dir.file("x.avi"), dir.file("data/link.avi"));
        testsupport::make_link(dir.file("nowhere.avi"), dir.file("data/dangling.avi"));
        ::mkfifo(QFile::encodeName(dir.file("data/pipe.avi")).constData(), 0644);
    }
    QString data_folder() const { return dir.path() + "/data/"; }

    testsupport::TempDir dir;
};

} // namespace

TEST_P(MovieNames, OnlyAPlainMovieFileOfTheDataFolderOpens)
{
    const MovieCase c = GetParam();
    QString name = QString::fromUtf8(c.name);
    name.replace("$ABS", dir.path());
    const MovieCheck check = check_movie(data_folder(), name);
    EXPECT_EQ(check.verdict, c.verdict) << c.name;
    EXPECT_EQ(check.path, data_folder() + name);
    const QString refusal = movie_refusal(check, name);
    if (c.verdict == MovieVerdict::Ok) {
        EXPECT_TRUE(refusal.isEmpty());
    } else {
        EXPECT_TRUE(refusal.startsWith(c.verdict == MovieVerdict::NotFound ? "Error 53 - " : "Error 75 - "))
            << refusal.toStdString();
        EXPECT_EQ(refusal.contains("Movie not opened"), c.verdict != MovieVerdict::NotFound) << refusal.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, MovieNames,
    ::testing::Values(MovieCase{"clip.avi", MovieVerdict::Ok}, MovieCase{"Clip.MP4", MovieVerdict::Ok},
                      MovieCase{"song.mp3", MovieVerdict::Ok},
                      MovieCase{"../x.avi", MovieVerdict::NotBareName},
                      MovieCase{"../../outside/evil.desktop", MovieVerdict::NotBareName},
                      MovieCase{"$ABS/x.avi", MovieVerdict::NotBareName},
                      MovieCase{"sub/clip.avi", MovieVerdict::NotBareName}, MovieCase{".", MovieVerdict::NotBareName},
                      MovieCase{"..", MovieVerdict::NotBareName}, MovieCase{"", MovieVerdict::NotBareName},
                      MovieCase{"launcher.desktop", MovieVerdict::NotMovieType},
                      MovieCase{"script.sh", MovieVerdict::NotMovieType},
                      MovieCase{"noext", MovieVerdict::NotMovieType},
                      MovieCase{"link.avi", MovieVerdict::NotPlainFile},
                      MovieCase{"dangling.avi", MovieVerdict::NotPlainFile},
                      MovieCase{"folder.avi", MovieVerdict::NotPlainFile},
                      MovieCase{"pipe.avi", MovieVerdict::NotPlainFile},
                      MovieCase{"run.avi", MovieVerdict::Executable}, MovieCase{"gone.avi", MovieVerdict::NotFound}));

TEST(MovieNamesWithNul, AreNoFileNames)
{
    // A stored name cut short at a NUL would name another file.
    EXPECT_EQ(check_movie("/tmp/", QStringLiteral("clip.avi") + QChar(0) + QStringLiteral("x")).verdict,
              MovieVerdict::NotBareName);
}
