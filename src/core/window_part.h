#pragma once

#include "core/catalogue_session.h"
#include "platform/ui/key_filter.h"

#include <QWidget>

class QLineEdit;

namespace mosswick {

namespace ui {
class PlainTextBox;
}

// A part of the main window (a tab or a page of one): it owns its controls
// and reaches the open catalogue only through the session. The frame calls
// these as the window's state changes, part after part.
class WindowPart : public QWidget {
    Q_OBJECT
public:
    WindowPart(CatalogueSession& session, QWidget* parent = nullptr) : QWidget(parent), m_session(session) {}

    // Every control back to its state with nothing open (start-up, close).
    virtual void reset() {}
    // What shows of a page or a list goes (start-up, close, refresh, open).
    virtual void clear() {}
    // A catalogue is open with its counts known: offer what it allows;
    // controls that write only while it is not read-only.
    virtual void enable_for_catalogue() {}
    // The catalogue was closed: the first page of every inner tab shows.
    virtual void show_first_tabs() {}
    // A catalogue is about to be shown: forget what the last one left.
    virtual void opening() {}

    // The key rule of one of this part's line boxes: its key filter and what
    // a refused character says. Text pasted in from elsewhere ("Paste Text")
    // is held to it as typing is; None for a box that is not this part's.
    struct PasteRule {
        ui::KeyFilter filter = ui::KeyFilter::None;
        QString message;
    };
    virtual PasteRule paste_rule(const QWidget* /*box*/) const { return {}; }

protected:
    // Text pasted into one of the part's boxes meets its paste_rule as
    // typed text meets the key filter; a refusal says the rule's message.
    void refuse_pastes_by_rule(QLineEdit* box);
    void refuse_pastes_by_rule(ui::PlainTextBox* box);

    CatalogueSession& m_session;
};

// The key rules of every part's boxes, for a part that puts text into a box
// of another ("Paste Text" into the page box): the frame answers, asking
// each part for its own boxes.
class PasteRules {
public:
    virtual ~PasteRules() = default;
    // The rule of box; None when no part holds the box to a rule.
    virtual WindowPart::PasteRule paste_rule_of(const QWidget* box) const = 0;
};

} // namespace mosswick
