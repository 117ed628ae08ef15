#pragma once

// Mouse gestures on a grid of whole rows, as the user makes them.

#include <QAbstractItemModel>
#include <QTableView>
#include <QTest>

namespace testsupport {

// The centre of a row's first cell, in the grid's viewport.
inline QPoint row_point(QTableView* grid, int row)
{
    return grid->visualRect(grid->model()->index(row, 0)).center();
}

// A left click on one row, scrolled to first as the user scrolls to it.
inline void click_row(QTableView* grid, int row)
{
    grid->scrollTo(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row_point(grid, row));
}

// A drag with the left button from one row to another.
inline void drag_rows(QTableView* grid, int from, int to)
{
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, row_point(grid, from));
    QTest::mouseMove(grid->viewport(), row_point(grid, to));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, row_point(grid, to));
}

} // namespace testsupport
