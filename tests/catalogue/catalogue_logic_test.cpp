#include "catalogue/catalogue_logic.h"

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
    EXPECT_EQ(page_count(0), 0);
    EXPECT_EQ(page_count(1), 1);
    EXPECT_EQ(page_count(6), 1);
    EXPECT_EQ(page_count(7), 2);
    EXPECT_EQ(page_count(12), 2);
    EXPECT_EQ(page_count(13), 3);
    EXPECT_EQ(page_count(qint64(6) * 3000000000LL + 1), 3000000001LL);
    EXPECT_EQ(slider_tick_interval(495), 1);
    EXPECT_EQ(slider_tick_interval(496), 0);
}
