#pragma once

#include <QPushButton>
#include <QString>

namespace mosswick::ui {

// A push button with a caption and, when given, a tooltip.
inline QPushButton* make_button(const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

} // namespace mosswick::ui
