#include "maintenance/verify_pass.h"

#include "core/listing.h"
#include "core/name_rules.h"
#include "maintenance_test_util.h"

#include <algorithm>

using namespace mosswick;
using namespace mosswick::maintenance;

namespace {

// The listed folder is there, empty, from the start.
class VerifyPass : public CatalogueTest {
protected:
    void SetUp() override { QDir().mkpath(folder()); }

    // Runs the pass over a folder as the loader's lists show it.
    VerifyResult run(const QString& folder, std::function<bool(int phase, qint64 value)> advance = {})
    {
        VerifyRequest request;
        request.picture_folder = folder;
        request.files_folder = folder;
        const Listing l = list_folder(folder);
        for (const QString& n : l.files) {
            request.all_files << n;
            if (files::is_picture_extension(n) && files::has_dot(n))
                request.pictures << n;
        }
        VerifyHooks hooks;
        hooks.phase_started = [this](int phase, std::optional<qint64> maximum) {
            phases << phase;
            maxima.push_back(maximum);
            current_phase = phase;
        };
        hooks.advance = [this, advance](qint64 value) {
            values.push_back({current_phase, value});
            return !advance || advance(current_phase, value);
        };
        return run_verify_pass(*conn, request, hooks);
    }

    QString folder() const { return dir.path() + "/listed"; }

    QList<int> phases;
    std::vector<std::optional<qint64>> maxima;
    std::vector<std::pair<int, qint64>> values;
    int current_phase = 0;
};

} // namespace

TEST_F(VerifyPass, AnEmptyFolderListsEveryRowsFilesAsMissing)
{
    make(3);
    exec("UPDATE demopicture SET movfile = 'pic002.avi' WHERE numpic = 2");
    const VerifyResult r = run(folder());
    EXPECT_EQ(r.outcome, VerifyOutcome::Done);
    EXPECT_TRUE(r.not_loaded.isEmpty());
    EXPECT_EQ(r.missing, QStringList({"pic001.jpg", "pic002.jpg", "pic002.avi", "pic003.jpg"}));
    EXPECT_TRUE(r.duplicates.isEmpty());
    EXPECT_TRUE(r.errors_found());
    ASSERT_EQ(maxima.size(), 2u);
    EXPECT_EQ(maxima[0], std::nullopt);   // phase 1 leaves the bar alone
    EXPECT_EQ(maxima[1], 3);
}

TEST_F(VerifyPass, AnEmptyFolderAndAnEmptyCatalogueAreInLine)
{
    make(0);
    const VerifyResult r = run(folder());
    EXPECT_EQ(r.outcome, VerifyOutcome::Done);
    EXPECT_FALSE(r.errors_found());
}

TEST_F(VerifyPass, FilesNoRowNamesAreListedAndNamesWithoutADotAreSkipped)
{
    make(2);
    exec("UPDATE demopicture SET movfile = 'pic001.avi' WHERE numpic = 1");
    for (const char* n : {"pic001.jpg", "pic001.avi", "pic002.jpg", "NEW.JPG", "stray.txt", "README", "loose.avi"})
        touch(folder() + "/" + n);
    const VerifyResult r = run(folder());
    EXPECT_EQ(r.outcome, VerifyOutcome::Done);
    // Pictures first (list order), then the other files.
    EXPECT_EQ(r.not_loaded, QStringList({"NEW.JPG", "loose.avi", "stray.txt"}));
    EXPECT_TRUE(r.missing.isEmpty());
    // 7 files listed; README is neither looked up nor counted.
    EXPECT_EQ(maxima[0], 7);
    EXPECT_EQ(std::count_if(values.begin(), values.end(), [](const auto& v) { return v.first == 1; }), 6);
}

