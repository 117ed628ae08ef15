#include "store_fixture.h"

#include "platform/store/text_rules.h"

using namespace storetest;
using testsupport::TempDir;

TEST(TextRules, FoldCompareOrdersCaseInsensitivelyThenExactly)
{
    EXPECT_LT(fold_compare(u"apple", u"Banana"), 0);
    EXPECT_GT(fold_compare(u"banana", u"Apple"), 0);
    EXPECT_NE(fold_compare(u"A", u"a"), 0);
    EXPECT_EQ(fold_compare(u"same", u"same"), 0);
    EXPECT_LT(fold_compare(u"École", u"ÉCOLE") * fold_compare(u"ÉCOLE", u"École"), 0);
    EXPECT_EQ(fold_compare(u"straße", u"STRASSE") != 0, true);
}

TEST(TextRules, ContainsIsLiteralAndCaseInsensitive)
{
    EXPECT_TRUE(contains_literal(u"Holiday 50%_off", u"%_OFF"));
    EXPECT_FALSE(contains_literal(u"Holiday", u"%"));
    EXPECT_FALSE(contains_literal(u"abc", u"a_c"));
    EXPECT_TRUE(contains_literal(u"ÉCOLE normale", u"école"));
    EXPECT_TRUE(contains_literal(u"anything", u""));
}

TEST(TextRules, RegisteredOnEveryConnection)
{
    TempDir dir;
    const QString path = new_catalogue(dir);
    auto c = open_ok(path);
    const QStringList names{"b.jpg", "A.jpg", "a.jpg", "B.jpg", "é.jpg", "É.jpg", "c%d.jpg", "c_d.jpg", "cxd.jpg"};
    for (int i = 0; i < names.size(); ++i)
        ASSERT_TRUE(c->add_row(make_row(i + 1, names[i])).ok());

    Statement st = c->prepare("SELECT picfile FROM demopicture ORDER BY picfile COLLATE mw_fold, picfile, numpic");
    QStringList order;
    while (st.step())
        order << st.text(0);
    EXPECT_EQ(order, (QStringList{"A.jpg", "a.jpg", "B.jpg", "b.jpg", "c%d.jpg", "c_d.jpg", "cxd.jpg", "É.jpg", "é.jpg"}));

    auto matches = [&](const QString& part) {
        Statement q = c->prepare("SELECT picfile FROM demopicture WHERE mw_contains(picfile, ?1) ORDER BY numpic");
        q.bind(1, part);
        QStringList out;
        while (q.step())
            out << q.text(0);
        return out;
    };
    EXPECT_EQ(matches("%"), (QStringList{"c%d.jpg"}));
    EXPECT_EQ(matches("C_D"), (QStringList{"c_d.jpg"}));
    EXPECT_EQ(matches("É"), (QStringList{"é.jpg", "É.jpg"}));
    EXPECT_EQ(matches("B.J"), (QStringList{"b.jpg", "B.jpg"}));
}
