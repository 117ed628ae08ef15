#include "core/window_part.h"

#include "core/status_line.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/plain_text_box.h"

#include <QLineEdit>

namespace mosswick {

namespace {

template <typename Box>
void refuse_by_rule(Box* box, const WindowPart& part, const CatalogueSession& session)
{
    ui::refuse_pastes(
        box, [&part, box](QChar c) { return ui::accepts(part.paste_rule(box).filter, c); },
        [&part, &session, box] { session.status().set_message(part.paste_rule(box).message); });
}

} // namespace

void WindowPart::refuse_pastes_by_rule(QLineEdit* box)
{
    refuse_by_rule(box, *this, m_session);
}

void WindowPart::refuse_pastes_by_rule(ui::PlainTextBox* box)
{
    refuse_by_rule(box, *this, m_session);
}

} // namespace mosswick