TEST_F(VerifyPass, AMissingPictureAndMovieGiveTwoLinesPictureFirst)
{
    make(2);
    exec("UPDATE demopicture SET movfile = 'gone.avi' WHERE numpic = 2");
    touch(folder() + "/pic001.jpg");
    QDir().mkpath(folder() + "/pic002.jpg");   // a folder of that name is no file
    const VerifyResult r = run(folder());
    EXPECT_EQ(r.missing, QStringList({"pic002.jpg", "gone.avi"}));
}

TEST_F(VerifyPass, PairsHeldByMoreThanOneRowAreListedOnce)
{
    make(8);
    exec("UPDATE demopicture SET picfile = 'same.jpg', movfile = NULL WHERE numpic IN (1, 4, 7)");
    exec("UPDATE demopicture SET picfile = 'pair.jpg', movfile = 'pair.avi' WHERE numpic IN (2, 5)");
    exec("UPDATE demopicture SET picfile = 'two.jpg', movfile = 'one.avi' WHERE numpic = 3");
    exec("UPDATE demopicture SET picfile = 'two.jpg', movfile = 'other.avi' WHERE numpic = 6");
    const VerifyResult r = run(folder());
    EXPECT_EQ(r.duplicates, QStringList({"pair.jpg", "pair.avi", "-------------------------", "same.jpg", "no movie.",
                                         "-------------------------"}));
}

TEST_F(VerifyPass, AStopInPhaseOneKeepsWhatWasFoundAndSkipsPhaseTwo)
{
    make(2);
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
        touch(folder() + "/" + n);
    const VerifyResult r = run(folder(), [](int phase, qint64 value) { return !(phase == 1 && value == 2); });
    EXPECT_EQ(r.outcome, VerifyOutcome::Stopped);
    EXPECT_EQ(r.phase, 1);
    EXPECT_EQ(r.not_loaded, QStringList({"a.jpg", "b.jpg"}));
    EXPECT_TRUE(r.missing.isEmpty());
    EXPECT_EQ(phases, QList<int>({1}));
}

TEST_F(VerifyPass, AFileThatCannotBeOpenedEndsThePassWithItsError)
{
    make(3);
    // Too long for the file system once encoded: the open fails, but not
    // with "file not found".
    exec("UPDATE demopicture SET picfile = ?1 WHERE numpic = 2", {QString(200, QChar(0xE9)) + ".jpg"});
    const VerifyResult r = run(folder());
    EXPECT_EQ(r.outcome, VerifyOutcome::Failed);
    EXPECT_EQ(r.phase, 2);
    EXPECT_EQ(r.error.code, 75);
    EXPECT_EQ(r.missing, QStringList({"pic001.jpg", "pic003.jpg"}));
}

TEST(VerifyBar, PhaseOneMaximum)
{
    EXPECT_EQ(phase1_maximum(3, 10), 10);
    EXPECT_EQ(phase1_maximum(3, 0), 3);
    EXPECT_EQ(phase1_maximum(0, 4), 4);
    EXPECT_EQ(phase1_maximum(0, 0), std::nullopt);
}

TEST(VerifyGroups, FirstRowOfEachRepeatedPairCarriesTheLines)
{
    const std::vector<PicturePair> rows = {
        {QString("a.jpg"), ""},       {QString("a.jpg"), ""},     {QString("b.jpg"), "b.avi"},
        {QString("c.jpg"), "c.avi"},  {QString("c.jpg"), "c.avi"}, {std::nullopt, ""},
        {std::nullopt, ""},           {QString("ab"), "c"},        {QString("a"), "bc"},
    };
    const DuplicateGroups groups(rows);
    EXPECT_EQ(groups.lines_at(0), QStringList({"a.jpg", "no movie.", "-------------------------"}));
    EXPECT_EQ(groups.lines_at(3), QStringList({"c.jpg", "c.avi", "-------------------------"}));
    // Rows without a picture file (5) never pair, and "ab"+"c" (7) is not "a"+"bc".
    for (int row : {1, 2, 4, 5, 7, 99})
        EXPECT_TRUE(groups.lines_at(row).isEmpty()) << row;
}
