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
    // A missing key is made again (or done without), never a reason to refuse;
    // every index of ours stands on its own column and kind.
    EXPECT_EQ(check_schema({table}), QString());
    EXPECT_EQ(missing_index_statements({table}, 5).front(), "CREATE UNIQUE INDEX UniqueKey ON demopicture (numpic)");
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

namespace {

SchemaEntry table_of(const QString& columns)
{
    return {"table", "demopicture", "demopicture", "CREATE TABLE demopicture (" + columns + ")"};
}

SchemaEntry index_of(const QString& name, const QString& sql)
{
    return {"index", name, "demopicture", sql};
}

} // namespace

TEST(Schema, TypesFollowTheEnginesAffinityRules)
{
    for (const auto& [type, affinity] : std::vector<std::pair<QString, Affinity>>{
             {"TEXT", Affinity::Text}, {"varchar ( 80 )", Affinity::Text}, {"NATIONAL CHARACTER(20)", Affinity::Text},
             {"CLOB", Affinity::Text}, {"INT", Affinity::Integer}, {"BIGINT", Affinity::Integer},
             {"POINT", Affinity::Integer},     // contains INT: the engine's rule, not the word
             {"CHARINT", Affinity::Integer},   // INT is looked for first
             {"", Affinity::Blob}, {"blob", Affinity::Blob}, {"DOUBLE", Affinity::Real}, {"MEMO", Affinity::Numeric},
             {"LONG", Affinity::Numeric}, {"LONGBINARY", Affinity::Numeric}})
        EXPECT_EQ(type_affinity(type), affinity) << type.toStdString();
}

TEST(Schema, TablesOfOtherToolsAreAcceptedByMeaning)
{
    const QString nine = "movfile %1, picfile %1, note %1, numpage %2, numpic %2, reference %1, addnote %1, dbpic %3, inoutpic %2";
    for (const auto& [text, integer, blob] : std::vector<std::tuple<QString, QString, QString>>{
             {"TEXT", "INTEGER", "BLOB"}, {"VARCHAR(80)", "INT", ""}, {"CHAR", "LONG", "LONGBINARY"},
             {"CLOB COLLATE BINARY", "BIGINT", "BLOB"}, {"NVARCHAR(10, 2)", "NUMERIC", "BLOB COLLATE BINARY"}}) {
        const SchemaEntry t = table_of(nine.arg(text, integer, blob));
        EXPECT_EQ(check_schema({t}), QString()) << t.sql.toStdString();
    }
    // Names in any case and quoting, as the shell keeps them.
    EXPECT_EQ(check_schema({{"table", "DemoPicture", "DemoPicture",
                             "CREATE TABLE \"DemoPicture\" (\"MovFile\" TEXT, [PICFILE] TEXT, `Note` TEXT, NumPage INTEGER, NUMPIC INTEGER)"}}),
              QString());

    const QString five = "movfile %1, picfile TEXT, note TEXT, numpage INTEGER, numpic %2";
    for (const auto& [column1, column5] : std::vector<std::pair<QString, QString>>{
             {"MEMO", "INTEGER"},            // numeric affinity turns the text "007" into 7
             {"TEXT", "REAL"},               // 5 would come back as 5.0
             {"TEXT", "TEXT"},               // numbers kept as text sort wrongly
             {"BLOB", "INTEGER"},
             {"TEXT DEFAULT 'x'", "INTEGER"},
             {"TEXT CHECK (length(movfile) < 9)", "INTEGER"},
             {"TEXT AS (picfile)", "INTEGER"},
             {"TEXT GENERATED ALWAYS AS (picfile) STORED", "INTEGER"},
             {"TEXT COLLATE mw_fold", "INTEGER"},
             {"CLOB COLLATE NOCASE", "INTEGER"},     // file names are case-sensitive
             {"TEXT", "INTEGER COLLATE NOCASE"},
             {"TEXT COLLATE unknown", "INTEGER"},
             {"TEXT NOT NULL", "INTEGER"},
             {"TEXT", "INTEGER PRIMARY KEY"},
             {"TEXT", "INTEGER UNIQUE"},
             {"TEXT REFERENCES other(x)", "INTEGER"},
             {"TEXT(", "INTEGER"},
             {"VARCHAR(x)", "INTEGER"}}) {
        const SchemaEntry t = table_of(five.arg(column1, column5));
        EXPECT_NE(check_schema({t}), QString()) << t.sql.toStdString();
    }
    EXPECT_NE(check_schema({table_of("picfile TEXT, movfile TEXT, note TEXT, numpage INTEGER, numpic INTEGER")}), QString());
    EXPECT_NE(check_schema({{"table", "demopicture", "demopicture",
                             "CREATE TABLE demopicture (movfile TEXT, picfile TEXT, note TEXT, numpage INTEGER, numpic INTEGER) STRICT"}}),
              QString());
    EXPECT_NE(check_schema({table_of("movfile TEXT, picfile TEXT, note TEXT, numpage INTEGER, numpic INTEGER"),
                            {"table", "v", "v", "CREATE VIRTUAL TABLE v USING fts5(x)"}}),
              QString());
}

TEST(Schema, PlainIndexesOfOtherToolsAreAcceptedOursKeepTheirDefinitions)
{
    const SchemaEntry t = table_of("movfile TEXT, picfile TEXT, note TEXT, numpage INTEGER, numpic INTEGER");
    for (const QString& sql : {QStringLiteral("CREATE INDEX idx_page ON demopicture (numpage)"),
                               QStringLiteral("CREATE INDEX IF NOT EXISTS idx_page ON demopicture(numpage DESC, picfile COLLATE NOCASE ASC)"),
                               QStringLiteral("create index \"idx_page\" on \"demopicture\" (\"NumPage\")")})
        EXPECT_EQ(check_schema({t, index_of("idx_page", sql)}), QString()) << sql.toStdString();
    for (const QString& sql : {QStringLiteral("CREATE UNIQUE INDEX idx_page ON demopicture (numpage)"),
                               QStringLiteral("CREATE INDEX idx_page ON demopicture (lower(picfile))"),
                               QStringLiteral("CREATE INDEX idx_page ON demopicture (numpage) WHERE numpage > 1"),
                               QStringLiteral("CREATE INDEX idx_page ON demopicture (numpage COLLATE mw_fold)"),
                               QStringLiteral("CREATE INDEX idx_page ON demopicture (nothing)"),
                               QStringLiteral("CREATE INDEX idx_page ON demopicture ()")})
        EXPECT_NE(check_schema({t, index_of("idx_page", sql)}), QString()) << sql.toStdString();
    EXPECT_NE(check_schema({t, index_of("GenericKey1", "CREATE INDEX GenericKey1 ON demopicture (numpage, numpic)")}), QString());
    EXPECT_NE(check_schema({t, index_of("genericKEY1", "CREATE INDEX genericKEY1 ON demopicture (numpic)")}), QString());

    // What is missing: by the file's columns; never the light-only or the rule-carrying index.
    const auto names = [](const std::vector<QString>& sql) {
        QStringList out;
        for (const QString& s : sql)
            out << s.section(' ', -4, -4);
        return out;
    };
    EXPECT_EQ(names(missing_index_statements({t}, 5)), (QStringList{"UniqueKey", "GenericKey1", "GenericKey3"}));
    EXPECT_EQ(names(missing_index_statements({t}, 9)), (QStringList{"UniqueKey", "GenericKey1", "GenericKey3"}));
    EXPECT_EQ(names(missing_index_statements({t, index_of("UniqueKey", "")}, 5)), (QStringList{"GenericKey1", "GenericKey3"}));
}
