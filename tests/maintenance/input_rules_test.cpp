#include "maintenance/input_rules.h"
#include "maintenance/messages.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace mosswick::maintenance;

TEST(NumberKeys, DigitsAndBackspacePassAndStarOnlyWhereAllowed)
{
    for (int key = '0'; key <= '9'; ++key) {
        EXPECT_TRUE(number_key_accepted(key, false)) << key;
        EXPECT_TRUE(number_key_accepted(key, true)) << key;
    }
    EXPECT_TRUE(number_key_accepted(8, false));
    EXPECT_TRUE(number_key_accepted('*', true));
    EXPECT_FALSE(number_key_accepted('*', false));
    for (int key : std::initializer_list<int>{13, 27, 9, ' ', '-', '+', 'a', 'Z', '.', 0x0663 /* Arabic-Indic three */})
        EXPECT_FALSE(number_key_accepted(key, true)) << key;
}

TEST(NameKeys, TheCharactersNoNameMayHoldAreRefused)
{
    for (int key : {'"', '\\', '/', ':', '*', '?', '<', '>', '|'})
        EXPECT_FALSE(file_name_key_accepted(key)) << char(key);
    for (int key : std::initializer_list<int>{'a', '.', ' ', '-', '_', '(', 0xE9, 8, 13})
        EXPECT_TRUE(file_name_key_accepted(key)) << key;
}

TEST(PastedText, LosesWhatTheKeyFiltersRefuse)
{
    EXPECT_EQ(without_refused_number_characters(u"12ab*3 ", false), "123");
    EXPECT_EQ(without_refused_number_characters(u"*x1", true), "*1");
    EXPECT_EQ(without_refused_name_characters(u"a/b:c?.\"jpg|"), "abc.jpg");
    EXPECT_EQ(without_refused_name_characters(u"plain name.1"), "plain name.1");
}

struct NumberCase {
    const char* name;
    const char* text;
    std::optional<qint64> expected;
};

class TypedNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TypedNumbers, AreDigitsOnly)
{
    EXPECT_EQ(parse_typed_number(QString::fromUtf8(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedNumbers,
    ::testing::Values(NumberCase{"plain", "7", 7}, NumberCase{"leading_zeros", "007", 7}, NumberCase{"zero", "0", 0},
                      NumberCase{"ten_digits", "2147483648", 2147483648LL},
                      NumberCase{"eighteen_digits", "999999999999999999", 999999999999999999LL},
                      NumberCase{"zeros_do_not_count", "0000000000000000000012", 12},
                      NumberCase{"nineteen_digits", "1000000000000000000", std::nullopt},
                      NumberCase{"empty", "", std::nullopt}, NumberCase{"expression", "1*2", std::nullopt},
                      NumberCase{"star", "*", std::nullopt}, NumberCase{"blank", " 7", std::nullopt},
                      NumberCase{"sign", "-3", std::nullopt}, NumberCase{"plus", "+3", std::nullopt},
                      NumberCase{"sql", "1 or 1=1", std::nullopt}, NumberCase{"other_digits", "\xd9\xa3", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenameBoxes, SplitAFileNameAtItsLastDot)
{
    for (const auto& [name, base, extension] :
         {std::tuple{"holiday.01.jpg", "holiday.01", "jpg"}, {"noext", "noext", ""}, {"trailing.", "trailing", ""}}) {
        const SplitName split = split_at_last_dot(name);
        EXPECT_EQ(split.base, base) << name;
        EXPECT_EQ(split.extension, extension) << name;
    }
}

TEST(Messages, GridCountUsesThePluralAboveOne)
{
    EXPECT_EQ(grid_loaded_message(0), "Grid loaded: 0 record listed.");
    EXPECT_EQ(grid_loaded_message(1), "Grid loaded: 1 record listed.");
    EXPECT_EQ(grid_loaded_message(2), "Grid loaded: 2 records listed.");
    EXPECT_EQ(grid_loaded_message(100000), "Grid loaded: 100000 records listed.");
}

TEST(Messages, RenamePromptHasTwoBlanksBeforeThePage)
{
    EXPECT_EQ(rename_prompt_message("3", "1"),
              "Renaming file(s), change the name and press the 'Rename' button; Picture#:3,  Page#:1.");
}

TEST(Messages, UpdateSummaryCountsRecords)
{
    EXPECT_EQ(update_summary(0), "Update pictures completed, no updates made.");
    EXPECT_EQ(update_summary(1), "Update pictures completed on 1 record.");
    EXPECT_EQ(update_summary(12), "Update pictures completed on 12 records.");
}

TEST(Messages, VerifySummaryAndTiming)
{
    EXPECT_EQ(verify_summary(false), "Verify complete, no error(s) found.");
    EXPECT_EQ(verify_summary(true), "Verify complete, error(s) found.");
    EXPECT_EQ(elapsed_text(0), "0 ms");
    EXPECT_EQ(elapsed_text(1234), "1234 ms");
}

TEST(Messages, AStoppedEditSaysItWasNotMade)
{
    EXPECT_EQ(edit_stopped_message(EditKind::DeletePage), "Renumbering stopped, the page was not deleted.");
    EXPECT_EQ(edit_stopped_message(EditKind::DeletePicture), "Renumbering stopped, the picture was not deleted.");
    EXPECT_EQ(edit_stopped_message(EditKind::Insert), "Renumbering stopped, the picture was not inserted.");
    EXPECT_EQ(edit_stopped_message(EditKind::Exchange), "Renumbering stopped, the pictures were not exchanged.");
}
