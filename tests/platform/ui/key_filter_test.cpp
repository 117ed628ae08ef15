#include "platform/ui/key_filter.h"

#include <gtest/gtest.h>

using namespace mosswick::ui;

TEST(PasteFilter, PastedTextMeetsTheBoxesKeyFilters)
{
    struct Case {
        KeyFilter filter;
        const char* in;
        bool accepted;
    } cases[] = {
        {KeyFilter::None, "a\"b", true},
        {KeyFilter::NoDoubleQuote, "say \"hi\"", false},
        {KeyFilter::NoDoubleQuote, "plain", true},
        {KeyFilter::FileName, "a/b\\c:d*e?f<g>h|i\"j", false},
        {KeyFilter::FileName, "holiday 2019.jpg", true},
        {KeyFilter::FileName, "x|", false},
        {KeyFilter::Digits, "12a3 4", false},
        {KeyFilter::Digits, "1234", true},
        {KeyFilter::DigitsOrStar, "*12x", false},
        {KeyFilter::DigitsOrStar, "*12", true},
        {KeyFilter::Digits, "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(accepts_text(c.filter, QString::fromUtf8(c.in)), c.accepted) << c.in;
}
