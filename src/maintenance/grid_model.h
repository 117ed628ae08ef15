#pragma once

#include "maintenance/edits.h"
#include "platform/store/connection.h"
#include "platform/store/row_blocks.h"

#include <QAbstractTableModel>

#include <optional>

namespace mosswick::maintenance {

// One row of the management grid.
struct GridRow {
    std::optional<qint64> numpic;
    std::optional<qint64> numpage;
    bool movie = false;   // movfile is not Null
    QString picfile;      // "" for Null
};

// The management grid's rows: picture number, page, a movie mark ("*") and
// the picture file name, listed at once and read a block at a time as they
// are shown or acted on. Read-only; the view shows any number of rows
// without a widget per cell.
class ManagementGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { col_numpic = 0, col_numpage = 1, col_movie = 2, col_picfile = 3, column_total = 4 };

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces the rows by the catalogue's, ordered by number then page. On
    // failure the grid is left empty and the error returned.
    store::Error load(store::Connection& conn);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The row at a position (read now when it has not been); an empty row
    // outside the grid.
    GridRow row(int r) const;
    // The listing behind the rows.
    const store::RowBlocks& listing() const { return m_rows; }
    // The text a cell shows.
    QString cell_text(int r, int column) const;
    // The catalogue picture a row names; nullopt for a row without a number.
    std::optional<PictureRef> ref(int r) const;

    // Width of a column in twips and the alignment of its cells and header.
    static int column_width_twips(int column);
    static Qt::Alignment column_alignment(int column);

private:
    store::RowBlocks m_rows;
};

} // namespace mosswick::maintenance
