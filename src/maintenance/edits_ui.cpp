// The edits by number: delete a page or a picture, exchange, insert; their
// key filters and the focus rule of their buttons.
#include "catalogue/frm_browser.h"
#include "maintenance/edits.h"
#include "maintenance/input_rules.h"
#include "maintenance/messages.h"
#include "maintenance/window_steps.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"
#include "search/search_sort_tab.h"

#include <QLineEdit>
#include <QPushButton>

namespace mosswick {

namespace {

using maintenance::EditOutcome;
using maintenance::EditResult;
using maintenance::PictureRef;

void error_box(frmBrowser& w, const char* text)
{
    ui::dialogs().message(&w, QString::fromLatin1(text), QStringLiteral("Error"), ui::MessageIcon::None,
                          ui::MessageButtons::Ok);
}

// Shows how an edit that ends with a renumbering went; true when it was done.
bool report_renumbered_edit(frmBrowser& w, maintenance::RenumberView& view, const EditResult& r, const char* done,
                            maintenance::EditKind kind)
{
    switch (r.outcome) {
    case EditOutcome::Done:
        view.report(r.renumbering.value_or(RenumberOutcome::Empty), {});
        w.set_message(QString::fromLatin1(done));
        return true;
    case EditOutcome::Stopped:
        view.report(RenumberOutcome::Stopped, {});
        w.set_message(maintenance::edit_stopped_message(kind));
        return false;
    case EditOutcome::Failed:
        if (r.renumbering)
            view.report(RenumberOutcome::Failed, r.error);
        else
            w.set_message(ui::error_message(r.error.code, r.error.text));
        return false;
    case EditOutcome::Missing:
    case EditOutcome::SecondMissing:
    case EditOutcome::Stale:
        return false;
    }
    return false;
}

// The number boxes take digits (and '*' in the delete-page box) only.
void filter_number_key(frmBrowser& w, int& key, bool star_allowed)
{
    if (!maintenance::number_key_accepted(key, star_allowed)) {
        w.set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        key = 0;
    }
}

void hand_focus_back(QLineEdit* box)
{
    if (box->isEnabled())
        box->setFocus(Qt::OtherFocusReason);
}

} // namespace

void frmBrowser::delete_page_Click()
{
    const QString text = Txt_delpag->text();
    if (text.isEmpty() || !m_session.db_conn)
        return;
    ui::BusyLock lock(busy_state());
    maintenance::DisabledFor button(delete_page, [this] { return m_session.db_open && !m_session.db_read_only; });
    set_message(edition().texts.delete_page_started);
    if (text == QLatin1String("*")) {
        const EditResult r = maintenance::delete_all_pictures(*m_session.db_conn);
        if (r.outcome != EditOutcome::Done) {
            set_message(ui::error_message(r.error.code, r.error.text));
            return;
        }
        set_message(QStringLiteral("Entire content of the database deleted."));
        maintenance::recount_pictures(*this);
        return;
    }
    const std::optional<qint64> page = maintenance::parse_typed_number(text);
    if (!page) {
        set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    maintenance::RenumberView view(*this);
    renumber_keep_order = 1;
    const maintenance::OnExit reset([this] { renumber_keep_order = 0; });
    const EditResult r = maintenance::delete_page(*m_session.db_conn, *page, view.hooks());
    if (r.outcome == EditOutcome::Missing) {
        error_box(*this, "The page not exist.");
        return;
    }
    if (report_renumbered_edit(*this, view, r, "Page deleted.", maintenance::EditKind::DeletePage))
        maintenance::recount_pictures(*this);
}

void frmBrowser::delete_picture_Click()
{
    const QString text = Text15->text();
    if (text.isEmpty() || !m_session.db_conn)
        return;
    ui::BusyLock lock(busy_state());
    maintenance::DisabledFor button(delete_picture, [this] { return m_session.db_open && !m_session.db_read_only; });
    set_message(edition().texts.delete_picture_started);
    const std::optional<qint64> number = maintenance::parse_typed_number(text);
    if (!number) {
        set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    maintenance::RenumberView view(*this);
    renumber_keep_order = 1;
    const maintenance::OnExit reset([this] { renumber_keep_order = 0; });
    const EditResult r = maintenance::delete_picture(*m_session.db_conn, PictureRef::number(*number), view.hooks());
    if (r.outcome == EditOutcome::Missing) {
        error_box(*this, "The picture not exist.");
        return;
    }
    if (report_renumbered_edit(*this, view, r, "Picture deleted.", maintenance::EditKind::DeletePicture))
        maintenance::recount_pictures(*this);
}

void frmBrowser::exchange_picture_Click()
{
    const QString first = Text9->text();
    const QString second = Text11->text();
    if (first.isEmpty() || second.isEmpty() || !m_session.db_conn)
        return;
    ui::BusyLock lock(busy_state());
    search().hold_refresh(true);
    const maintenance::OnExit grid_refresh([this] { search().hold_refresh(false); });
    maintenance::DisabledFor button(exchange_picture, [this] { return m_session.db_open && !m_session.db_read_only; });
    set_message(QStringLiteral("Exchanging pictures..."));
    const std::optional<qint64> a = maintenance::parse_typed_number(first);
    const std::optional<qint64> b = maintenance::parse_typed_number(second);
    if (!a || !b) {
        set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    const EditResult r = maintenance::exchange_pictures(*m_session.db_conn, PictureRef::number(*a), PictureRef::number(*b));
    switch (r.outcome) {
    case EditOutcome::Missing: error_box(*this, "First picture not exist."); break;
    case EditOutcome::SecondMissing: error_box(*this, "Last picture not exist."); break;
    case EditOutcome::Done: set_message(QStringLiteral("Pictures exchanged.")); break;
    default: set_message(ui::error_message(r.error.code, r.error.text)); break;
    }
}

void frmBrowser::insert_picture_Click()
{
    const bool timed = edition().features.times_long_actions;
    const qint64 start = ui::tick_count();
    if (timed)
        set_timing({});
    const QString moving = Text22->text();
    const QString place = Text20->text();
    if (moving.isEmpty() || place.isEmpty() || !m_session.db_conn)
        return;
    ui::BusyLock lock(busy_state());
    maintenance::DisabledFor button(insert_picture, [this] { return m_session.db_open && !m_session.db_read_only; });
    set_message(edition().texts.insert_started);
    const std::optional<qint64> s = maintenance::parse_typed_number(moving);
    const std::optional<qint64> t = maintenance::parse_typed_number(place);
    if (!s || !t) {
        set_message(QString::fromLatin1(maintenance::k_msg_digits_only));
        return;
    }
    maintenance::RenumberView view(*this);
    renumber_keep_order = 1;
    const maintenance::OnExit reset([this] { renumber_keep_order = 0; });
    const EditResult r = maintenance::insert_picture(*m_session.db_conn, PictureRef::number(*s), PictureRef::number(*t), view.hooks());
    if (r.outcome == EditOutcome::Missing) {
        error_box(*this, "First picture not exist.");
        return;
    }
    if (r.outcome == EditOutcome::SecondMissing) {
        error_box(*this, "Last picture not exist.");
        return;
    }
    if (report_renumbered_edit(*this, view, r, "Picture inserted.", maintenance::EditKind::Insert) && timed)
        set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

// ---- key filters and focus ---------------------------------------------------

void frmBrowser::Txt_delpag_KeyPress(int& key_ascii)
{
    filter_number_key(*this, key_ascii, true);
}

void frmBrowser::Text15_KeyPress(int& key_ascii)
{
    filter_number_key(*this, key_ascii, false);
}

void frmBrowser::Text9_KeyPress(int& key_ascii)
{
    filter_number_key(*this, key_ascii, false);
}

void frmBrowser::Text11_KeyPress(int& key_ascii)
{
    filter_number_key(*this, key_ascii, false);
}

void frmBrowser::Text22_KeyPress(int& key_ascii)
{
    filter_number_key(*this, key_ascii, false);
}

void frmBrowser::Text20_KeyPress(int& key_ascii)
{
    filter_number_key(*this, key_ascii, false);
}

void frmBrowser::delete_page_LostFocus()
{
    hand_focus_back(Txt_delpag);
}

void frmBrowser::delete_picture_LostFocus()
{
    hand_focus_back(Text15);
}

void frmBrowser::exchange_picture_LostFocus()
{
    hand_focus_back(Text9);
}

void frmBrowser::insert_picture_LostFocus()
{
    hand_focus_back(Text22);
}

} // namespace mosswick
