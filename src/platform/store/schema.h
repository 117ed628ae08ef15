#pragma once

#include "platform/store/table_layout.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <vector>

namespace mosswick::store {

enum class Schema { Full, Light };

// A row keeps its picture's bytes in dbpic when inoutpic holds any value
// (not Null): the one rule for "stored inside" everywhere.
inline bool picture_stored_inside(const QVariant& inoutpic)
{
    return inoutpic.isValid() && !inoutpic.isNull();
}

inline constexpr const char* k_picfile_index = "idxPicfile";

// The affinity the engine gives a declared column type ("VARCHAR(20)",
// "MEMO", "" ...), by its own rules.
Affinity type_affinity(const QString& declared_type);

// Returns the column's position for a name (case-insensitive), or -1.
int column_index(const QString& name);

// Statements that create the table of an edition with its key and indexes.
std::vector<QString> create_statements(Schema schema);

// Statements that bring a 5- or 7-column table to the 9 columns of the full
// edition; empty for any other count.
std::vector<QString> upgrade_statements(int column_count);

// One entry of the file's schema table.
struct SchemaEntry {
    QString type;
    QString name;
    QString table;
    QString sql;
};

// Checks that the schema holds only our table (5 to 9 leading columns of the
// full table, by name in any case and by type affinity, as other tools write
// them), our indexes with their definitions and plain indexes on our
// columns, and nothing that could run code or change values: no views,
// triggers, other tables, STRICT tables or tables without rowid, defaults,
// checks, generated columns, collations other than BINARY on our columns and
// indexes (other tools' indexes may use the engine's known ones), expression,
// partial or extra unique indexes. Returns an empty text when the schema is
// acceptable, else what was refused.
QString check_schema(const std::vector<SchemaEntry>& entries);

// Statements that create the indexes of ours a file with column_count
// columns lacks: the key, the page index and the movie index, which every
// edition has.
std::vector<QString> missing_index_statements(const std::vector<SchemaEntry>& entries, int column_count);

} // namespace mosswick::store
