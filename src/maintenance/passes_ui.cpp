// The update and verify passes over the loader's lists.
#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "maintenance/maintenance_tab.h"
#include "maintenance/messages.h"
#include "maintenance/update_pass.h"
#include "maintenance/verify_pass.h"

#include "platform/ui/vb.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>

#include <limits>

namespace mosswick {

namespace {

constexpr unsigned k_caption_normal = 0xFFC0C0;
constexpr unsigned k_caption_filling = 0xFFC0FF;

void set_caption_colour(QLabel* label, unsigned bgr_colour)
{
    if (!label)
        return;
    QPalette p = label->palette();
    p.setColor(QPalette::Window, ui::bgr(bgr_colour));
    label->setPalette(p);
}

int bar_value(qint64 v)
{
    return int(std::min<qint64>(v, std::numeric_limits<int>::max()));
}

} // namespace

void MaintenanceTab::update_pictures_Click()
{
    StatusLine& status = m_session.status();
    emit update_button_enable_requested(false);
    ui::BusyLock lock(m_session.busy());
    const auto enable = qScopeGuard([this] { emit update_button_enable_requested(m_session.db_open()); });
    const bool timed = m_session.edition().features.times_long_actions;
    const bool esc_stops = m_session.edition().features.esc_stops_update;
    const qint64 start = ui::tick_count();
    if (timed)
        status.set_timing({});
    // Esc stops the pass, or, where Esc does not reach it, a click on the
    // progress bar; an old one never stops a new pass.
    const ui::StopRequest stop = esc_stops ? ui::StopRequest::UpdateEsc : ui::StopRequest::ProgressBar;
    m_session.busy().clear_stop_request(stop);
    const ui::StopOffer stop_offer(m_session.busy(), {.esc = esc_stops, .progress_bar = !esc_stops});
    status.set_message(QStringLiteral("Update pictures, updating pictures & movies, please wait..."));
    if (!m_session.db_conn()) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_no_catalogue));
        return;
    }
    store::Error error;
    const qint64 rows = m_session.db_conn()->record_count(error);
    if (error) {
        status.set_message(ui::error_message(error.code, error.text));
        return;
    }
    if (rows == 0) {
        status.set_message(QStringLiteral("Database empty."));
        return;
    }
    const LoaderLists listed = m_listing.lists();
    const QStringList& names = listed.pictures;
    status.progress()->show();
    status.set_ready({});
    status.progress()->setRange(0, bar_value(names.size()));
    status.progress()->setValue(0);
    if (names.isEmpty()) {
        status.set_message(QStringLiteral("Update pictures, no picture(s) in the list."));
        status.progress()->hide();
        status.set_ready(m_session.edition().texts.update_ready);
        return;
    }

    maintenance::UpdateRequest request;
    request.pictures = names;
    // Without the note import the pass only relinks movies.
    request.notes_in = m_session.edition().features.update_note_import && listed.notes_in;
    request.target = listed.target;
    request.db_folder = m_session.db_folder();
    request.data_folder = m_session.data_folder();
    request.log_path = join_path(m_session.db_folder(), QString::fromLatin1(maintenance::k_update_log_name));
    ui::EventPump pump;
    maintenance::UpdateHooks hooks;
    hooks.advance = [&](qint64 value) {
        status.progress()->setValue(bar_value(value));
        if (m_session.busy().take_stop_request(stop))
            return false;
        pump.maybe_pump();
        return true;
    };
    const maintenance::UpdateResult r = maintenance::run_update_pass(*m_session.db_conn(), request, hooks);
    switch (r.outcome) {
    case maintenance::UpdateOutcome::Stopped:
        status.set_message(QStringLiteral("Upgrading stopped."));
        status.progress()->setValue(0);
        return;
    case maintenance::UpdateOutcome::Failed:
        status.set_message(ui::error_message(r.error.code, r.error.text));
        status.progress()->setValue(0);
        status.progress()->hide();
        status.set_ready(QStringLiteral("Ready."));
        return;
    case maintenance::UpdateOutcome::Done:
        break;
    }
    // Reopened so that the page view shows the new state.
    m_session.close_table();
    const bool shown = m_access.reopen();
    status.progress()->setValue(0);
    status.progress()->hide();
    if (!shown)
        return;   // the reopening reported why
    const QString skipped = maintenance::skipped_notes_message(r.skipped);
    status.set_message(maintenance::update_summary(r.updated) + (skipped.isEmpty() ? QString() : u' ' + skipped));
    status.set_ready(m_session.edition().texts.update_ready);
    if (timed)
        status.set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

