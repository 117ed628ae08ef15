#pragma once

#include "platform/store/row_blocks.h"

#include <QAbstractTableModel>
#include <QString>

#include <initializer_list>
#include <memory>
#include <vector>

// The rows of the search, reference and import/export grids: texts given
// row by row, or a listing of the catalogue whose rows are read when first
// shown (held after the query is closed either way).
namespace mosswick::search {

// A table of texts, row after row.
class GridRows {
public:
    explicit GridRows(int columns = 0) : m_columns(columns) {}
    // The rows of a listing, read a block at a time when first asked for.
    explicit GridRows(std::shared_ptr<const store::RowBlocks> listed);

    int columns() const { return m_columns; }
    int count() const;
    bool empty() const { return count() == 0; }

    // Appends one row; missing cells are empty, extra cells are dropped.
    // Not for the rows of a listing.
    void append(std::initializer_list<QString> cells);
    // The text of a cell ("" for Null); empty outside the table.
    QString cell(int row, int column) const;
    // The listing behind the rows; nullptr for appended rows.
    const store::RowBlocks* listed() const { return m_listed.get(); }

private:
    int m_columns;
    std::vector<QString> m_cells;
    std::shared_ptr<const store::RowBlocks> m_listed;
};

// A read-only model over GridRows with one alignment per column.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // One alignment per column; the count gives the number of columns.
    explicit GridModel(std::vector<Qt::Alignment> alignments, QObject* parent = nullptr);

    // Replaces the rows (a model reset: views show the new rows at once).
    void set_rows(GridRows rows);
    // Removes every row.
    void clear();
    const GridRows& rows() const { return m_rows; }
    // The text of a cell; empty outside the table.
    QString text(int row, int column) const { return m_rows.cell(row, column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<Qt::Alignment> m_alignments;
    GridRows m_rows;
};

// When a click leaves several rows selected, the selection shrinks to the
// row where it began: the far end of a contiguous run from the current row
// (a drag or shift-click moves the current row to the run's other end), or
// the current row itself otherwise. -1 when nothing is selected.
int row_to_keep(std::vector<int> selected_rows, int current_row);

} // namespace mosswick::search
