// The window's renumbering and the "Renumber pages" button.
#include "catalogue/frm_browser.h"
#include "maintenance/messages.h"
#include "maintenance/renumber.h"
#include "maintenance/window_steps.h"

#include "platform/ui/vb.h"

#include <QPushButton>

namespace mosswick {

void frmBrowser::RenumberPages()
{
    maintenance::RenumberView view(*this);
    view.started();
    if (!db_conn) {
        set_message(QString::fromLatin1(maintenance::k_msg_no_catalogue));
        return;
    }
    store::Error error;
    const RenumberOutcome outcome = renumber_rows(
        *db_conn, renumber_keep_order == 1, [&view](qint64 done, qint64 total) { return view.progress(done, total); },
        error);
    view.report(outcome, error);
}

void frmBrowser::renumber_pages_Click()
{
    if (!db_conn || db_read_only)
        return;
    ui::BusyLock lock(busy_state());
    maintenance::DisabledFor button(renumber_pages, [this] { return db_open && !db_read_only; });
    const bool timed = edition().features.times_long_actions;
    const qint64 start = ui::tick_count();
    if (timed)
        set_timing({});
    renumber_keep_order = 0;   // the button always numbers by file name
    RenumberPages();
    // Reopened whatever the renumbering did, so that page 1 shows the rows as they are.
    db_table_open = false;
    open_database();
    // Untimed, the panel keeps the time of the page-1 load.
    if (timed)
        set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

} // namespace mosswick
