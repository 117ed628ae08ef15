#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <initializer_list>
#include <vector>

// The rows of the search, reference and import/export grids: copies of the
// query's text, held after the query is closed.
namespace mosswick::search {

// A table of texts, row after row.
class GridRows {
public:
    explicit GridRows(int columns = 0) : m_columns(columns) {}

    int columns() const { return m_columns; }
    int count() const { return m_columns == 0 ? 0 : int(m_cells.size() / size_t(m_columns)); }
    bool empty() const { return m_cells.empty(); }

    // Appends one row; missing cells are empty, extra cells are dropped.
    void append(std::initializer_list<QString> cells);
    // Appends one row taking the cells' texts over.
    void append_moved(QString* cells);
    // The text of a cell; empty outside the table.
    const QString& cell(int row, int column) const;
    void reserve(int rows) { m_cells.reserve(size_t(rows) * size_t(m_columns)); }

private:
    int m_columns;
    std::vector<QString> m_cells;
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
