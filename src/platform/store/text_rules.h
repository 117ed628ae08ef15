#pragma once

#include <QString>

struct sqlite3;

namespace mosswick::store {

// Name of the collation that orders file names and references: case folded,
// ties broken by the exact text. Name it in ORDER BY clauses.
inline constexpr const char* k_fold_collation = "mw_fold";

// Name of the SQL function mw_contains(text, part): 1 when part occurs in text
// as a literal, case-insensitively; '%' and '_' have no special meaning.
inline constexpr const char* k_contains_function = "mw_contains";

// Orders a before b by case folding, then by exact value: <0, 0, >0.
int fold_compare(QStringView a, QStringView b);

// True when part occurs literally in text, ignoring case.
bool contains_literal(QStringView text, QStringView part);

// Registers the collation and the function on a connection.
bool register_text_rules(sqlite3* db);

} // namespace mosswick::store
