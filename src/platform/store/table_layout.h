#pragma once

// The picture table's name and columns, without Qt: the Access reader
// program checks an old file's table against them too.

#include <array>

namespace mosswick::store {

// Column positions of the picture table; code reads columns by position.
enum Column : int {
    col_movfile = 0,
    col_picfile = 1,
    col_note = 2,
    col_numpage = 3,
    col_numpic = 4,
    col_reference = 5,
    col_addnote = 6,
    col_dbpic = 7,
    col_inoutpic = 8,
};

inline constexpr int k_full_columns = 9;
inline constexpr int k_light_columns = 5;
inline constexpr int k_older_full_columns = 7;   // before pictures could be stored inside

// The tables a catalogue or an Access original can have: light, older full, full.
constexpr bool known_column_count(long long n)
{
    return n == k_light_columns || n == k_older_full_columns || n == k_full_columns;
}
inline constexpr int k_text_limit = 255;   // characters in movfile, picfile, reference

inline constexpr const char* k_table = "demopicture";

// The engine's type affinities: what it converts a stored value to.
enum class Affinity { Text, Numeric, Integer, Real, Blob };

struct ColumnDef {
    const char* name;
    const char* type;   // declared type in the table definition we write
    bool limited;       // holds at most k_text_limit characters
    Affinity affinity;  // what the values are
};

inline constexpr std::array<ColumnDef, k_full_columns> k_column_defs{{
    {"movfile", "VARCHAR(255)", true, Affinity::Text},
    {"picfile", "VARCHAR(255)", true, Affinity::Text},
    {"note", "TEXT", false, Affinity::Text},
    {"numpage", "INTEGER", false, Affinity::Integer},
    {"numpic", "INTEGER", false, Affinity::Integer},
    {"reference", "VARCHAR(255)", true, Affinity::Text},
    {"addnote", "TEXT", false, Affinity::Text},
    {"dbpic", "BLOB", false, Affinity::Blob},
    {"inoutpic", "INTEGER", false, Affinity::Integer},
}};

// The nine columns of the full table, in their order.
inline const std::array<ColumnDef, k_full_columns>& column_defs()
{
    return k_column_defs;
}

} // namespace mosswick::store
