#include "platform/store/row_blocks.h"
#include "store_fixture.h"

using namespace storetest;

namespace {

constexpr int k_rows = 1000;   // four blocks, the last one short

class Listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = new_catalogue(dir, k_rows);
        conn = open_ok(path);
        ASSERT_TRUE(conn);
    }

    // Every row's picture number, by name descending: unlike the ids' order.
    Error list_by_name(RowBlocks& rows)
    {
        return rows.list(*conn, QStringLiteral("numpic, picfile"), 2, QStringLiteral(" WHERE numpic > ?1"),
                         QStringLiteral(" ORDER BY picfile DESC"), {0});
    }

    testsupport::TempDir dir;
    QString path;
    std::unique_ptr<Connection> conn;
};

} // namespace

TEST_F(Listing, ListsEveryRowAtOnceAndReadsOnlyTheBlocksAskedFor)
{
    QStringList expected;
    for (int i = 1; i <= k_rows; ++i)
        expected << QStringLiteral("p%1.jpg").arg(i);
    std::sort(expected.begin(), expected.end(), std::greater<>());

    RowBlocks rows;
    ASSERT_FALSE(list_by_name(rows));
    EXPECT_EQ(rows.count(), k_rows);
    EXPECT_EQ(rows.blocks_read(), 1);   // the first screen, with the listing
    EXPECT_EQ(rows.value(0, 1).toString(), expected[0]);
    EXPECT_EQ(rows.blocks_read(), 1);
    // A row far down is read with its own block only, number and name together.
    const QString far = expected[900];
    EXPECT_EQ(rows.value(900, 1).toString(), far);
    EXPECT_EQ(QStringLiteral("p%1.jpg").arg(rows.value(900, 0).toLongLong()), far);
    EXPECT_EQ(rows.blocks_read(), 2);
    // The short last block and the row order across block ends.
    QStringList names;
    for (int r = 0; r < k_rows; ++r)
        names << rows.value(r, 1).toString();
    EXPECT_EQ(names, expected);
    EXPECT_EQ(rows.blocks_read(), 4);
    EXPECT_FALSE(rows.value(k_rows, 0).isValid());
    EXPECT_FALSE(rows.value(0, 2).isValid());
}

TEST_F(Listing, RowsKeepTheValuesTheyWereReadWith)
{
    RowBlocks rows;
    ASSERT_FALSE(rows.list(*conn, QStringLiteral("picfile"), 1, {}, {}, {}));
    ASSERT_FALSE(conn->exec(QStringLiteral("UPDATE demopicture SET picfile = 'x.jpg' WHERE numpic IN (4, 600)")));
    ASSERT_FALSE(conn->exec(QStringLiteral("DELETE FROM demopicture WHERE numpic = 700")));
    EXPECT_EQ(rows.value(3, 0).toString(), "p4.jpg");     // read with the listing, before the change
    EXPECT_EQ(rows.value(599, 0).toString(), "x.jpg");    // read after it
    EXPECT_FALSE(rows.value(699, 0).isValid());           // gone: Null
    EXPECT_EQ(rows.value(700, 0).toString(), "p701.jpg");
}

TEST_F(Listing, RowsOfAClosedConnectionReadAsNull)
{
    RowBlocks rows;
    ASSERT_FALSE(rows.list(*conn, QStringLiteral("picfile"), 1, {}, {}, {}));
    conn.reset();
    // Another catalogue opened meanwhile is never read in its place.
    testsupport::TempDir other_dir;
    auto other = open_ok(new_catalogue(other_dir, k_rows));
    EXPECT_EQ(rows.count(), k_rows);
    EXPECT_EQ(rows.value(1, 0).toString(), "p2.jpg");     // read with the listing
    EXPECT_FALSE(rows.value(500, 0).isValid());
}

TEST_F(Listing, AStatementThatCannotRunListsNothing)
{
    RowBlocks rows;
    ASSERT_FALSE(rows.list(*conn, QStringLiteral("picfile"), 1, {}, {}, {}));
    Error e = rows.list(*conn, QStringLiteral("nosuchcolumn"), 1, {}, {}, {});
    EXPECT_TRUE(e);
    EXPECT_EQ(rows.count(), 0);
    e = rows.list(*conn, QStringLiteral("picfile"), 1, {}, QStringLiteral(" ORDER BY nosuchcolumn"), {});
    EXPECT_TRUE(e);
    EXPECT_EQ(rows.count(), 0);
}

TEST_F(Listing, IdsFoundByTheCallerAreReadTheSameWay)
{
    RowBlocks rows;
    std::vector<qint64> ids;
    auto st = conn->prepare(QStringLiteral("SELECT rowid FROM demopicture WHERE numpic % 100 = 0 ORDER BY numpic DESC"));
    while (st.step())
        ids.push_back(st.integer(0));
    rows.assign(*conn, QStringLiteral("numpic"), 1, ids);
    ASSERT_EQ(rows.count(), 10);
    EXPECT_EQ(rows.value(0, 0).toLongLong(), 1000);
    EXPECT_EQ(rows.value(9, 0).toLongLong(), 100);
}

TEST_F(Listing, ByNumberThenPageWithOrWithoutTheUniqueKey)
{
    // Rows without a number come first, by page; ties of both keep no order
    // of their own, so the check below breaks them by id.
    ASSERT_FALSE(conn->exec(QStringLiteral("UPDATE demopicture SET numpic = NULL, numpage = (rowid * 7) % 5 "
                                           "WHERE rowid % 9 = 0")));
    ASSERT_FALSE(conn->exec(QStringLiteral("UPDATE demopicture SET numpic = 5000 - numpic WHERE numpic % 2 = 0")));
    auto expected = [&](const QString& where) {
        std::vector<qint64> ids;
        auto st = conn->prepare(QStringLiteral("SELECT rowid FROM demopicture") + where
                                + QStringLiteral(" ORDER BY numpic, numpage, rowid"));
        if (!where.isEmpty())
            st.bind_list({QStringLiteral("%1%")});
        while (st.step())
            ids.push_back(st.integer(0));
        return ids;
    };
    auto listed = [&](const QString& where) {
        RowBlocks rows;
        EXPECT_FALSE(rows.list(*conn, QStringLiteral("rowid"), 1, where, {},
                               where.isEmpty() ? QVariantList() : QVariantList{QStringLiteral("%1%")}));
        std::vector<qint64> ids;
        for (qint64 r = 0; r < rows.count(); ++r)
            ids.push_back(rows.value(r, 0).toLongLong());
        return ids;
    };
    const QString some = QStringLiteral(" WHERE picfile LIKE ?1 OR numpic IS NULL");
    for (const bool unique_key : {true, false}) {
        if (!unique_key) {
            ASSERT_FALSE(conn->exec(QStringLiteral("DROP INDEX UniqueKey")));
        }
        EXPECT_EQ(by_number_statements(*conn, QStringLiteral("SELECT rowid FROM demopicture"), {}).size(),
                  unique_key ? 2u : 1u);
        EXPECT_EQ(listed({}), expected({})) << unique_key;
        EXPECT_EQ(listed(some), expected(some)) << unique_key;
        EXPECT_EQ(listed(some).size(), expected(some).size());
    }
}
