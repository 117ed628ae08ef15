// Opening an Access (Jet 4.0) catalogue: the question, its password and the
// conversion into a catalogue of ours that takes the file's place.
#include "catalogue/catalogue_file.h"
#include "core/status_line.h"

#include "platform/store/jet_convert.h"
#include "platform/ui/busy.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QTabWidget>

namespace mosswick {

namespace {

// Rows between two repaints of the status bar while converting.
constexpr qint64 k_rows_per_repaint = 256;

} // namespace

bool CatalogueFile::convert_access_catalogue(const QString& path, QString& note)
{
    const store::JetHeader header = store::read_jet_header(path);
    if (const store::Error e = store::jet_header_error(path, header)) {
        report_open_failure(e);
        return false;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (!header.password.isEmpty()) {
        if (!m_session.edition().features.passwords) {
            // Short enough that only the path gives way in the status bar; the advice is in its tooltip.
            close_with_message(
                QStringLiteral("%1 is an Access database with a password: the full edition converts it.").arg(shown),
                QStringLiteral("This edition has no password prompt: convert it once with the full edition "
                               "(mosswick-enhanced), which asks for the password."));
            return false;
        }
        // The password the header holds is asked for as a catalogue's password is.
        while (!store::jet_password_matches(header, m_session.db_password())) {
            m_session.set_password(ui::dialogs().ask_password(m_frame.window));
            if (m_session.db_password().isEmpty()) {
                password_prompt_cancelled();
                return false;
            }
        }
    }
    if (store::is_read_only_path(path)) {
        // As for an old layout: nothing can be changed, so nothing opens.
        refuse_unchangeable(
            QStringLiteral("The database is an old Access file, cannot convert a Read-Only database."));
        return false;
    }

    const QString question =
        QStringLiteral("Detected a database file in the old Access format, convert it into the new format? "
                       "The original file is kept as %1.")
            .arg(QFileInfo(store::jet_backup_path(path)).fileName());
    const ui::Answer answer = ui::dialogs().message(m_frame.window, question, QStringLiteral("Mosswick Zudidudi - Confirmation"),
                                                    ui::MessageIcon::Question, ui::MessageButtons::YesNo);
    if (answer != ui::Answer::Yes) {
        m_session.abandon_open();
        set_title(m_session.edition().texts.design_caption);
        m_frame.mnuDb->setEnabled(true);
        m_session.status().set_message(QStringLiteral("Conversion not confirmed."));
        ui::repaint_pending();
        return false;
    }

    const store::Protection protection = store::jet_protection(header);
    m_session.status().set_message(QStringLiteral("Converting the Access database..."));
    ui::repaint_pending();
    // Esc stops the conversion, as it stops a search; one pressed before does not.
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);
    const ui::StopOffer stop_offer(m_session.busy(), {.esc = true});
    bool stopped = false;
    ui::EventPump events;
    store::JetConversion result;
    const store::Error error =
        store::convert_jet_catalogue(path, protection, result, [&](qint64 rows) {
            if (rows % k_rows_per_repaint == 0)
                m_session.status().set_message(QStringLiteral("Converting the Access database... %1 rows").arg(rows));
            if (rows == 1)
                events.pump();
            else
                events.maybe_pump();
            stopped = m_session.busy().take_stop_request(ui::StopRequest::Esc);
            return !stopped;
        });
    if (stopped) {
        show_closed_state();
        m_session.set_password({});
        m_session.status().set_message(QStringLiteral("Conversion stopped; %1 is unchanged.").arg(shown));
        return false;
    }
    if (error) {
        report_open_failure(error);
        return false;
    }
    // The new catalogue opens with the key it was given.
    m_session.set_password(protection.password);
    note = QStringLiteral("Converted from the Access format; the original is kept as %1.")
               .arg(QDir::toNativeSeparators(result.backup_path));
    m_session.status().set_message(note);
    ui::repaint_pending();
    return true;
}

} // namespace mosswick
