#include "loader/loader_messages.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace mosswick::loader;

TEST(LoaderMessages, CountMessageTable)
{
    struct Case {
        qint64 pictures;
        qint64 others;
        const char* text;
    } cases[] = {
        {1, 1, "Listed 1 picture & 1 movie."},
        {12, 3, "Listed 12 pictures & 3 movies."},
        {5, 0, "Listed 5 pictures, no movies found."},
        {2, 0, "Listed 2 pictures, no movies found."},
        {1, 0, "Listed 1 picture, no movies found."},
        {1, 2, "Listed 1 picture & 2 movies."},
        {0, 0, "No pictures found."},
        {0, 7, "No pictures found."},
        {100000, 1, "Listed 100000 pictures & 1 movie."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(count_message(c.pictures, c.others), QString::fromUtf8(c.text)) << c.pictures << "/" << c.others;
}

TEST(LoaderMessages, SummaryGrammar)
{
    EXPECT_EQ(batch_summary(1, 1, false), "1 picture processed. 1 loaded. No Errors found.");
    EXPECT_EQ(batch_summary(2, 0, true), "2 pictures processed. 0 loaded. There are errors.");
    EXPECT_EQ(batch_summary(14, 13, true), "14 pictures processed. 13 loaded. There are errors.");
    EXPECT_EQ(batch_summary(0, 0, false), "0 picture processed. 0 loaded. No Errors found.");
    EXPECT_EQ(phase2_message(14),
              "File length verification phase 1/2 passed. Starting phase 2/2, loading 14 files, please wait...");
    EXPECT_EQ(slot_caption(7, 2), "Pic# 7 at the pag# 2.");
    EXPECT_EQ(loading_message(true), "Loading picture & movie, press the 'Cancel' button to abort.");
    EXPECT_EQ(loading_message(false), "Loading picture, press the 'Cancel' button to abort.");
}
