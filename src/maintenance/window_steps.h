#pragma once

#include "maintenance/edits.h"
#include "maintenance/renumber.h"
#include "platform/ui/busy.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace mosswick {

class CatalogueSession;

namespace maintenance {

// Shows a renumbering in the status bar: the start message, the progress
// bar, the stop request polled after each row, and the outcome's messages.
class RenumberView {
public:
    explicit RenumberView(CatalogueSession& session);
    RenumberView(const RenumberView&) = delete;
    RenumberView& operator=(const RenumberView&) = delete;

    // Hooks for an edit's closing renumbering.
    RenumberHooks hooks();
    // Shows the start message and clears an old stop request.
    void started();
    // Shows the progress; false when a stop was asked for.
    bool progress(qint64 done, qint64 total);
    // The status texts of an outcome (the error's for a failure).
    void report(RenumberOutcome outcome, const store::Error& error);

private:
    CatalogueSession& m_session;
    // A click on the progress bar stops the edit with its renumbering.
    ui::StopOffer m_stop_offer;
    ui::EventPump m_pump;
    bool m_shown = false;
};

// Disables a widget for a scope and enables it again on every way out
// (when enable_when, if given, still allows it then).
class DisabledFor {
public:
    explicit DisabledFor(QWidget* widget, std::function<bool()> enable_when = {})
        : m_widget(widget), m_enable_when(std::move(enable_when))
    {
        if (m_widget)
            m_widget->setEnabled(false);
    }
    ~DisabledFor()
    {
        if (m_widget)
            m_widget->setEnabled(!m_enable_when || m_enable_when());
    }
    DisabledFor(const DisabledFor&) = delete;
    DisabledFor& operator=(const DisabledFor&) = delete;

private:
    QPointer<QWidget> m_widget;
    std::function<bool()> m_enable_when;
};

// Lets pending events run once, as the status messages ask for.
void pump_events();

// Counts the rows again after a delete and announces the new count.
void recount_pictures(CatalogueSession& session);

} // namespace maintenance
} // namespace mosswick
