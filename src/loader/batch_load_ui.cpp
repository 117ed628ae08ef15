// The batch load's window side: options, progress, stop and messages around
// run_batch_load.
#include "catalogue/frm_browser.h"

#include "loader/batch_load.h"
#include "loader/file_ops.h"
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

namespace mosswick {

namespace {

int bar_value(qint64 v)
{
    return int(std::min<qint64>(v, std::numeric_limits<int>::max()));
}

} // namespace

void frmBrowser::load_pictures_Click()
{
    // One run at a time; nothing else may be running either.
    if (busy_state().busy())
        return;
    load_pictures->setEnabled(false);
    ui::BusyLock busy(busy_state());
    // Every way out gives the button back; the busy lock frees the window.
    const auto give_back = qScopeGuard([this] { load_pictures->setEnabled(true); });
    const bool timed = m_session.edition().features.times_long_actions;
    const qint64 started = ui::tick_count();
    if (timed)
        set_timing({});

    if (!m_session.db_open || !m_session.db_conn) {
        set_message(QStringLiteral("Open a database first."));
        return;
    }
    if (m_session.db_conn->read_only()) {
        set_message(QStringLiteral("The database is Read-Only."));
        return;
    }
    if (const store::Error e = m_session.db_conn->ensure_picfile_index()) {
        set_message(ui::error_message(e.code, e.text));
        return;
    }
    if (Fil_ImportFile->count() == 0) {
        set_message(QString::fromLatin1(loader::k_msg_no_pictures_to_load));
        return;
    }
    loader::BatchRequest request;
    request.list_folder = Fil_ImportFile->path();
    request.pictures = Fil_ImportFile->names();
    request.all_files = File_movies->names();
    request.db_folder = m_session.db_folder;
    request.data_folder = m_session.data_folder;
    request.log_path = m_session.db_folder + m_session.edition().texts.load_log_name;
    request.options.pictures_inside = m_session.edition().features.stored_pictures && Option4[0]->isChecked();
    request.options.companion_text_in = OptionFL[0]->isChecked();
    // Without the other fields a note file always goes into the note.
    const bool extra = m_session.edition().features.extra_note_fields;
    request.options.note_target = extra && OptionF1[1]->isChecked()   ? loader::NoteTarget::AddNote
                                  : extra && OptionF1[2]->isChecked() ? loader::NoteTarget::Reference
                                                                      : loader::NoteTarget::Note;
    if (request.options.companion_text_in && loader::same_folder(request.list_folder, m_session.db_folder)) {
        // Note files move into the catalogue's folder: they must come from elsewhere.
        ui::dialogs().message(this, QString::fromLatin1(loader::k_msg_own_folder), QStringLiteral("WARNING"),
                              ui::MessageIcon::Warning, ui::MessageButtons::Ok);
        return;
    }

    m_session.stop_requested = false;   // an old click never stops a new run
    ui::EventPump pump;
    loader::BatchHooks hooks;
    hooks.phase_started = [&](int phase, qint64 maximum) {
        if (phase == 1) {
            set_message(QString::fromLatin1(loader::k_msg_phase1));
            m_status->progress()->show();
            set_ready({});
        } else {
            set_message(loader::phase2_message(request.pictures.size()));
            text7->clear();
            Lbl_db->clear();
            Img_ImportImage->hide();
        }
        m_status->progress()->setValue(0);
        m_status->progress()->setRange(0, bar_value(maximum));
        pump.pump();
    };
    hooks.advance = [&](qint64 value) {
        m_status->progress()->setValue(bar_value(value));
        pump.maybe_pump();
        if (m_session.stop_requested) {
            m_session.stop_requested = false;
            return false;
        }
        return true;
    };
    hooks.picture_started = [&](const QString& path) { load_picture_path = path; };
    hooks.movie_found = [&](const QString& name) { load_movie_name = name; };

    const loader::BatchResult result = loader::run_batch_load(*m_session.db_conn, request, hooks);
    switch (result.outcome) {
    case loader::BatchOutcome::NameTooLong:
        set_message(result.message);
        break;
    case loader::BatchOutcome::Stopped:
        set_message(QString::fromLatin1(loader::k_msg_stopped));
        m_status->progress()->setValue(0);
        break;
    case loader::BatchOutcome::Failed:
        set_message(result.message);
        m_status->progress()->setValue(0);
        m_status->progress()->hide();
        set_ready(QStringLiteral("Ready."));
        break;
    case loader::BatchOutcome::Done:
        set_message(loader::batch_summary(result.listed, result.loaded, result.errors));
        m_status->progress()->setValue(0);
        m_status->progress()->hide();
        set_ready(m_session.edition().texts.batch_ready);
        if (timed)
            set_timing(QStringLiteral("%1 ms").arg(ui::tick_count() - started));
        break;
    }
    if (!result.log_error.isEmpty())
        set_message(message_text() + u' ' + result.log_error);
    if (result.loaded > 0) {
        store::Error error;
        const qint64 n = m_session.db_conn->record_count(error);
        if (!error)
            m_session.picture_count = n;
        counts_changed();
    }
}

} // namespace mosswick
