#include "maintenance/grid_model.h"

namespace mosswick::maintenance {

namespace {

std::optional<qint64> optional_integer(const store::Statement& st, int column)
{
    if (st.is_null(column))
        return std::nullopt;
    return st.integer(column);
}

QString number_text(const std::optional<qint64>& n)
{
    return n ? QString::number(*n) : QString();
}

} // namespace

store::Error ManagementGridModel::load(store::Connection& conn)
{
    std::vector<GridRow> rows;
    store::Error error;
    rows.reserve(size_t(std::max<qint64>(conn.record_count(error), 0)));
    if (!error) {
        store::Statement st = conn.prepare(QStringLiteral(
            "SELECT numpic, numpage, movfile IS NOT NULL, picfile FROM demopicture ORDER BY numpic, numpage"));
        while (st.step())
            rows.push_back({optional_integer(st, 0), optional_integer(st, 1), st.integer(2) != 0, st.text(3)});
        error = st.error();
    }
    beginResetModel();
    if (error)
        m_rows.clear();
    else
        m_rows = std::move(rows);
    endResetModel();
    return error;
}

void ManagementGridModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int ManagementGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ManagementGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : column_total;
}

QString ManagementGridModel::cell_text(int r, int column) const
{
    if (r < 0 || r >= int(m_rows.size()))
        return {};
    const GridRow& row = m_rows[size_t(r)];
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
    if (!index.isValid() || index.row() >= int(m_rows.size()))
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
    if (r < 0 || r >= int(m_rows.size()) || !m_rows[size_t(r)].numpic)
        return std::nullopt;
    const GridRow& row = m_rows[size_t(r)];
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
