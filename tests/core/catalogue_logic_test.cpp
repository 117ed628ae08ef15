#include "core/catalogue_logic.h"

#include <gtest/gtest.h>

using namespace mosswick;

TEST(CommandLine, QuotesAreRemovedOnlyInPairs)
{
    EXPECT_EQ(command_line_path("\"/home/u/a.mdb\"", "/tmp"), "/home/u/a.mdb");
    EXPECT_EQ(command_line_path("/home/u/a.mdb", "/tmp"), "/home/u/a.mdb");
    EXPECT_EQ(command_line_path("\"/home/u/a.mdb", "/tmp"), "/tmp/\"/home/u/a.mdb");
    EXPECT_EQ(command_line_path("\"", "/tmp"), "/tmp/\"");
    EXPECT_EQ(command_line_path("\"\"", "/tmp"), "");
    EXPECT_EQ(command_line_path("", "/tmp"), "");
    EXPECT_EQ(command_line_path("a.mdb", "/tmp/x"), "/tmp/x/a.mdb");
    EXPECT_EQ(command_line_path("\"my pics/a b.mdb\"", "/"), "/my pics/a b.mdb");
}

TEST(Paths, FolderNameAndJoinNeverDoubleTheSeparator)
{
    EXPECT_EQ(folder_of("/home/u/a.mdb"), "/home/u/");
    EXPECT_EQ(folder_of("/a.mdb"), "/");
    EXPECT_EQ(file_name_of("/home/u/a.mdb"), "a.mdb");
    EXPECT_EQ(file_name_of("a.mdb"), "a.mdb");
    EXPECT_EQ(join_path("/", "new.mdb"), "/new.mdb");
    EXPECT_EQ(join_path("/home/u", "new.mdb"), "/home/u/new.mdb");
    EXPECT_EQ(join_path("/home/u/", "new.mdb"), "/home/u/new.mdb");
    EXPECT_EQ(join_path("/home/u/", "/new.mdb"), "/home/u/new.mdb");
}

TEST(Pages, CountAndTicks)
{
    for (const auto& [pictures, pages] : std::vector<std::pair<qint64, qint64>>{
             {0, 0}, {1, 1}, {6, 1}, {7, 2}, {12, 2}, {13, 3}, {6 * 3000000000LL + 1, 3000000001LL}})
        EXPECT_EQ(page_count(pictures), pages) << pictures;
    EXPECT_EQ(slider_tick_interval(495), 1);
    EXPECT_EQ(slider_tick_interval(496), 0);
}

TEST(OpenFailure, AProtectedCatalogueInAnEditionWithoutPasswordsIsNamedAsSuch)
{
    const store::Error wrong = store::make_error(store::ErrorKind::WrongPassword, "Not a valid password.");
    const StatusText light = open_failure_text(wrong, Edition::light());
    EXPECT_EQ(light.text, "The catalogue has a password: it is opened by the full edition (mosswick-enhanced).");
    EXPECT_EQ(light.detail, "Error 26 - Not a valid password.");
    // A refusal of the file's format is not numbered as an engine error.
    for (const store::ErrorKind kind :
         {store::ErrorKind::NotCatalogue, store::ErrorKind::JetFile, store::ErrorKind::UnsafeSchema})
        for (const Edition& e : {Edition::enhanced(), Edition::light()})
            EXPECT_EQ(open_failure_text(store::make_error(kind, "/a.mdb was refused: it holds a trigger."), e).text,
                      "/a.mdb was refused: it holds a trigger.");
    // Anything else says what the store said, in both editions.
    const store::Error damaged = store::make_error(store::ErrorKind::Corrupt, "The catalogue /a.mdb is damaged (x).");
    for (const Edition& e : {Edition::enhanced(), Edition::light()}) {
        const StatusText said = open_failure_text(damaged, e);
        EXPECT_EQ(said.text, "Error 11 - The catalogue /a.mdb is damaged (x).");
        EXPECT_TRUE(said.detail.isEmpty());
    }
}

TEST(CreateFailure, TheLightEditionSaysItsOwnTextAndKeepsTheReasonForTheTooltip)
{
    const store::Error exists = store::make_error(store::ErrorKind::FileExists, "File already exists: /d/new.mdb");
    const StatusText light = create_failure_text(exists, Edition::light());
    EXPECT_EQ(light.text, "ADODB Error occurred.");
    EXPECT_EQ(light.detail, "Error 58 - File already exists: /d/new.mdb");
    const StatusText full = create_failure_text(exists, Edition::enhanced());
    EXPECT_EQ(full.text, "Error 58 - File already exists: /d/new.mdb");
    EXPECT_TRUE(full.detail.isEmpty());
}

TEST(PageNumbers, NumbersAreParsedStrictly)
{
    for (const auto& [text, number] : {std::pair{"12", 12}, {" 7 ", 7}, {"0", 0}, {"2147483647", 2147483647}})
        EXPECT_EQ(parse_number(text), number) << text;
    // Out of range, not whole numbers, or digits of another script.
    for (const char* text : {"2147483648", "", "12abc", "-3", "1e3", "99999999999", "٣"})
        EXPECT_FALSE(parse_number(text)) << text;
}
