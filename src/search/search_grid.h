#pragma once

#include "search/grid_model.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

#include <vector>

namespace mosswick::search {

// A read-only grid of whole rows over its own GridModel, hidden until it is
// filled. Its click runs when the mouse button is released, after the view
// has settled the selection, also at the end of a drag over several rows.
class SearchGrid : public QTableView {
    Q_OBJECT
public:
    SearchGrid(std::vector<Qt::Alignment> alignments, const QString& tip, QWidget* parent)
        : QTableView(parent), m_rows(new GridModel(std::move(alignments), this))
    {
        setModel(m_rows);
        setToolTip(tip);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setWordWrap(false);
        horizontalHeader()->hide();
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
        hide();
    }

    GridModel* rows() const { return m_rows; }

signals:
    // A left-button click or drag on the rows has ended.
    void rows_clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QTableView::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton)
            emit rows_clicked();
    }

private:
    GridModel* m_rows;
};

// The SearchGrid behind a grid pointer of the window.
inline SearchGrid* search_grid(QTableView* view)
{
    return dynamic_cast<SearchGrid*>(view);
}

} // namespace mosswick::search