void MaintenanceTab::verify_loaded_pictures_Click()
{
    StatusLine& status = m_session.status();
    if (!m_session.db_conn())
        return;
    // Busy while it runs: nothing can close the catalogue under the pass.
    ui::BusyLock lock(m_session.busy());
    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);   // an old click never stops a new pass
    const ui::StopOffer stop_offer(m_session.busy(), {.progress_bar = true});
    status.set_message(QStringLiteral("Start verification procedure (1/2), please wait..."));
    status.set_ready({});
    const bool timed = m_session.edition().features.times_long_actions;
    if (timed)
        status.set_timing(QStringLiteral("Time elapsed..."));
    status.progress()->show();
    const qint64 start = ui::tick_count();
    for (QListWidget* l : {List1, List2, List3})
        l->clear();
    status.progress()->setValue(0);
    set_caption_colour(lbl_v1, k_caption_filling);

    ui::EventPump pump;
    maintenance::VerifyHooks hooks;
    hooks.phase_started = [&](int phase, std::optional<qint64> maximum) {
        if (phase == 1) {
            if (maximum)
                status.progress()->setRange(0, bar_value(*maximum));
            return;
        }
        set_caption_colour(lbl_v1, k_caption_normal);
        set_caption_colour(lbl_v2, k_caption_filling);
        set_caption_colour(lbl_v3, k_caption_filling);
        status.set_message(QStringLiteral("Start verification procedure (2/2), please wait..."));
        status.progress()->setValue(0);
        pump.pump();
        if (maximum && *maximum > 0)
            status.progress()->setRange(0, bar_value(*maximum));
    };
    hooks.advance = [&](qint64 value) {
        status.progress()->setValue(bar_value(value));
        if (m_session.busy().take_stop_request(ui::StopRequest::ProgressBar))
            return false;
        pump.maybe_pump();
        return true;
    };
    maintenance::VerifyRequest request;
    const LoaderLists listed = m_listing.lists();
    request.picture_folder = listed.picture_folder;
    request.pictures = listed.pictures;
    request.files_folder = listed.files_folder;
    request.all_files = listed.all_files;
    const maintenance::VerifyResult r = maintenance::run_verify_pass(*m_session.db_conn(), request, hooks);

    List1->addItems(r.not_loaded);
    List2->addItems(r.missing);
    List3->addItems(r.duplicates);
    for (QLabel* l : {lbl_v1, lbl_v2, lbl_v3})
        set_caption_colour(l, k_caption_normal);
    switch (r.outcome) {
    case maintenance::VerifyOutcome::Done: status.set_message(maintenance::verify_summary(r.errors_found())); break;
    case maintenance::VerifyOutcome::Stopped: status.set_message(QStringLiteral("Verify stopped.")); break;
    case maintenance::VerifyOutcome::Failed: status.set_message(ui::error_message(r.error.code, r.error.text)); break;
    }
    verify_loaded_pictures->setEnabled(true);
    status.progress()->setValue(0);
    status.progress()->hide();
    status.set_ready(QStringLiteral("Ready."));
    if (timed)
        status.set_timing(maintenance::elapsed_text(ui::tick_count() - start));
    emit main_tabs_enable_requested(true);
}

} // namespace mosswick
