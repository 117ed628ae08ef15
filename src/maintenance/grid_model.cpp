#include "maintenance/grid_model.h"

namespace mosswick::maintenance {

namespace {

std::optional<qint64> optional_integer(const QVariant& v)
{
    if (!v.isValid())
        return std::nullopt;
    return v.toLongLong();
}

QString number_text(const std::optional<qint64>& n)
{
    return n ? QString::number(*n) : QString();
}

} // namespace

store::Error ManagementGridModel::load(store::Connection& conn)
{
    beginResetModel();
    const store::Error error = m_rows.list(conn, QStringLiteral("numpic, numpage, movfile IS NOT NULL, picfile"),
                                           column_total, {}, {}, {});
    endResetModel();
    return error;
}

void ManagementGridModel::clear()
{
    beginResetModel();
    m_rows = store::RowBlocks();
    endResetModel();
}

int ManagementGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.count());
}

GridRow ManagementGridModel::row(int r) const
{
    if (r < 0 || r >= m_rows.count())
        return {};
    const QVariant picfile = m_rows.value(r, col_picfile);
    return {optional_integer(m_rows.value(r, col_numpic)), optional_integer(m_rows.value(r, col_numpage)),
            m_rows.value(r, col_movie).toLongLong() != 0, picfile.isValid() ? picfile.toString() : QString()};
}

int ManagementGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : column_total;
}

QString ManagementGridModel::cell_text(int r, int column) const
{
    if (r < 0 || r >= m_rows.count())
        return {};
    const GridRow row = this->row(r);
    switch (column) {
    case col_numpic: return number_text(row.numpic);
    case col_numpage: return number_text(row.numpage);
    case col_movie: return row.movie ? QStringLiteral("*") : QString();
    case col_picfile: return row.picfile;
    default: return {};
    }
}

QVariant ManagementGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.count())
        return {};
    if (role == Qt::DisplayRole)
        return cell_text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column_alignment(index.column()));
    return {};
}

QVariant ManagementGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= column_total)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        static const char* const names[] = {"numpic", "numpage", "movie", "picfile"};
        return QString::fromLatin1(names[section]);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column_alignment(section));
    return {};
}

std::optional<PictureRef> ManagementGridModel::ref(int r) const
{
    const GridRow row = this->row(r);
    if (!row.numpic)
        return std::nullopt;
    return PictureRef::grid_row(*row.numpic, row.numpage, row.picfile);
}

int ManagementGridModel::column_width_twips(int column)
{
    return column == col_picfile ? 5000 : 700;
}

Qt::Alignment ManagementGridModel::column_alignment(int column)
{
    return column == col_picfile ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
}

} // namespace mosswick::maintenance
