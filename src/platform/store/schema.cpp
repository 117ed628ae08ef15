#include "platform/store/schema.h"

#include <algorithm>

namespace mosswick::store {

const std::array<ColumnDef, k_full_columns>& column_defs()
{
    static const std::array<ColumnDef, k_full_columns> defs{{
        {"movfile", "VARCHAR(255)", true},
        {"picfile", "VARCHAR(255)", true},
        {"note", "TEXT", false},
        {"numpage", "INTEGER", false},
        {"numpic", "INTEGER", false},
        {"reference", "VARCHAR(255)", true},
        {"addnote", "TEXT", false},
        {"dbpic", "BLOB", false},
        {"inoutpic", "INTEGER", false},
    }};
    return defs;
}

int column_index(const QString& name)
{
    const auto& defs = column_defs();
    for (int i = 0; i < k_full_columns; ++i)
        if (name.compare(QLatin1String(defs[size_t(i)].name), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

static QString column_list(int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QStringLiteral("%1 %2").arg(column_defs()[size_t(i)].name, column_defs()[size_t(i)].type);
    return parts.join(QStringLiteral(", "));
}

std::vector<QString> create_statements(Schema schema)
{
    const int count = schema == Schema::Full ? k_full_columns : k_light_columns;
    std::vector<QString> s;
    s.push_back(QStringLiteral("CREATE TABLE demopicture (%1)").arg(column_list(count)));
    s.push_back(QStringLiteral("CREATE UNIQUE INDEX UniqueKey ON demopicture (numpic)"));
    s.push_back(QStringLiteral("CREATE INDEX GenericKey1 ON demopicture (numpage)"));
    if (schema == Schema::Full) {
        s.push_back(QStringLiteral("CREATE INDEX GenericKey3 ON demopicture (movfile)"));
        s.push_back(QStringLiteral("CREATE INDEX GenericKey4 ON demopicture (reference)"));
    } else {
        s.push_back(QStringLiteral("CREATE INDEX GenericKey2 ON demopicture (picfile)"));
        s.push_back(QStringLiteral("CREATE INDEX GenericKey3 ON demopicture (movfile)"));
    }
    s.push_back(QStringLiteral("CREATE INDEX idxPicfile ON demopicture (picfile)"));
    return s;
}

static QString add_column(int i)
{
    return QStringLiteral("ALTER TABLE demopicture ADD COLUMN %1 %2")
        .arg(column_defs()[size_t(i)].name, column_defs()[size_t(i)].type);
}

std::vector<QString> upgrade_statements(int column_count)
{
    std::vector<QString> s;
    if (column_count == 5) {
        s.push_back(add_column(col_reference));
        s.push_back(add_column(col_addnote));
    }
    if (column_count == 5 || column_count == 7) {
        s.push_back(add_column(col_dbpic));
        s.push_back(add_column(col_inoutpic));
    }
    if (column_count == 5)
        s.push_back(QStringLiteral("CREATE INDEX GenericKey4 ON demopicture (reference)"));
    return s;
}

namespace {

// Splits a definition into words and punctuation; quotes around names are
// dropped so that "picfile" and picfile read alike.
QStringList tokens(const QString& sql)
{
    QStringList out;
    int i = 0;
    const int n = int(sql.size());
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'"' || c == u'`' || c == u'[' || c == u'\'') {
            const QChar close = c == u'[' ? u']' : c;
            const int end = int(sql.indexOf(close, i + 1));
            if (end < 0) {
                out << QStringLiteral("\x01");   // unterminated: never matches
                return out;
            }
            out << sql.mid(i + 1, end - i - 1).toLower();
            i = end + 1;
        } else if (c.isLetterOrNumber() || c == u'_') {
            int j = i;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            out << sql.mid(i, j - i).toLower();
            i = j;
        } else {
            out << QString(c);
            ++i;
        }
    }
    return out;
}

QString check_table(const QString& sql)
{
    QStringList t = tokens(sql);
    const QStringList head{QStringLiteral("create"), QStringLiteral("table"), QStringLiteral("demopicture"),
                           QStringLiteral("(")};
    if (t.size() < head.size() + 1 || t.mid(0, head.size()) != head || t.last() != QStringLiteral(")"))
        return QStringLiteral("the picture table has an unexpected definition");
    t = t.mid(head.size(), t.size() - head.size() - 1);

    // Column definitions separated by commas: name type [ ( 255 ) ].
    QList<QStringList> cols;
    QStringList cur;
    for (const QString& tok : t) {
        if (tok == QStringLiteral(",")) {
            cols << cur;
            cur.clear();
        } else {
            cur << tok;
        }
    }
    cols << cur;
    if (cols.size() < k_light_columns || cols.size() > k_full_columns)
        return QStringLiteral("the picture table has %1 columns").arg(cols.size());
    for (int i = 0; i < int(cols.size()); ++i) {
        const ColumnDef& def = column_defs()[size_t(i)];
        const QStringList expected = tokens(QStringLiteral("%1 %2").arg(def.name, def.type));
        if (cols[i] != expected)
            return QStringLiteral("column %1 of the picture table is not as expected").arg(i);
    }
    return {};
}

struct IndexRule {
    const char* name;
    const char* column;
    bool unique;
};

// Each index of ours stands on one column, and only the key is unique.
const IndexRule* index_rule(const QString& name)
{
    static const IndexRule rules[] = {
        {"UniqueKey", "numpic", true},     {"GenericKey1", "numpage", false}, {"GenericKey2", "picfile", false},
        {"GenericKey3", "movfile", false}, {"GenericKey4", "reference", false}, {"idxPicfile", "picfile", false},
    };
    for (const IndexRule& r : rules)
        if (name == QLatin1String(r.name))
            return &r;
    return nullptr;
}

QString check_index(const SchemaEntry& e)
{
    const IndexRule* rule = index_rule(e.name);
    if (!rule || e.table.compare(QLatin1String(k_table), Qt::CaseInsensitive) != 0)
        return QStringLiteral("unexpected index %1").arg(e.name);
    QStringList t = tokens(e.sql);
    // create [unique] index name on demopicture ( column )
    const bool unique = t.size() == 9 && t[1] == QStringLiteral("unique");
    if (unique)
        t.removeAt(1);
    if (t.size() != 8 || t[0] != QStringLiteral("create") || t[1] != QStringLiteral("index")
        || t[2] != e.name.toLower() || t[3] != QStringLiteral("on") || t[4] != QStringLiteral("demopicture")
        || t[5] != QStringLiteral("(") || t[7] != QStringLiteral(")") || t[6] != QLatin1String(rule->column)
        || unique != rule->unique)
        return QStringLiteral("index %1 has an unexpected definition").arg(e.name);
    return {};
}

} // namespace

QString check_schema(const std::vector<SchemaEntry>& entries)
{
    bool have_table = false;
    for (const SchemaEntry& e : entries) {
        if (e.type == QStringLiteral("table")) {
            if (e.name.compare(QLatin1String(k_table), Qt::CaseInsensitive) == 0) {
                if (have_table)
                    return QStringLiteral("the picture table is defined twice");
                const QString why = check_table(e.sql);
                if (!why.isEmpty())
                    return why;
                have_table = true;
            } else if (e.name == QStringLiteral("sqlite_stat1") || e.name == QStringLiteral("sqlite_stat4")) {
                // Planner statistics: data only, harmless.
            } else {
                return QStringLiteral("unexpected table %1").arg(e.name);
            }
        } else if (e.type == QStringLiteral("index")) {
            const QString why = check_index(e);
            if (!why.isEmpty())
                return why;
        } else {
            return QStringLiteral("unexpected %1 %2").arg(e.type, e.name);
        }
    }
    if (!have_table)
        return QStringLiteral("there is no picture table");
    const bool have_key = std::any_of(entries.begin(), entries.end(), [](const SchemaEntry& e) {
        return e.type == QStringLiteral("index") && e.name == QStringLiteral("UniqueKey");
    });
    if (!have_key)
        return QStringLiteral("the unique key on the picture number is missing");
    return {};
}

} // namespace mosswick::store
