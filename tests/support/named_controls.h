#pragma once

// Controls as a test reaches them: by the names their window gives them (an
// element of a control array is "name(i)"), and only the window's own.

#include <QMenu>
#include <QObject>
#include <QString>
#include <QWidget>

#include <array>
#include <map>
#include <memory>

namespace testsupport {

// Whether o is window w's own: dialogs parented to it may reuse names. Not
// inside another window of its own (a dialog, a zoom or note window); the
// menus are windows of their own but belong to the window.
inline bool inside(QObject& w, QObject* o)
{
    for (; o && o != &w; o = o->parent())
        if (auto* widget = qobject_cast<QWidget*>(o); widget && widget->isWindow() && !qobject_cast<QMenu*>(widget))
            return false;
    return o == &w;
}

// Window w's own control of that name and type; null when it has none.
template <class T>
T* named(QObject& w, const QString& name)
{
    const auto all = w.findChildren<T*>(name);
    for (T* t : all)
        if (inside(w, t))
            return t;
    return nullptr;
}

// The base of a window's controls as a test reaches them, each field found
// by its name where it is declared: QLabel* Label1 = one<QLabel>("Label1").
// A control the window does not build is null.
template <class W>
struct NamedControls {
    explicit NamedControls(W& w) : window(&w) {}
    W* window;

protected:
    template <class T>
    T* one(const char* name) const
    {
        return named<T>(*window, QString::fromLatin1(name));
    }
    // Every element of a control array, "name(0)" and on.
    template <class T, size_t N>
    std::array<T*, N> all(const char* name) const
    {
        std::array<T*, N> out{};
        for (size_t i = 0; i < N; ++i)
            out[i] = named<T>(*window, QStringLiteral("%1(%2)").arg(QString::fromLatin1(name)).arg(i));
        return out;
    }
};

// The controls C of a window, found once (C's constructor takes the window)
// and kept while the window lives.
template <class C, class W>
C& found_controls(W& window)
{
    static std::map<W*, std::unique_ptr<C>> found;
    auto& slot = found[&window];
    if (!slot) {
        QObject::connect(&window, &QObject::destroyed, [&window] { found.erase(&window); });
        slot = std::make_unique<C>(window);
    }
    return *slot;
}

} // namespace testsupport
