// Pieces the search tab's and the import/export page's handlers share.
#include "search/tab_helpers.h"

#include "core/status_line.h"
#include "search/messages.h"

#include <algorithm>

namespace mosswick {

int search::clicked_row(StatusLine& status, QTableView* view, bool* several)
{
    SearchGrid* grid = search_grid(view);
    std::vector<int> rows;
    for (const QItemSelectionRange& range : grid->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (several)
        *several = rows.size() > 1;
    if (rows.size() == 1)
        return rows.front();
    if (rows.empty())
        return -1;
    const int keep = row_to_keep(rows, grid->currentIndex().row());
    grid->selectionModel()->setCurrentIndex(grid->rows()->index(keep, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    status.set_message(text_of(k_select_one_row));
    return -1;
}

int search::put_rows(QTableView* view, GridRows rows, int current_column)
{
    SearchGrid* grid = search_grid(view);
    grid->rows()->set_rows(std::move(rows));
    grid->clearSelection();
    const int count = grid->rows()->rowCount();
    if (count > 0) {
        grid->selectionModel()->setCurrentIndex(grid->rows()->index(0, current_column), QItemSelectionModel::NoUpdate);
        grid->scrollToTop();
    }
    return count;
}

} // namespace mosswick
