// The edits by number: delete a page or a picture, exchange, insert; their
// key filters and the focus rule of their buttons.
#include "maintenance/edits.h"
#include "maintenance/input_rules.h"
#include "maintenance/messages.h"
#include "maintenance/maintenance_tab.h"
#include "maintenance/window_steps.h"

#include "core/status_line.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace mosswick {

namespace {

using maintenance::EditOutcome;
using maintenance::EditResult;
using maintenance::PictureRef;

void error_box(QWidget& w, const char* text)
{
    ui::dialogs().message(w.window(), QString::fromLatin1(text), QStringLiteral("Error"), ui::MessageIcon::None,
                          ui::MessageButtons::Ok);
}

// Shows how an edit that ends with a renumbering went; true when it was done.
bool report_renumbered_edit(StatusLine& status, maintenance::RenumberView& view, const EditResult& r, const char* done,
                            maintenance::EditKind kind)
{
    switch (r.outcome) {
    case EditOutcome::Done:
        view.report(r.renumbering.value_or(RenumberOutcome::Empty), {});
        status.set_message(QString::fromLatin1(done));
        return true;
    case EditOutcome::Stopped:
        view.report(RenumberOutcome::Stopped, {});
        status.set_message(maintenance::edit_stopped_message(kind));
        return false;
    case EditOutcome::Failed:
        if (r.renumbering)
            view.report(RenumberOutcome::Failed, r.error);
        else
            status.set_message(ui::error_message(r.error.code, r.error.text));
        return false;
    case EditOutcome::Missing:
    case EditOutcome::SecondMissing:
    case EditOutcome::Stale:
        return false;
    }
    return false;
}

void hand_focus_back(QLineEdit* box)
{
    if (box->isEnabled())
        box->setFocus(Qt::OtherFocusReason);
}

} // namespace

// The number boxes take digits (and '*' in the delete-page box) only.
void MaintenanceTab::filter_number_key(int& key, bool star_allowed)
{
    if (!maintenance::number_key_accepted(key, star_allowed)) {
        m_session.status().set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        key = 0;
    }
}

