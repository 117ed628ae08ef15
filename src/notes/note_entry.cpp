// Entry points of the note window.
#include "catalogue/frm_browser.h"

namespace mosswick {

void frmBrowser::mnuEditNote()
{
    const int cell = WhichSelected();
    if (cell == 0) {
        set_message(QStringLiteral("Please select a note first."));
        return;
    }
    if (db_read_only) {
        set_message(QStringLiteral("The database is Read-Only."));
        return;
    }
    set_message(QStringLiteral("The note window is not part of this version yet."));
}

void frmBrowser::mnuShowNote()
{
    if (WhichSelected() == 0) {
        set_message(QStringLiteral("Please select a note first."));
        return;
    }
    set_message(QStringLiteral("The note window is not part of this version yet."));
}

} // namespace mosswick
