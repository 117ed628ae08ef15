#include "search_fixture.h"

#include "search/criteria.h"
#include "search/queries.h"

using namespace searchtest;
using namespace mosswick::search;

namespace {

struct WordsCase {
    const char* name;
    QString text;
    QStringList words;
};

class SplitWords : public ::testing::TestWithParam<WordsCase> {};

TEST_P(SplitWords, GivesThePiecesBetweenSingleSpaces)
{
    EXPECT_EQ(split_words(GetParam().text), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitWords,
                         ::testing::Values(WordsCase{"one", "sea", {"sea"}},
                                           WordsCase{"two", "sea sun", {"sea", "sun"}},
                                           WordsCase{"outer_spaces_trimmed", "  sea sun ", {"sea", "sun"}},
                                           WordsCase{"double_space_empty_word", "sea  sun", {"sea", "", "sun"}},
                                           WordsCase{"spaces_only_one_empty_word", "   ", {""}},
                                           WordsCase{"tabs_are_not_spaces", "\tsea", {"\tsea"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LimitCase {
    const char* name;
    int reference_words;
    int picture_words;
    bool picture_text;
    bool refused;
};

class PatternLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(PatternLimit, RefusesMoreThanNinetyNinePatterns)
{
    const LimitCase& c = GetParam();
    EXPECT_EQ(exceeds_pattern_limit(c.reference_words, c.picture_words, c.picture_text), c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PatternLimit,
    ::testing::Values(LimitCase{"ninety_nine_references_alone", 99, 0, false, false},
                      LimitCase{"ninety_nine_references_with_picture", 99, 0, true, true},
                      LimitCase{"a_hundred_references", 100, 0, false, true},
                      LimitCase{"ninety_eight_references_with_picture", 98, 0, true, false},
                      LimitCase{"ninety_nine_picture_words", 0, 99, true, true},
                      LimitCase{"ninety_eight_picture_words", 0, 98, true, false},
                      LimitCase{"sum_above_limit", 50, 50, true, true},
                      LimitCase{"sum_at_limit", 50, 49, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(SameText, IsSearchedInTheNameAndWordByWordInTheReference)
{
    EXPECT_EQ(scope_for_same_text("sea sun", "sea sun", false), PictureScope::PictureOrReference);
    EXPECT_EQ(scope_for_same_text("sea sun", "sea sun", true), PictureScope::PictureAndReference);
    EXPECT_FALSE(scope_for_same_text("", "", false));
    EXPECT_FALSE(scope_for_same_text("sea", "Sea", false));
    EXPECT_FALSE(scope_for_same_text("sea", "", false));
}

TEST(PictureCriteria, TypedTextIsBoundNeverPartOfTheStatement)
{
    PictureSearchInput in;
    in.picture_text = QStringLiteral("x\" OR 1=1 --");
    in.reference_text = QStringLiteral("a'b \"c\"");
    const PictureCriteria c = build_picture_criteria(in);
    const BoundQuery q = picture_search_query(c, false);
    EXPECT_FALSE(q.sql().contains(QStringLiteral("1=1")));
    EXPECT_FALSE(q.sql().contains(u'"'));
    EXPECT_EQ(q.params, (QVariantList{"a'b", "\"c\"", "x\" OR 1=1 --"}));
    EXPECT_EQ(c.reference_words, 2);
    EXPECT_EQ(c.picture_words, 0);
    EXPECT_TRUE(q.sql().endsWith(QStringLiteral(" ORDER BY numpic, numpage")));
    EXPECT_TRUE(picture_search_query(c, true).sql().endsWith(QStringLiteral(" ORDER BY picfile COLLATE mw_fold, numpic")));
}

TEST(PictureCriteria, BothBoxesEmptyListEverything)
{
    const PictureCriteria c = build_picture_criteria({});
    EXPECT_TRUE(c.where.isEmpty());
    EXPECT_TRUE(c.params.isEmpty());
    EXPECT_FALSE(c.too_many);
}

TEST(PictureCriteria, CountsWordsAndFlagsTheLimit)
{
    PictureSearchInput in;
    QStringList many;
    for (int i = 0; i < 99; ++i)
        many << QStringLiteral("w%1").arg(i);
    in.reference_text = many.join(u' ');
    EXPECT_FALSE(build_picture_criteria(in).too_many);
    in.picture_text = QStringLiteral("x");
    EXPECT_TRUE(build_picture_criteria(in).too_many);
    in.picture_text.clear();
    in.reference_text += QStringLiteral(" one_more");
    EXPECT_TRUE(build_picture_criteria(in).too_many);

    PictureSearchInput pic;
    pic.picture_text = many.join(u' ');
    pic.scope = PictureScope::PictureOrReference;
    const PictureCriteria c = build_picture_criteria(pic);
    EXPECT_EQ(c.picture_words, 99);
    EXPECT_TRUE(c.too_many);
    pic.scope = PictureScope::Picture;
    EXPECT_FALSE(build_picture_criteria(pic).too_many);   // the name is one pattern
}

namespace {

// Five rows whose names and references tell the rules apart.
class PictureSearch : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        add(1, "Beach_01.jpg", {{}, {}, "sea sun", {}});
        add(2, "beach%.jpg", {});
        add(3, "mountain.jpg", {{}, {}, "snow sun", {}});
        add(4, "CITY.jpg", {{}, {}, QString(""), {}});
        add(5, "b_ach.jpg", {{}, {}, "Sea", {}});
    }

    QStringList found(const PictureSearchInput& in)
    {
        store::Error e;
        const GridRows rows = read_rows(*conn, picture_search_query(build_picture_criteria(in), in.order_by_name),
                                        k_search_columns, e);
        EXPECT_FALSE(e) << e.text.toStdString();
        return column(rows, 0);
    }

    static PictureSearchInput picture(const QString& t)
    {
        PictureSearchInput in;
        in.picture_text = t;
        return in;
    }

    static PictureSearchInput reference(const QString& t, bool words_and = false)
    {
        PictureSearchInput in;
        in.reference_text = t;
        in.words_and = words_and;
        return in;
    }
};

} // namespace

TEST_F(PictureSearch, FileNameTextIsALiteralCaseInsensitivePart)
{
    EXPECT_EQ(found(picture("BEACH")), (QStringList{"1", "2"}));
    EXPECT_EQ(found(picture("%")), (QStringList{"2"}));
    EXPECT_EQ(found(picture("_")), (QStringList{"1", "5"}));
    EXPECT_EQ(found(picture("ch_0")), (QStringList{"1"}));
    EXPECT_EQ(found(picture("n.j")), (QStringList{"3"}));
    EXPECT_TRUE(found(picture(" beach")).isEmpty());   // spaces are kept
}

TEST_F(PictureSearch, ReferenceWordsJoinedByOrOrAnd)
{
    EXPECT_EQ(found(reference("sun")), (QStringList{"1", "3"}));
    EXPECT_EQ(found(reference("sea sun")), (QStringList{"1", "3", "5"}));
    EXPECT_EQ(found(reference("sea sun", true)), (QStringList{"1"}));
    EXPECT_EQ(found(reference("sea", true)), (QStringList{"1", "5"}));
}

TEST_F(PictureSearch, EmptyWordsMatchEveryReferenceThatIsNotNull)
{
    EXPECT_EQ(found(reference("   ")), (QStringList{"1", "3", "4", "5"}));
    EXPECT_EQ(found(reference("zzz  qqq")), (QStringList{"1", "3", "4", "5"}));
}

TEST_F(PictureSearch, PictureAndReferencePartsKeepTheirWordGroupsTogether)
{
    PictureSearchInput in = reference("sea sun");
    in.picture_text = QStringLiteral("beach");
    in.parts_and = true;
    // (sea OR sun) AND beach: plain precedence would also give row 5.
    EXPECT_EQ(found(in), (QStringList{"1"}));
    in.parts_and = false;
    EXPECT_EQ(found(in), (QStringList{"1", "2", "3", "5"}));
    in.picture_text = QStringLiteral("mountain");
    in.reference_text = QStringLiteral("sea");
    in.parts_and = true;
    EXPECT_TRUE(found(in).isEmpty());
}

TEST_F(PictureSearch, PictureTextAlsoSearchedWordByWordInTheReference)
{
    PictureSearchInput in = picture("city sun");
    in.scope = PictureScope::PictureOrReference;
    EXPECT_EQ(found(in), (QStringList{"1", "3"}));
    in = picture("a");
    in.scope = PictureScope::PictureAndReference;
    EXPECT_EQ(found(in), (QStringList{"1", "5"}));
    in = picture("sea sun");
    in.scope = PictureScope::PictureAndReference;
    EXPECT_TRUE(found(in).isEmpty());   // no file name holds "sea sun"
}

TEST_F(PictureSearch, OrderByFileNameFoldsCaseAndKeepsNumbersOtherwise)
{
    PictureSearchInput in;
    EXPECT_EQ(found(in), (QStringList{"1", "2", "3", "4", "5"}));
    in.order_by_name = true;
    EXPECT_EQ(found(in), (QStringList{"5", "2", "1", "4", "3"}));
}

TEST_F(PictureSearch, CatalogueWithoutReferenceColumnStillSearchesNames)
{
    PictureSearchInput in = reference("sea");
    in.has_reference = false;
    EXPECT_TRUE(found(in).isEmpty());
    in.picture_text = QStringLiteral("city");
    EXPECT_EQ(found(in), (QStringList{"4"}));
}
