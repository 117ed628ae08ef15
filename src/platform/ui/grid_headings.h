#pragma once

#include <QLabel>
#include <QStringList>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <vector>

namespace mosswick::ui {

// Keeps every column of a grid at least as wide as needed(column) says,
// whoever sets its width (a fill, the user, the program), for as long as
// context lives.
void keep_columns_at_least(QTableView* grid, QObject* context, std::function<int(int column)> needed);

// A grid with its header shown: no column narrower than its heading.
void fit_columns_to_header(QTableView* grid);

// A row of heading labels standing above a grid whose own header is hidden:
// each label over its column (the last one reaching the grid's right edge),
// following the columns as they are resized or scrolled, and no column
// narrower than its heading. Place it directly above the grid, left-aligned
// with it.
class GridHeadings : public QWidget {
    Q_OBJECT
public:
    GridHeadings(QTableView* grid, const QStringList& texts, QWidget* parent);

    QLabel* label(int column) const { return m_labels[size_t(column)]; }
    int count() const { return int(m_labels.size()); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QTableView* m_grid;
    std::vector<QLabel*> m_labels;
};

} // namespace mosswick::ui
