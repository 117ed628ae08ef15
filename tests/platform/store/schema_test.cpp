#include "platform/store/schema.h"

#include <gtest/gtest.h>

using namespace mosswick::store;

TEST(Schema, ColumnIndexByNameIgnoresCase)
{
    EXPECT_EQ(column_index("picfile"), col_picfile);
    EXPECT_EQ(column_index("NumPic"), col_numpic);
    EXPECT_EQ(column_index("inoutpic"), col_inoutpic);
    EXPECT_EQ(column_index("nothing"), -1);
}

TEST(Schema, UpgradeStatementsByColumnCount)
{
    EXPECT_EQ(upgrade_statements(5).size(), 5u);
    EXPECT_EQ(upgrade_statements(7).size(), 2u);
    EXPECT_TRUE(upgrade_statements(6).empty());
    EXPECT_TRUE(upgrade_statements(8).empty());
    EXPECT_TRUE(upgrade_statements(9).empty());
}

TEST(Schema, OwnStatementsPassTheCheck)
{
    for (Schema s : {Schema::Full, Schema::Light}) {
        std::vector<SchemaEntry> entries;
        for (const QString& sql : create_statements(s)) {
            const bool table = sql.startsWith("CREATE TABLE");
            const QString name = table ? "demopicture" : sql.section(' ', sql.contains("UNIQUE") ? 3 : 2, sql.contains("UNIQUE") ? 3 : 2);
            entries.push_back({table ? "table" : "index", name, "demopicture", sql});
        }
        EXPECT_EQ(check_schema(entries), QString()) << int(s);
    }
}

TEST(Schema, CheckRefusesEverythingElse)
{
    const SchemaEntry table{"table", "demopicture", "demopicture",
                            "CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT, numpage INTEGER, numpic INTEGER)"};
    const SchemaEntry key{"index", "UniqueKey", "demopicture", "CREATE UNIQUE INDEX UniqueKey ON demopicture (numpic)"};
    EXPECT_EQ(check_schema({table, key}), QString());
    // The key is required, and every index stands on its own column and kind.
    EXPECT_NE(check_schema({table}), QString());
    EXPECT_NE(check_schema({table, key, {"index", "GenericKey1", "demopicture", "CREATE UNIQUE INDEX GenericKey1 ON demopicture (numpage)"}}), QString());
    EXPECT_NE(check_schema({table, key, {"index", "GenericKey3", "demopicture", "CREATE INDEX GenericKey3 ON demopicture (picfile)"}}), QString());
    EXPECT_NE(check_schema({table, {"index", "UniqueKey", "demopicture", "CREATE INDEX UniqueKey ON demopicture (numpic)"}}), QString());
    EXPECT_NE(check_schema({}), QString());
    EXPECT_NE(check_schema({table, key, table}), QString());
    EXPECT_NE(check_schema({{"table", "demopicture", "demopicture", "CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT, numpage INTEGER)"}}), QString());
    EXPECT_NE(check_schema({{"table", "demopicture", "demopicture", "CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT, numpage INTEGER, numpic INTEGER, reference VARCHAR(255), addnote TEXT, dbpic BLOB, inoutpic INTEGER, extra TEXT)"}}), QString());
    EXPECT_NE(check_schema({{"table", "demopicture", "demopicture", "CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT, numpage INTEGER, numpic INTEGER PRIMARY KEY)"}}), QString());
    EXPECT_NE(check_schema({{"table", "demopicture", "demopicture", "CREATE TABLE demopicture (movfile VARCHAR(255), picfile VARCHAR(255), note TEXT, numpage INTEGER, numpic INTEGER \"unterminated)"}}), QString());
    EXPECT_NE(check_schema({table, {"trigger", "t", "demopicture", "CREATE TRIGGER t ..."}}), QString());
    EXPECT_NE(check_schema({table, {"index", "UniqueKey", "other", "CREATE UNIQUE INDEX UniqueKey ON other (numpic)"}}), QString());
    EXPECT_NE(check_schema({table, {"index", "GenericKey1", "demopicture", "CREATE INDEX GenericKey1 ON demopicture (numpage, numpic)"}}), QString());
    EXPECT_NE(check_schema({table, {"index", "GenericKey1", "demopicture", "CREATE INDEX GenericKey1 ON demopicture (numpage COLLATE nocase)"}}), QString());
    EXPECT_EQ(check_schema({table, key, {"table", "sqlite_stat1", "sqlite_stat1", "CREATE TABLE sqlite_stat1(tbl,idx,stat)"}}), QString());
}
