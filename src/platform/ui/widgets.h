#pragma once

#include "platform/ui/vb.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QString>

#include <array>

namespace mosswick::ui {

// A push button with a caption and, when given, a tooltip.
inline QPushButton* make_button(const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

// A label with a tooltip and a background colour written &HBBGGRR.
inline QLabel* make_colored_label(const QString& tip, unsigned bgr_color, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setToolTip(tip);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, bgr(bgr_color));
    l->setPalette(p);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// A read-only grid of whole rows, hidden until it is filled.
inline QTableView* make_grid(const QString& tip, QWidget* parent)
{
    auto* g = new QTableView(parent);
    g->setToolTip(tip);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->hide();
    return g;
}

// A control that keeps its place in the layout while hidden, so that the
// controls around it do not move when it shows or hides.
inline void keep_place_when_hidden(QWidget* w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

// A box for a picture or page number.
inline QLineEdit* make_number_box(int max_length, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setMaxLength(max_length);
    e->setMaximumWidth(110);
    return e;
}

// A box for a password: at most max_length characters, each shown as "*".
inline QLineEdit* make_password_box(int max_length, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setMaxLength(max_length);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42; lineedit-password-mask-delay: 0"));
    return e;
}

// Names a control as the program knows it, so tests and tools find it by name.
template <class T>
T* name_control(T* control, const char* name)
{
    if (control)
        control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Names each element of a control array "name(i)".
template <class T, size_t N>
void name_controls(const std::array<T*, N>& controls, const char* name)
{
    for (size_t i = 0; i < N; ++i)
        if (controls[i])
            controls[i]->setObjectName(QStringLiteral("%1(%2)").arg(QString::fromLatin1(name)).arg(i));
}

} // namespace mosswick::ui
