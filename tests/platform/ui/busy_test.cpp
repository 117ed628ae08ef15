#include "platform/ui/busy.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace mosswick::ui;

namespace {

struct Window {
    QWidget window;
    QPushButton* button = new QPushButton("go", &window);
    QLineEdit* edit = new QLineEdit(&window);
    QProgressBar* bar = new QProgressBar(&window);
    QAction* open = new QAction("Open DB", &window);
    BusyState busy;   // guards the Open DB action
    Window()
    {
        auto* l = new QVBoxLayout(&window);
        l->addWidget(button);
        l->addWidget(edit);
        l->addWidget(bar);
        window.show();
        busy.attach(&window, bar);
        busy.add_guarded_action(open);
    }
};

// Counts the events a widget receives that match.
struct EventCounter : QObject {
    std::function<bool(QEvent*)> matches;
    int seen = 0;
    explicit EventCounter(std::function<bool(QEvent*)> m) : matches(std::move(m)) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (matches(e))
            ++seen;
        return false;
    }
};

} // namespace

TEST(BusyState, NestsAndReleasesOnTheLastRelease)
{
    Window w;
    QSignalSpy changes(&w.busy, &BusyState::busy_changed);
    {
        BusyLock outer(w.busy);
        EXPECT_FALSE(w.open->isEnabled());
        {
            BusyLock inner(w.busy);
            EXPECT_EQ(w.busy.depth(), 2);
        }
        EXPECT_TRUE(w.busy.busy());
        EXPECT_FALSE(w.open->isEnabled());
    }
    EXPECT_FALSE(w.busy.busy());
    EXPECT_TRUE(w.open->isEnabled());
    EXPECT_EQ(changes.count(), 2);
    // Enabling an enabled window changes nothing.
    w.busy.release();
    EXPECT_EQ(w.busy.depth(), 0);
}

TEST(BusyState, ReleasedWhenAnExceptionLeavesTheScope)
{
    Window w;
    try {
        BusyLock lock(w.busy);
        throw std::runtime_error("boom");
    } catch (const std::exception&) {
    }
    EXPECT_FALSE(w.busy.busy());
}

TEST(BusyState, ActionsKeepTheirOwnStateAfterwards)
{
    Window w;
    w.open->setEnabled(false);
    {
        BusyLock lock(w.busy);
    }
    EXPECT_FALSE(w.open->isEnabled());
}

TEST(BusyState, SwallowsInputButEscAndProgressBarClicks)
{
    Window w;
    QSignalSpy clicks(w.button, &QPushButton::clicked);
    EventCounter bar_presses([](QEvent* e) { return e->type() == QEvent::MouseButtonPress; });
    w.bar->installEventFilter(&bar_presses);
    EventCounter escapes([](QEvent* e) {
        return e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape;
    });
    w.edit->installEventFilter(&escapes);

    BusyLock lock(w.busy);
    QTest::mouseClick(w.button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyClicks(w.edit, "abc");
    EXPECT_EQ(w.edit->text(), QString());
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_EQ(escapes.seen, 1);
    QTest::mouseClick(w.bar, Qt::LeftButton);
    EXPECT_EQ(bar_presses.seen, 1);

    lock.release();
    QTest::mouseClick(w.button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClicks(w.edit, "abc");
    EXPECT_EQ(w.edit->text(), QString("abc"));
}

TEST(BusyState, StopRequestsAreKeptApartUntilTakenOrCleared)
{
    BusyState busy;
    busy.request_stop(StopRequest::Esc);
    EXPECT_TRUE(busy.stop_requested(StopRequest::Esc));
    // Esc reaches the update pass only where it is asked for apart, and is no click.
    EXPECT_FALSE(busy.stop_requested(StopRequest::UpdateEsc));
    EXPECT_FALSE(busy.stop_requested(StopRequest::ProgressBar));
    // Looking leaves it; the loop it stops takes it, once.
    EXPECT_TRUE(busy.stop_requested(StopRequest::Esc));
    EXPECT_TRUE(busy.take_stop_request(StopRequest::Esc));
    EXPECT_FALSE(busy.take_stop_request(StopRequest::Esc));

    // An old click is forgotten as a new loop starts; a new one stops it.
    busy.request_stop(StopRequest::ProgressBar);
    busy.request_stop(StopRequest::UpdateEsc);
    busy.clear_stop_request(StopRequest::ProgressBar);
    EXPECT_FALSE(busy.take_stop_request(StopRequest::ProgressBar));
    EXPECT_TRUE(busy.stop_requested(StopRequest::UpdateEsc));
    busy.request_stop(StopRequest::ProgressBar);
    EXPECT_TRUE(busy.take_stop_request(StopRequest::ProgressBar));
}

TEST(BusyState, ASearchRunsForItsScope)
{
    BusyState busy;
    EXPECT_FALSE(busy.search_running());
    {
        const SearchRunning outer(busy);
        {
            const SearchRunning inner(busy);
            EXPECT_TRUE(busy.search_running());
        }
        EXPECT_TRUE(busy.search_running());
    }
    EXPECT_FALSE(busy.search_running());
}

TEST(BusyState, CloseIsRefusedWhileBusy)
{
    Window w;
    int refusals = 0;
    QObject::connect(&w.busy, &BusyState::close_refused, [&refusals] { ++refusals; });
    {
        BusyLock lock(w.busy);
        EXPECT_FALSE(w.window.close());
        EXPECT_TRUE(w.window.isVisible());
        EXPECT_EQ(refusals, 1);
    }
    EXPECT_TRUE(w.window.close());
    EXPECT_EQ(refusals, 1);
}

TEST(LabelButton, PressedLookAndClick)
{
    LabelButton b("Clear note");
    b.set_colors(bgr(0xFFFFFF), bgr(0xC0C0C0));
    b.resize(80, 20);
    b.show();
    QSignalSpy clicked(&b, &LabelButton::clicked);
    EXPECT_EQ(b.focusPolicy(), Qt::NoFocus);
    QTest::mousePress(&b, Qt::LeftButton);
    EXPECT_TRUE(b.is_pressed());
    EXPECT_EQ(to_bgr(b.palette().color(QPalette::Window)), 0xC0C0C0u);
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_FALSE(b.is_pressed());
    EXPECT_EQ(to_bgr(b.palette().color(QPalette::Window)), 0xFFFFFFu);
    EXPECT_EQ(clicked.count(), 1);
    // Released outside: no click.
    QTest::mousePress(&b, Qt::LeftButton);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(500, 500));
    EXPECT_EQ(clicked.count(), 1);
    b.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}
