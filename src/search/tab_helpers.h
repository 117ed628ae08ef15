#pragma once

// Small pieces the search tab's and the import/export page's handlers share.

#include "search/search_grid.h"

#include <QString>

namespace mosswick {
class StatusLine;
}

namespace mosswick::search {

inline QString text_of(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

// Puts rows into a grid with no row selected; a grid with rows gets the
// given cell of row 0 as its current cell and is scrolled to the top.
// Returns the number of rows.
int put_rows(QTableView* view, GridRows rows, int current_column = 0);

// The one row a click on a grid leaves selected, or -1 when none is. When
// several rows are selected, the selection shrinks to the row where it
// began, "Select one row." is shown and -1 returned with several set.
int clicked_row(StatusLine& status, QTableView* view, bool* several = nullptr);

} // namespace mosswick::search
