#include "platform/ui/grid_headings.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace mosswick::ui {

void keep_columns_at_least(QTableView* grid, QObject* context, std::function<int(int column)> needed)
{
    QHeaderView* header = grid->horizontalHeader();
    auto widen = [grid, needed](int column, int size) {
        const int least = needed(column);
        if (size < least)
            grid->setColumnWidth(column, least);
    };
    QObject::connect(header, &QHeaderView::sectionResized, context,
                     [widen](int column, int, int size) { widen(column, size); });
    QObject::connect(header, &QHeaderView::sectionCountChanged, context, [grid, widen](int, int count) {
        for (int c = 0; c < count; ++c)
            widen(c, grid->columnWidth(c));
    });
    for (int c = 0; c < header->count(); ++c)
        widen(c, grid->columnWidth(c));
}

void fit_columns_to_header(QTableView* grid)
{
    keep_columns_at_least(grid, grid, [grid](int column) { return grid->horizontalHeader()->sectionSizeHint(column); });
}

GridHeadings::GridHeadings(QTableView* grid, const QStringList& texts, QWidget* parent)
    : QWidget(parent), m_grid(grid)
{
    for (const QString& text : texts) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        m_labels.push_back(label);
    }
    if (!m_labels.empty()) {
        m_labels.back()->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setFixedHeight(m_labels.front()->sizeHint().height());
    }
    keep_columns_at_least(grid, this, [this](int column) {
        return column < count() ? label(column)->sizeHint().width() + 8 : 0;
    });
    QHeaderView* header = grid->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, &GridHeadings::place);
    connect(header, &QHeaderView::geometriesChanged, this, &GridHeadings::place);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridHeadings::place);
    place();
}

void GridHeadings::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

void GridHeadings::place()
{
    // The grid's cells start after its frame; its left edge and ours are the same.
    const int origin = m_grid->geometry().x() - geometry().x() + m_grid->viewport()->geometry().x();
    const int right = m_grid->geometry().right() - geometry().x();
    for (int c = 0; c < count(); ++c) {
        const int x = origin + m_grid->columnViewportPosition(c);
        int w = m_grid->columnWidth(c);
        if (c == count() - 1)
            w = std::max(w, right - x);
        m_labels[size_t(c)]->setGeometry(x, 0, std::max(w, 0), height());
    }
}

} // namespace mosswick::ui
