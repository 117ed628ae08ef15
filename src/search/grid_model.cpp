#include "search/grid_model.h"

#include <algorithm>

namespace mosswick::search {

GridRows::GridRows(std::shared_ptr<const store::RowBlocks> listed)
    : m_columns(listed ? listed->columns() : 0), m_listed(std::move(listed))
{
}

int GridRows::count() const
{
    if (m_listed)
        return int(m_listed->count());
    return m_columns == 0 ? 0 : int(m_cells.size() / size_t(m_columns));
}

void GridRows::append(std::initializer_list<QString> cells)
{
    if (m_listed)
        return;
    auto it = cells.begin();
    for (int c = 0; c < m_columns; ++c)
        m_cells.push_back(it != cells.end() ? *it++ : QString());
}

QString GridRows::cell(int row, int column) const
{
    if (row < 0 || column < 0 || column >= m_columns || row >= count())
        return {};
    if (m_listed) {
        const QVariant v = m_listed->value(row, column);
        return v.isValid() ? v.toString() : QString();
    }
    return m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
}

GridModel::GridModel(std::vector<Qt::Alignment> alignments, QObject* parent)
    : QAbstractTableModel(parent), m_alignments(std::move(alignments)), m_rows(int(m_alignments.size()))
{
}

void GridModel::set_rows(GridRows rows)
{
    beginResetModel();
    m_rows = rows.columns() == int(m_alignments.size()) ? std::move(rows) : GridRows(int(m_alignments.size()));
    endResetModel();
}

void GridModel::clear()
{
    set_rows(GridRows(int(m_alignments.size())));
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.count();
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_alignments.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(m_alignments[size_t(index.column())]);
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int row_to_keep(std::vector<int> rows, int current_row)
{
    if (rows.empty())
        return -1;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const bool contiguous = rows.back() - rows.front() + 1 == int(rows.size());
    if (contiguous && rows.size() > 1) {
        if (current_row == rows.back())
            return rows.front();
        if (current_row == rows.front())
            return rows.back();
    }
    if (std::find(rows.begin(), rows.end(), current_row) != rows.end())
        return current_row;
    return rows.front();
}

} // namespace mosswick::search
