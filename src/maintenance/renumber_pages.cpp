// The window's renumbering: progress, stop and messages around renumber_rows.
#include "catalogue/frm_browser.h"
#include "maintenance/renumber.h"

#include "platform/ui/vb.h"

#include <QProgressBar>

namespace mosswick {

void frmBrowser::RenumberPages()
{
    set_message(QStringLiteral("Database pages renumbering started, please wait..."));
    ui::EventPump pump;
    pump.pump();
    if (!db_conn)
        return;
    stop_requested = false;   // an old click never stops a new run
    bool shown = false;
    store::Error error;
    const RenumberOutcome outcome = renumber_rows(
        *db_conn, renumber_keep_order == 1,
        [&](qint64 done, qint64 total) {
            if (!shown) {
                ProgressBar1->show();
                set_ready({});
                ProgressBar1->setRange(0, int(std::min<qint64>(total, std::numeric_limits<int>::max())));
                shown = true;
            }
            ProgressBar1->setValue(int(std::min<qint64>(done, ProgressBar1->maximum())));
            pump.maybe_pump();
            if (stop_requested) {
                stop_requested = false;
                return false;
            }
            return true;
        },
        error);
    switch (outcome) {
    case RenumberOutcome::Empty:
        set_message(QStringLiteral("Database empty."));
        break;
    case RenumberOutcome::Stopped:
        set_message(QStringLiteral("Renumbering stopped."));
        break;
    case RenumberOutcome::Failed:
        ProgressBar1->setValue(0);
        ProgressBar1->hide();
        set_message(ui::error_message(error.code, error.text));
        break;
    case RenumberOutcome::Done:
        ProgressBar1->setValue(0);
        ProgressBar1->hide();
        set_ready(QStringLiteral("Ready."));
        set_message(QStringLiteral("Database pages renumbered."));
        break;
    }
}

} // namespace mosswick
