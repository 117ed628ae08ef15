// Opening an Access (Jet 4.0) catalogue: the question, its password and the
// conversion into a catalogue of ours that takes the file's place.
#include "catalogue/catalogue_file.h"
#include "core/status_line.h"

#include "platform/store/jet_convert.h"
#include "platform/ui/busy.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>

namespace mosswick {

namespace {

// Rows between two repaints of the status bar while converting.
constexpr qint64 k_rows_per_repaint = 256;

} // namespace

CatalogueFile::Step CatalogueFile::convert_access_catalogue(Attempt& attempt)
{
    const QString& path = attempt.path;
    const store::JetHeader header = store::read_jet_header(path);
    if (const store::Error e = store::jet_header_error(path, header))
        return failed(e);
    const QString shown = QDir::toNativeSeparators(path);
    if (!header.password.isEmpty()) {
        // Short enough that only the path gives way in the status bar; the advice is in its tooltip.
        if (!m_session.edition().features.passwords)
            return GiveUp::closed(
                QStringLiteral("%1 is an Access database with a password: the full edition converts it.").arg(shown),
                QStringLiteral("This edition has no password prompt: convert it once with the full edition "
                               "(mosswick-enhanced), which asks for the password."),
                true);
        // The password the header holds is asked for as a catalogue's password is.
        while (!store::jet_password_matches(header, m_session.db_password()))
            if (!ask_password())
                return GiveUp::let_go();
    }
    // As for an old layout: nothing can be changed, so nothing opens.
    if (m_session.db_read_only())
        return GiveUp::closed(QStringLiteral("The database is an old Access file, cannot convert a Read-Only database."));

    const QString question =
        QStringLiteral("Detected a database file in the old Access format, convert it into the new format? "
                       "The original file is kept as %1.")
            .arg(QFileInfo(store::jet_backup_path(path)).fileName());
    const ui::Answer answer = ui::dialogs().message(m_frame.window, question, QStringLiteral("Mosswick Zudidudi - Confirmation"),
                                                    ui::MessageIcon::Question, ui::MessageButtons::YesNo);
    if (answer != ui::Answer::Yes) {
        // Everything as it was before the question, the menu too.
        GiveUp declined = GiveUp::let_go(QStringLiteral("Conversion not confirmed."));
        declined.title_at_start = true;
        declined.menu_to_open = false;
        return declined;
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
    if (stopped)
        return GiveUp::closed(QStringLiteral("Conversion stopped; %1 is unchanged.").arg(shown));
    if (error)
        return failed(error);
    // The new catalogue opens with the key it was given.
    m_session.set_password(protection.password);
    attempt.converted = QStringLiteral("Converted from the Access format; the original is kept as %1.")
                            .arg(QDir::toNativeSeparators(result.backup_path));
    m_session.status().set_message(attempt.converted);
    ui::repaint_pending();
    return {};
}

} // namespace mosswick
