#include "platform/store/schema.h"

#include <algorithm>

namespace mosswick::store {

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
    if (column_count == k_light_columns) {
        s.push_back(add_column(col_reference));
        s.push_back(add_column(col_addnote));
    }
    if (column_count == k_light_columns || column_count == k_older_full_columns) {
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

// Splits tokens at commas that are not inside parentheses.
QList<QStringList> split_top_level(const QStringList& t)
{
    QList<QStringList> parts;
    QStringList cur;
    int depth = 0;
    for (const QString& tok : t) {
        if (tok == QStringLiteral("(")) {
            ++depth;
        } else if (tok == QStringLiteral(")")) {
            --depth;
        } else if (tok == QStringLiteral(",") && depth == 0) {
            parts << cur;
            cur.clear();
            continue;
        }
        cur << tok;
    }
    parts << cur;
    return parts;
}

bool is_known_collation(const QString& name)
{
    return name == QStringLiteral("binary") || name == QStringLiteral("nocase") || name == QStringLiteral("rtrim");
}

QString collation_refusal(const QString& where, const QString& collation)
{
    return QStringLiteral("%1 is declared with the collation %2; only BINARY (exact comparison) is accepted")
        .arg(where, collation.toUpper());
}

// The words that end a column's type and start a constraint.
bool is_constraint_word(const QString& tok)
{
    static const QStringList words{"constraint", "primary", "not",  "null",      "unique",    "check",
                                   "default",    "collate", "references", "generated", "as"};
    return words.contains(tok);
}

// Columns whose values only ever are of one kind accept the affinities that
// store that kind unchanged; text columns need text affinity, since numeric
// affinity would turn a note like "007" into the number 7.
bool affinity_fits(Affinity expected, Affinity declared)
{
    switch (expected) {
    case Affinity::Text:
        return declared == Affinity::Text;
    case Affinity::Integer:
        return declared == Affinity::Integer || declared == Affinity::Numeric;
    case Affinity::Blob:
        return declared == Affinity::Blob || declared == Affinity::Numeric;
    case Affinity::Real:
    case Affinity::Numeric:
        break;
    }
    return declared == expected;
}

const char* affinity_name(Affinity a)
{
    switch (a) {
    case Affinity::Text:
        return "text";
    case Affinity::Integer:
        return "integer";
    case Affinity::Blob:
        return "blob";
    case Affinity::Real:
        return "real";
    case Affinity::Numeric:
        break;
    }
    return "numeric";
}

// Checks one column definition: our name, a type of a fitting affinity, and
// at most a collation the engine knows.
QString check_column(int i, const QStringList& col)
{
    const ColumnDef& def = column_defs()[size_t(i)];
    const QString where = QStringLiteral("column %1 (%2) of the picture table").arg(i).arg(QLatin1String(def.name));
    if (col.isEmpty() || col[0] != QLatin1String(def.name))
        return QStringLiteral("column %1 of the picture table is not %2").arg(i).arg(QLatin1String(def.name));
    int k = 1;
    QStringList type;
    while (k < col.size() && col[k] != QStringLiteral("(") && !is_constraint_word(col[k]))
        type << col[k++];
    // An optional size: ( n ) or ( n , m ), signed numbers only.
    if (k < col.size() && col[k] == QStringLiteral("(")) {
        const int close = int(col.indexOf(QStringLiteral(")"), k));
        if (close < 0)
            return QStringLiteral("%1 has an unreadable type").arg(where);
        for (int j = k + 1; j < close; ++j) {
            const QString& tok = col[j];
            bool number = false;
            tok.toLongLong(&number);
            if (!number && tok != QStringLiteral(",") && tok != QStringLiteral("+") && tok != QStringLiteral("-"))
                return QStringLiteral("%1 has an unreadable type").arg(where);
        }
        type << col.mid(k, close - k + 1);
        k = close + 1;
    }
    const Affinity declared = type_affinity(type.join(u' '));
    if (!affinity_fits(def.affinity, declared))
        return QStringLiteral("%1 is declared %2 (%3 affinity) but holds %4")
            .arg(where, type.isEmpty() ? QStringLiteral("without a type") : type.join(u' ').toUpper(),
                 QLatin1String(affinity_name(declared)), QLatin1String(affinity_name(def.affinity)));
    while (k < col.size()) {
        if (col[k] == QStringLiteral("collate") && k + 1 < col.size()) {
            // File names are case-sensitive: every comparison of our values is exact.
            if (col[k + 1] != QStringLiteral("binary"))
                return collation_refusal(where, col[k + 1]);
            k += 2;
            continue;
        }
        return QStringLiteral("%1 has a constraint (%2) that is not accepted").arg(where, col[k].toUpper());
    }
    return {};
}

// The options after the column list: STRICT and WITHOUT ROWID, comma-separated.
QString check_table_options(const QStringList& options)
{
    QStringList kinds;
    for (const QStringList& option : split_top_level(options)) {
        if (option == QStringList{QStringLiteral("strict")})
            kinds << QStringLiteral("a STRICT table");
        else if (option == QStringList{QStringLiteral("without"), QStringLiteral("rowid")})
            kinds << QStringLiteral("a table WITHOUT ROWID");
        else
            return QStringLiteral("the picture table has an unexpected definition");
    }
    return QStringLiteral("the picture table is %1").arg(kinds.join(QStringLiteral(" and ")));
}

QString check_table(const QString& sql)
{
    QStringList t = tokens(sql);
    const QStringList head{QStringLiteral("create"), QStringLiteral("table"), QStringLiteral("demopicture"),
                           QStringLiteral("(")};
    const QString unexpected = QStringLiteral("the picture table has an unexpected definition");
    if (t.size() < head.size() + 1 || t.mid(0, head.size()) != head)
        return unexpected;
    // The parenthesis that closes the column list.
    qsizetype close = head.size();
    for (int depth = 1; close < t.size(); ++close) {
        depth += t[close] == QStringLiteral("(") ? 1 : t[close] == QStringLiteral(")") ? -1 : 0;
        if (depth == 0)
            break;
    }
    if (close >= t.size())
        return unexpected;
    // A STRICT table refuses values of another kind where our tables keep
    // them; the pictures are read and written by rowid.
    if (close + 1 < t.size())
        return check_table_options(t.mid(close + 1));
    t = t.mid(head.size(), close - head.size());

    const QList<QStringList> cols = split_top_level(t);
    if (cols.size() < k_light_columns || cols.size() > k_full_columns)
        return QStringLiteral("the picture table has %1 columns").arg(cols.size());
    for (int i = 0; i < int(cols.size()); ++i)
        if (const QString why = check_column(i, cols[i]); !why.isEmpty())
            return why;
    return {};
}

struct IndexRule {
    const char* name;
    const char* column;
    bool unique;
    int min_columns;   // created when missing in a file of at least this many columns; 0: never
};

// Each index of ours stands on one column, and only the key is unique.
// Only the indexes every edition has are made when missing: GenericKey2 and
// GenericKey4 belong to one edition each (the upgrade adds GenericKey4), and
// idxPicfile carries a rule of its own (the loaders make it).
const std::vector<IndexRule>& index_rules()
{
    static const std::vector<IndexRule> rules{
        {"UniqueKey", "numpic", true, k_light_columns},     {"GenericKey1", "numpage", false, k_light_columns},
        {"GenericKey3", "movfile", false, k_light_columns}, {"GenericKey4", "reference", false, 0},
        {"GenericKey2", "picfile", false, 0},               {"idxPicfile", "picfile", false, 0},
    };
    return rules;
}

const IndexRule* index_rule(const QString& name)
{
    for (const IndexRule& r : index_rules())
        if (name.compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0)
            return &r;
    return nullptr;
}

QString check_index(const SchemaEntry& e)
{
    if (e.table.compare(QLatin1String(k_table), Qt::CaseInsensitive) != 0)
        return QStringLiteral("unexpected index %1").arg(e.name);
    QStringList t = tokens(e.sql);
    // create [unique] index [if not exists] name on demopicture ( columns )
    const bool unique = t.size() > 1 && t[1] == QStringLiteral("unique");
    if (unique)
        t.removeAt(1);
    if (t.size() > 5 && t[2] == QStringLiteral("if") && t[3] == QStringLiteral("not") && t[4] == QStringLiteral("exists"))
        t.remove(2, 3);
    const IndexRule* rule = index_rule(e.name);
    if (rule) {
        // Ours keep exactly their definition: the equality of file names the
        // index stands for is exact.
        QString collation;
        if (t.size() == 10 && t[7] == QStringLiteral("collate")) {
            collation = t[8];
            t.remove(7, 2);
        }
        if (t.size() != 8 || t[0] != QStringLiteral("create") || t[1] != QStringLiteral("index")
            || t[2] != e.name.toLower() || t[3] != QStringLiteral("on") || t[4] != QStringLiteral("demopicture")
            || t[5] != QStringLiteral("(") || t[7] != QStringLiteral(")") || t[6] != QLatin1String(rule->column)
            || unique != rule->unique)
            return QStringLiteral("index %1 has an unexpected definition").arg(e.name);
        if (!collation.isEmpty() && collation != QStringLiteral("binary"))
            return collation_refusal(QStringLiteral("index %1").arg(e.name), collation);
        return {};
    }
    // Another tool's index: only speed, so plain columns of ours, each with
    // an optional known collation and order; never unique (that would refuse
    // rows), never an expression or a partial index. The engine uses an
    // index of another collation for no comparison of ours, which are all
    // in the column's own (exact) collation, so it changes no result.
    const QString why = QStringLiteral("index %1 is not a plain index on the picture table").arg(e.name);
    if (unique)
        return QStringLiteral("index %1 is unique").arg(e.name);
    if (t.size() < 8 || t[0] != QStringLiteral("create") || t[1] != QStringLiteral("index")
        || t[2] != e.name.toLower() || t[3] != QStringLiteral("on") || t[4] != QStringLiteral("demopicture")
        || t[5] != QStringLiteral("(") || t.last() != QStringLiteral(")"))
        return why;
    for (const QStringList& part : split_top_level(t.mid(6, t.size() - 7))) {
        if (part.isEmpty() || column_index(part[0]) < 0)
            return why;
        int k = 1;
        if (k + 1 < part.size() && part[k] == QStringLiteral("collate") && is_known_collation(part[k + 1]))
            k += 2;
        if (k < part.size() && (part[k] == QStringLiteral("asc") || part[k] == QStringLiteral("desc")))
            ++k;
        if (k != part.size())
            return why;
    }
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
    return {};
}

Affinity type_affinity(const QString& declared_type)
{
    // The engine's own rules, in its order.
    const QString t = declared_type.toUpper();
    if (t.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.contains(QLatin1String("BLOB")) || t.trimmed().isEmpty())
        return Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

std::vector<QString> missing_index_statements(const std::vector<SchemaEntry>& entries, int column_count)
{
    std::vector<QString> out;
    for (const IndexRule& r : index_rules()) {
        if (r.min_columns == 0 || column_count < r.min_columns)
            continue;
        const bool present = std::any_of(entries.begin(), entries.end(), [&](const SchemaEntry& e) {
            return e.type == QStringLiteral("index") && e.name.compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0;
        });
        if (!present)
            out.push_back(QStringLiteral("CREATE %1INDEX %2 ON demopicture (%3)")
                              .arg(r.unique ? QStringLiteral("UNIQUE ") : QString(), QLatin1String(r.name),
                                   QLatin1String(r.column)));
    }
    return out;
}

} // namespace mosswick::store
