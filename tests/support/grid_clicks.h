#pragma once

// Mouse gestures on a grid of whole rows, as the user makes them.

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace testsupport {

// The centre of a row's first cell, in the grid's viewport.
inline QPoint row_point(QTableView* grid, int row)
{
    return grid->visualRect(grid->model()->index(row, 0)).center();
}

// A left click on one row, scrolled to first as the user scrolls to it.
inline void click_row(QTableView* grid, int row, Qt::KeyboardModifiers modifiers = {})
{
    grid->scrollTo(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, row_point(grid, row));
}

// A drag with the left button from one row to another.
inline void drag_rows(QTableView* grid, int from, int to)
{
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, row_point(grid, from));
    QTest::mouseMove(grid->viewport(), row_point(grid, to));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, row_point(grid, to));
}

// Puts the tab pages holding a widget in front and shows its window, so that
// a click lands where the user sees the widget.
inline void bring_to_front(QWidget* widget)
{
    for (QWidget* child = widget; child && child->parentWidget(); child = child->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget());
        if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(child);
    }
    QWidget* window = widget->window();
    if (!window->isVisible()) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("bring_to_front: the window was never exposed");
    }
    QCoreApplication::processEvents();
}

// Clicks a grid row where the user sees it (its tab in front), then lets
// what the click queued run.
inline void click_grid_row(QTableView* grid, int row, Qt::KeyboardModifiers modifiers = {})
{
    bring_to_front(grid);
    click_row(grid, row, modifiers);
    QCoreApplication::processEvents();
}

} // namespace testsupport
