#pragma once

#include "search_fixture.h"
#include "support/grid_clicks.h"
#include "support/window_fixture.h"

#include "search/search_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <functional>

namespace searchtest {

using testsupport::click_row;
using testsupport::drag_rows;

// A started main window over a catalogue whose rows a test writes.
class SearchWindowTest : public WindowTest {
protected:
    // Makes a catalogue, lets fill() add rows to it, then opens it.
    void open_with(const std::function<void(store::Connection&)>& fill)
    {
        const QString path = make(0);
        {
            store::Error e;
            auto conn = store::Connection::open(path, {}, e);
            ASSERT_TRUE(conn) << e.text.toStdString();
            fill(*conn);
        }
        open(path);
        ASSERT_TRUE(window->session().db_open());
        // The page view's own complaints about picture files are not ours.
        dialogs->asked.clear();
        db_folder = dir.path() + QStringLiteral("/");
    }

    static search::GridModel* model(QTableView* grid) { return search::search_grid(grid)->rows(); }

    static QStringList grid_column(QTableView* grid, int c) { return column(model(grid)->rows(), c); }

    // The rows a grid has selected, in order.
    static std::vector<int> selected_rows(QTableView* grid)
    {
        std::vector<int> rows;
        for (const QModelIndex& i : grid->selectionModel()->selectedRows())
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    // Shows the window with a tab in front so that clicks reach the grids.
    void show_tab(int main_tab)
    {
        ctl(*window).SSTab_main->setCurrentIndex(main_tab);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Types one character into a box the way the keyboard does.
    static void type(QWidget* box, QChar c) { QTest::keyClick(box, c.toLatin1()); }

    // Sends Esc to the window from wherever the focus is.
    void press_esc()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
        QApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    QString db_folder;
};

} // namespace searchtest
