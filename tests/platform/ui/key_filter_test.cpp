#include "platform/ui/key_filter.h"

#include <gtest/gtest.h>

using namespace mosswick::ui;

TEST(PasteFilter, PastedTextMeetsTheBoxesKeyFilters)
{
    struct Case {
        KeyFilter filter;
        const char* in;
        const char* out;
        bool refused;
    } cases[] = {
        {KeyFilter::None, "a\"b", "a\"b", false},
        {KeyFilter::NoDoubleQuote, "say \"hi\"", "say hi", true},
        {KeyFilter::NoDoubleQuote, "plain", "plain", false},
        {KeyFilter::FileName, "a/b\\c:d*e?f<g>h|i\"j", "abcdefghij", true},
        {KeyFilter::Digits, "12a3 4", "1234", true},
        {KeyFilter::DigitsOrStar, "*12x", "*12", true},
        {KeyFilter::Digits, "", "", false},
    };
    for (const Case& c : cases) {
        const FilteredText f = filter_text(c.filter, QString::fromUtf8(c.in));
        EXPECT_EQ(f.text, QString::fromUtf8(c.out)) << c.in;
        EXPECT_EQ(f.refused, c.refused) << c.in;
    }
}
