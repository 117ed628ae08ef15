#include "platform/store/row_blocks.h"

namespace mosswick::store {

Error RowBlocks::list(Connection& conn, const QString& columns, int column_count, const QString& where,
                      const QString& order, const QVariantList& params)
{
    std::vector<qint64> ids;
    assign(conn, columns, column_count, {});
    // A row statement that cannot run is reported now, not as empty rows later.
    if (const Statement rows = conn.prepare(m_row_sql); !rows.valid())
        return rows.error();
    const QString select = QStringLiteral("SELECT rowid FROM demopicture");
    const std::vector<QString> statements =
        order.isEmpty() ? by_number_statements(conn, select, where) : std::vector<QString>{select + where + order};
    for (const QString& sql : statements) {
        Statement st = conn.prepare(sql);
        if (st.valid()) {
            st.bind_list(params);
            while (st.step())
                ids.push_back(st.integer(0));
        }
        if (st.error())
            return st.error();
    }
    m_ids = std::move(ids);
    m_blocks.resize((m_ids.size() + k_block_rows - 1) / k_block_rows);
    read_first_block();
    return {};
}

std::vector<QString> by_number_statements(Connection& conn, const QString& select_from, const QString& where)
{
    if (!conn.has_index(QStringLiteral("UniqueKey")))
        return {select_from + where + QStringLiteral(" ORDER BY numpic, numpage")};
    const QString criteria = where.trimmed().remove(0, 5).trimmed();   // after "WHERE"
    const auto with = [&](const char* condition) {
        return QStringLiteral(" WHERE ") + QLatin1String(condition)
            + (criteria.isEmpty() ? QString() : QStringLiteral(" AND (%1)").arg(criteria));
    };
    return {select_from + with("numpic IS NULL") + QStringLiteral(" ORDER BY numpage, rowid"),
            select_from + with("numpic IS NOT NULL") + QStringLiteral(" ORDER BY numpic")};
}

void RowBlocks::assign(Connection& conn, const QString& columns, int column_count, std::vector<qint64> ids)
{
    m_serial = conn.serial();
    m_columns = std::max(column_count, 0);
    m_row_sql = QStringLiteral("SELECT %1 FROM demopicture WHERE rowid = ?1").arg(columns);
    m_ids = std::move(ids);
    m_blocks.clear();
    m_blocks.resize((m_ids.size() + k_block_rows - 1) / k_block_rows);
    m_blocks_read = 0;
    read_first_block();
}

void RowBlocks::read_first_block()
{
    if (!m_ids.empty())
        block(0);
}

QVariant RowBlocks::value(qint64 row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= m_columns)
        return {};
    const Block& b = block(row / k_block_rows);
    return b.cells[size_t(row % k_block_rows) * size_t(m_columns) + size_t(column)];
}

const RowBlocks::Block& RowBlocks::block(qint64 index) const
{
    std::unique_ptr<Block>& slot = m_blocks[size_t(index)];
    if (slot)
        return *slot;
    slot = std::make_unique<Block>();
    slot->cells.resize(size_t(k_block_rows) * size_t(m_columns));
    ++m_blocks_read;
    Connection* conn = Connection::live(m_serial);
    if (!conn)
        return *slot;
    Statement st = conn->prepare(m_row_sql);
    if (!st.valid())
        return *slot;
    const qint64 first = index * k_block_rows;
    const qint64 last = std::min<qint64>(first + k_block_rows, count());
    for (qint64 r = first; r < last; ++r) {
        st.bind_all({m_ids[size_t(r)]});
        if (!st.step())
            continue;   // the record is gone: Null cells
        QVariant* cells = slot->cells.data() + size_t(r - first) * size_t(m_columns);
        for (int c = 0; c < m_columns; ++c)
            cells[c] = st.value(c);
    }
    return *slot;
}

} // namespace mosswick::store
