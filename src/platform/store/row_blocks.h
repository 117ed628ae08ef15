#pragma once

#include "platform/store/connection.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace mosswick::store {

// The rows of a listing over the picture table, found at once by id and
// read a block at a time when first asked for: a grid of a million rows
// shows its first screen without reading them all, and every row can be
// reached (selected, acted on) whether it was shown or not.
//
// The first block is read with the listing: the first screen shows the
// rows as they were listed, and a check of a shown row against the
// catalogue before a write (number and file name) sees a change made since.
// A row keeps the values it was first read with; a later block shows the
// catalogue as it is when first shown. Rows are read from the connection
// they were listed on while it is open; a row read after it closed, or
// whose record is gone, has only Null cells (nothing can be done with it).
class RowBlocks {
public:
    static constexpr int k_block_rows = 256;

    RowBlocks() = default;

    // Lists the ids of "SELECT rowid FROM demopicture" + where + order
    // (bound to params; an empty order: by number, then page); rows are read
    // later as "SELECT " + columns + " FROM demopicture" by id. On failure
    // nothing is listed.
    Error list(Connection& conn, const QString& columns, int column_count, const QString& where, const QString& order,
               const QVariantList& params);
    // Takes ids found by the caller (rowids of the picture table, in order).
    void assign(Connection& conn, const QString& columns, int column_count, std::vector<qint64> ids);

    qint64 count() const { return qint64(m_ids.size()); }
    int columns() const { return m_columns; }
    // The value of a cell (invalid for Null and outside the rows); reads the
    // row's block first when it has not been read.
    QVariant value(qint64 row, int column) const;
    // How many blocks have been read so far (the first with the listing).
    int blocks_read() const { return m_blocks_read; }

private:
    struct Block {
        std::vector<QVariant> cells;   // k_block_rows * columns, row after row
    };
    const Block& block(qint64 index) const;
    void read_first_block();

    quint64 m_serial = 0;
    int m_columns = 0;
    QString m_row_sql;
    std::vector<qint64> m_ids;
    mutable std::vector<std::unique_ptr<Block>> m_blocks;
    mutable int m_blocks_read = 0;
};

// The statements that walk "SELECT ... FROM demopicture" + where ("" or
// " WHERE ...") by number, then page, in turn. With the unique key on the
// number only rows without a number have pages to sort (first, as Null
// sorts first), and the rest follow the key: no sort of the whole table.
std::vector<QString> by_number_statements(Connection& conn, const QString& select_from, const QString& where);

} // namespace mosswick::store
