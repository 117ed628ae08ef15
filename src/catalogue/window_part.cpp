#include "catalogue/window_part.h"

#include "catalogue/status_line.h"
#include "platform/ui/key_rules.h"

#include <QLineEdit>

namespace mosswick {

void WindowPart::refuse_pastes_by_rule(QLineEdit* box)
{
    ui::refuse_pastes(
        box, [this, box](QChar c) { return ui::accepts(paste_rule(box).filter, c); },
        [this, box] { m_session.status().set_message(paste_rule(box).message); });
}

} // namespace mosswick
