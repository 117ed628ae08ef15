#pragma once

#include <QCoreApplication>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace testsupport {

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
        QTest::qWaitForWindowExposed(window);
    }
    QCoreApplication::processEvents();
}

// Clicks a grid row with the mouse (on its first cell, scrolled into view),
// then lets what the click queued run.
inline void click_grid_row(QTableView* grid, int row, Qt::KeyboardModifiers modifiers = {})
{
    bring_to_front(grid);
    const QModelIndex cell = grid->model()->index(row, 0);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, grid->visualRect(cell).center());
    QCoreApplication::processEvents();
}

} // namespace testsupport
