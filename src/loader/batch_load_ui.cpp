// The batch load's window side: options, progress, stop and messages around
// run_batch_load.
#include "loader/loader_tab.h"

#include "core/status_line.h"

#include "core/file_ops.h"
#include "loader/batch_load.h"
#include "loader/list_boxes.h"
#include "loader/loader_messages.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

#include <limits>
#include <optional>

namespace mosswick {

namespace {

int bar_value(qint64 v)
{
    return int(std::min<qint64>(v, std::numeric_limits<int>::max()));
}

} // namespace

void LoaderTab::load_pictures_Click()
{
    // One run at a time; nothing else may be running either.
    if (m_session.busy().busy())
        return;
    load_pictures->setEnabled(false);
    ui::BusyLock busy(m_session.busy());
    // Every way out gives the button back; the busy lock frees the window.
    const auto give_back = qScopeGuard([this] { load_pictures->setEnabled(true); });
    const bool timed = m_session.edition().features.times_long_actions;
    const qint64 started = ui::tick_count();
    if (timed)
        m_session.status().set_timing({});
    if (batch_load_refused())
        return;
    const loader::BatchRequest request = batch_request();
    if (own_folder_refused(request))
        return;

    m_session.busy().clear_stop_request(ui::StopRequest::ProgressBar);   // an old click never stops a new run
    const ui::StopOffer stop_offer(m_session.busy(), {.progress_bar = true});
    ui::EventPump pump;
    const loader::BatchResult result =
        loader::run_batch_load(*m_session.db_conn(), request, batch_hooks(pump, request.pictures.size()));
    show_batch_result(result, timed ? std::optional<qint64>(started) : std::nullopt);
}

bool LoaderTab::batch_load_refused()
{
    StatusLine& status = m_session.status();
    if (!m_session.db_open() || !m_session.db_conn()) {
        status.set_message(QStringLiteral("Open a database first."));
        return true;
    }
    if (m_session.db_conn()->read_only()) {
        status.set_message(QStringLiteral("The database is Read-Only."));
        return true;
    }
    if (const store::Error e = m_session.db_conn()->ensure_picfile_index()) {
        status.set_message(ui::error_message(e.code, e.text));
        return true;
    }
    if (Fil_ImportFile->count() == 0) {
        status.set_message(QString::fromLatin1(loader::k_msg_no_pictures_to_load));
        return true;
    }
    return false;
}

loader::BatchRequest LoaderTab::batch_request() const
{
    loader::BatchRequest request;
    request.list_folder = Fil_ImportFile->path();
    request.pictures = Fil_ImportFile->names();
    request.all_files = File_movies->names();
    request.db_folder = m_session.db_folder();
    request.data_folder = m_session.data_folder();
    request.log_path = m_session.db_folder() + m_session.edition().texts.load_log_name;
    request.options.pictures_inside = m_session.edition().features.stored_pictures && Option4[0]->isChecked();
    request.options.companion_text_in = OptionFL[0]->isChecked();
    // Without the other fields a note file always goes into the note.
    const bool extra = m_session.edition().features.extra_note_fields;
    request.options.note_target = extra && OptionF1[1]->isChecked()   ? files::NoteTarget::AddNote
                                  : extra && OptionF1[2]->isChecked() ? files::NoteTarget::Reference
                                                                      : files::NoteTarget::Note;
    return request;
}

bool LoaderTab::own_folder_refused(const loader::BatchRequest& request)
{
    if (!request.options.companion_text_in || !files::same_folder(request.list_folder, m_session.db_folder()))
        return false;
    // Note files move into the catalogue's folder: they must come from elsewhere.
    ui::dialogs().message(window(), QString::fromLatin1(loader::k_msg_own_folder), QStringLiteral("WARNING"),
                          ui::MessageIcon::Warning, ui::MessageButtons::Ok);
    return true;
}

loader::BatchHooks LoaderTab::batch_hooks(ui::EventPump& pump, qsizetype pictures)
{
    StatusLine& status = m_session.status();
    loader::BatchHooks hooks;
    hooks.phase_started = [this, &status, &pump, pictures](int phase, qint64 maximum) {
        if (phase == 1) {
            status.set_message(QString::fromLatin1(loader::k_msg_phase1));
            status.progress()->show();
            status.set_ready({});
        } else {
            status.set_message(loader::phase2_message(pictures));
            text7->clear();
            Lbl_db->clear();
            Img_ImportImage->hide();
        }
        status.progress()->setValue(0);
        status.progress()->setRange(0, bar_value(maximum));
        pump.pump();
    };
    hooks.advance = [this, &status, &pump](qint64 value) {
        status.progress()->setValue(bar_value(value));
        pump.maybe_pump();
        return !m_session.busy().take_stop_request(ui::StopRequest::ProgressBar);
    };
    return hooks;
}

void LoaderTab::show_batch_result(const loader::BatchResult& result, std::optional<qint64> started)
{
    StatusLine& status = m_session.status();
    switch (result.outcome) {
    case loader::BatchOutcome::NameTooLong:
        status.set_message(result.message);
        break;
    case loader::BatchOutcome::Stopped:
        status.set_message(QString::fromLatin1(loader::k_msg_stopped));
        status.progress()->setValue(0);
        break;
    case loader::BatchOutcome::Failed:
        status.set_message(result.message);
        status.progress()->setValue(0);
        status.progress()->hide();
        status.set_ready(QStringLiteral("Ready."));
        break;
    case loader::BatchOutcome::Done:
        status.set_message(loader::batch_summary(result.listed, result.loaded, result.errors));
        status.progress()->setValue(0);
        status.progress()->hide();
        status.set_ready(m_session.edition().texts.batch_ready);
        if (started)
            status.set_timing(QStringLiteral("%1 ms").arg(ui::tick_count() - *started));
        break;
    }
    if (!result.log_error.isEmpty())
        status.set_message(status.message_text() + u' ' + result.log_error);
    if (result.loaded > 0)
        m_session.recount_after_write();
}

} // namespace mosswick