void MaintenanceTab::delete_page_Click()
{
    StatusLine& status = m_session.status();
    const QString text = Txt_delpag->text();
    if (text.isEmpty() || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    maintenance::DisabledFor button(delete_page, [this] { return m_session.db_open() && !m_session.db_read_only(); });
    status.set_message(m_session.edition().texts.delete_page_started);
    if (text == QLatin1String("*")) {
        const EditResult r = maintenance::delete_all_pictures(*m_session.db_conn());
        if (r.outcome != EditOutcome::Done) {
            status.set_message(ui::error_message(r.error.code, r.error.text));
            return;
        }
        status.set_message(QStringLiteral("Entire content of the database deleted."));
        maintenance::recount_pictures(m_session);
        return;
    }
    const std::optional<qint64> page = maintenance::parse_typed_number(text);
    if (!page) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    maintenance::RenumberView view(m_session);
    const EditResult r = maintenance::delete_page(*m_session.db_conn(), *page, view.hooks());
    if (r.outcome == EditOutcome::Missing) {
        error_box(*this, "The page not exist.");
        return;
    }
    if (report_renumbered_edit(status, view, r, "Page deleted.", maintenance::EditKind::DeletePage))
        maintenance::recount_pictures(m_session);
}

void MaintenanceTab::delete_picture_Click()
{
    StatusLine& status = m_session.status();
    const QString text = Text15->text();
    if (text.isEmpty() || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    maintenance::DisabledFor button(delete_picture, [this] { return m_session.db_open() && !m_session.db_read_only(); });
    status.set_message(m_session.edition().texts.delete_picture_started);
    const std::optional<qint64> number = maintenance::parse_typed_number(text);
    if (!number) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    maintenance::RenumberView view(m_session);
    const EditResult r = maintenance::delete_picture(*m_session.db_conn(), PictureRef::number(*number), view.hooks());
    if (r.outcome == EditOutcome::Missing) {
        error_box(*this, "The picture not exist.");
        return;
    }
    if (report_renumbered_edit(status, view, r, "Picture deleted.", maintenance::EditKind::DeletePicture))
        maintenance::recount_pictures(m_session);
}

void MaintenanceTab::exchange_picture_Click()
{
    StatusLine& status = m_session.status();
    const QString first = Text9->text();
    const QString second = Text11->text();
    if (first.isEmpty() || second.isEmpty() || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    // The search's refresh waits for the exchange.
    emit exchange_running(true);
    const auto exchange_ended = qScopeGuard([this] { emit exchange_running(false); });
    maintenance::DisabledFor button(exchange_picture, [this] { return m_session.db_open() && !m_session.db_read_only(); });
    status.set_message(QStringLiteral("Exchanging pictures..."));
    const std::optional<qint64> a = maintenance::parse_typed_number(first);
    const std::optional<qint64> b = maintenance::parse_typed_number(second);
    if (!a || !b) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    const EditResult r = maintenance::exchange_pictures(*m_session.db_conn(), PictureRef::number(*a), PictureRef::number(*b));
    switch (r.outcome) {
    case EditOutcome::Missing: error_box(*this, "First picture not exist."); break;
    case EditOutcome::SecondMissing: error_box(*this, "Last picture not exist."); break;
    case EditOutcome::Done: status.set_message(QStringLiteral("Pictures exchanged.")); break;
    default: status.set_message(ui::error_message(r.error.code, r.error.text)); break;
    }
}

void MaintenanceTab::insert_picture_Click()
{
    StatusLine& status = m_session.status();
    const bool timed = m_session.edition().features.times_long_actions;
    const qint64 start = ui::tick_count();
    if (timed)
        status.set_timing({});
    const QString moving = Text22->text();
    const QString place = Text20->text();
    if (moving.isEmpty() || place.isEmpty() || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    maintenance::DisabledFor button(insert_picture, [this] { return m_session.db_open() && !m_session.db_read_only(); });
    status.set_message(m_session.edition().texts.insert_started);
    const std::optional<qint64> s = maintenance::parse_typed_number(moving);
    const std::optional<qint64> t = maintenance::parse_typed_number(place);
    if (!s || !t) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    maintenance::RenumberView view(m_session);
    const EditResult r = maintenance::insert_picture(*m_session.db_conn(), PictureRef::number(*s), PictureRef::number(*t), view.hooks());
    if (r.outcome == EditOutcome::Missing) {
        error_box(*this, "First picture not exist.");
        return;
    }
    if (r.outcome == EditOutcome::SecondMissing) {
        error_box(*this, "Last picture not exist.");
        return;
    }
    if (report_renumbered_edit(status, view, r, "Picture inserted.", maintenance::EditKind::Insert) && timed)
        status.set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

// ---- key filters and focus ---------------------------------------------------

void MaintenanceTab::Txt_delpag_KeyPress(int& key_ascii)
{
    filter_number_key(key_ascii, true);
}

void MaintenanceTab::Text15_KeyPress(int& key_ascii)
{
    filter_number_key(key_ascii, false);
}

void MaintenanceTab::Text9_KeyPress(int& key_ascii)
{
    filter_number_key(key_ascii, false);
}

void MaintenanceTab::Text11_KeyPress(int& key_ascii)
{
    filter_number_key(key_ascii, false);
}

void MaintenanceTab::Text22_KeyPress(int& key_ascii)
{
    filter_number_key(key_ascii, false);
}

void MaintenanceTab::Text20_KeyPress(int& key_ascii)
{
    filter_number_key(key_ascii, false);
}

void MaintenanceTab::delete_page_LostFocus()
{
    hand_focus_back(Txt_delpag);
}

void MaintenanceTab::delete_picture_LostFocus()
{
    hand_focus_back(Text15);
}

void MaintenanceTab::exchange_picture_LostFocus()
{
    hand_focus_back(Text9);
}

void MaintenanceTab::insert_picture_LostFocus()
{
    hand_focus_back(Text22);
}

} // namespace mosswick
