#pragma once

#include <QCoreApplication>
#include <QList>
#include <QRect>
#include <QWidget>

#include <initializer_list>

namespace testsupport {

// Where controls stand in their window (position and size), after pending
// layout work has run: compared before and after an action, it tells
// whether anything moved.
inline QList<QRect> places_in(QWidget* window, std::initializer_list<QWidget*> controls)
{
    QCoreApplication::processEvents();
    QList<QRect> out;
    for (QWidget* w : controls)
        out << QRect(w->mapTo(window, QPoint(0, 0)), w->size());
    return out;
}

} // namespace testsupport
