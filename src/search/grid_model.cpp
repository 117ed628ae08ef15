#include "search/grid_model.h"

#include <algorithm>

namespace mosswick::search {

namespace {
const QString k_empty;
}

void GridRows::append(std::initializer_list<QString> cells)
{
    auto it = cells.begin();
    for (int c = 0; c < m_columns; ++c)
        m_cells.push_back(it != cells.end() ? *it++ : QString());
}

void GridRows::append_moved(QString* cells)
{
    for (int c = 0; c < m_columns; ++c)
        m_cells.push_back(std::move(cells[c]));
}

const QString& GridRows::cell(int row, int column) const
{
    if (row < 0 || column < 0 || column >= m_columns || row >= count())
        return k_empty;
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
