// The "Search & Sort" tab: the search frame, the picture and reference
// search, the note search and the input rules of the search boxes.
#include "search/search_sort_tab.h"

#include "core/status_line.h"
#include "platform/ui/busy.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/event_hook.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/vb.h"
#include "search/criteria.h"
#include "search/messages.h"
#include "search/queries.h"
#include "search/search_grid.h"
#include "search/tab_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>

#include <limits>
#include <vector>

namespace mosswick {

using search::text_of;

namespace {

// What the file-name box refuses, typed or pasted.
const QString k_name_refused = QStringLiteral("\"/\\:*?<>|");

// Lets typed characters through a handler the way a key-press event does:
// the handler may set the code to 0 to discard the key.
void hook_key_press(QLineEdit* box, std::function<void(int&)> handler)
{
    EventHook::install(box, [handler = std::move(handler)](QEvent* e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        const std::optional<int> typed = ui::typed_code(*static_cast<QKeyEvent*>(e));
        if (!typed)
            return false;
        int code = *typed;
        const bool was_return = code == 13;
        handler(code);
        // Return has done its work (the search); the box needs nothing more.
        return code == 0 || was_return;
    });
}

} // namespace

// Locks the search tab and its boxes for one search and unlocks them on
// every way out.
class SearchSortTab::SearchFrame {
public:
    explicit SearchFrame(SearchSortTab& tab) : m_tab(tab), m_lock(tab.m_session.busy()), m_running(tab.m_session.busy())
    {
        // Return in a box starts the search; typing goes on there after it.
        QWidget* focused = QApplication::focusWidget();
        for (QLineEdit* box : boxes())
            if (focused == box)
                m_focus = box;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_tab.SSTab_search->setEnabled(false);
        for (QLineEdit* box : boxes())
            box->setReadOnly(true);
        emit m_tab.searching(true);
        m_tab.refresh_grid->setEnabled(false);
        m_tab.MSFlexGrid1->hide();
    }
    ~SearchFrame()
    {
        m_tab.SSTab_search->setEnabled(true);
        for (QLineEdit* box : boxes())
            box->setReadOnly(false);
        emit m_tab.searching(false);
        m_tab.refresh_grid->setEnabled(true);
        QApplication::restoreOverrideCursor();
        // Disabling the tabs took the focus away from the box.
        if (m_focus && m_focus->isEnabled() && m_focus->isVisible())
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    SearchFrame(const SearchFrame&) = delete;
    SearchFrame& operator=(const SearchFrame&) = delete;

private:
    // The search boxes the edition has.
    std::vector<QLineEdit*> boxes() const
    {
        std::vector<QLineEdit*> all;
        for (QLineEdit* box : {m_tab.Text1, m_tab.Text3, m_tab.Text4})
            if (box)
                all.push_back(box);
        return all;
    }

    SearchSortTab& m_tab;
    ui::BusyLock m_lock;
    ui::SearchRunning m_running;
    QPointer<QLineEdit> m_focus;
};

namespace {

// Puts the found rows into the search grid, shown when it has rows.
void show_rows(QTableView* view, search::GridRows rows)
{
    if (search::put_rows(view, std::move(rows)) > 0)
        view->show();
}

search::PictureScope scope_of(const std::array<QRadioButton*, 4>& options)
{
    if (options[2]->isChecked())
        return search::PictureScope::PictureOrReference;
    if (options[3]->isChecked())
        return search::PictureScope::PictureAndReference;
    return search::PictureScope::Picture;
}

search::NoteFields note_fields_of(const std::array<QRadioButton*, 3>& options)
{
    if (!options[0])
        return search::NoteFields::Note;   // the edition has the note alone
    if (options[1]->isChecked())
        return search::NoteFields::AddNote;
    if (options[2]->isChecked())
        return search::NoteFields::Both;
    return search::NoteFields::Note;
}

} // namespace

void SearchSortTab::set_message(const QString& text)
{
    m_session.status().set_message(text);
}

// The picture and reference search. Returns false when it stopped before
// querying (the elapsed time is then not shown).
bool SearchSortTab::search_pictures()
{
    // Without references the file-name text is the whole search.
    const bool references = Text3 != nullptr;
    // The same text in both boxes: the file name as a whole, the reference word by word.
    if (references) {
        if (const auto scope = search::scope_for_same_text(Text1->text(), Text3->text(), Option5[0]->isChecked())) {
            Text3->clear();
            (*scope == search::PictureScope::PictureOrReference ? Option1[2] : Option1[3])->setChecked(true);
        }
    }
    search::PictureSearchInput in;
    in.picture_text = Text1->text();
    in.reference_text = references ? Text3->text() : QString();
    in.scope = references ? scope_of(Option1) : search::PictureScope::Picture;
    in.parts_and = references && Option5[0]->isChecked();
    in.words_and = references && Option6[1]->isChecked();
    in.order_by_name = Check2->isChecked();
    in.has_reference = m_session.db_conn()->column_count() > store::col_reference;
    const search::PictureCriteria criteria = search::build_picture_criteria(in);
    if (criteria.too_many) {
        ui::dialogs().message(window(), text_of(search::k_too_many_strings), text_of(search::k_error_title),
                              ui::MessageIcon::Critical, ui::MessageButtons::Ok);
        set_message({});
        return false;
    }
    store::Error error;
    search::GridRows rows =
        search::read_rows(*m_session.db_conn(), search::picture_search_query(criteria, in.order_by_name), search::k_search_columns, error);
    if (error) {
        set_message(ui::error_message(error.code, error.text));
        return true;
    }
    const int count = rows.count();
    show_rows(MSFlexGrid1, std::move(rows));
    set_message(search::selected_message(count));
    ui::EventPump().pump();
    return true;
}

// The note search: every record in scan order, Esc stops it.
void SearchSortTab::search_notes()
{
    StatusLine& status = m_session.status();
    status.set_ready({});
    search::SearchGrid* grid = search::search_grid(MSFlexGrid1);
    grid->rows()->clear();
    search::NoteSearchRequest request;
    request.text = Text4->text();
    request.fields = note_fields_of(Option7);
    request.order_by_name = Check2->isChecked();

    store::Error error;
    const qint64 total = m_session.db_conn()->record_count(error);
    if (error) {
        set_message(ui::error_message(error.code, error.text));
        status.set_ready(text_of(search::k_ready));
        return;
    }
    QProgressBar* bar = status.progress();
    // An empty table still gets a bar that can show its end.
    bar->setRange(0, int(std::clamp<qint64>(total, 1, std::numeric_limits<int>::max())));
    bar->setValue(0);
    bar->show();
    const auto hide_bar = qScopeGuard([&] {
        bar->setValue(0);
        bar->hide();
        status.set_ready(text_of(search::k_ready));
    });

    // An Esc pressed before the walk does not stop it.
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);
    ui::EventPump pump;
    // The bar moves by about a thousandth at a time: a step per record
    // would repaint it far more often than anyone can see.
    const qint64 step = std::max<qint64>(1, total / 1000);
    const auto before_record = [&](qint64 index) {
        if ((index + 1) % step == 0)
            bar->setValue(int(std::min<qint64>(index + 1, bar->maximum())));
        if (index == 0)
            pump.pump();
        else
            pump.maybe_pump();
        return !m_session.busy().take_stop_request(ui::StopRequest::Esc);
    };
    search::NoteSearchResult result = search::run_note_search(*m_session.db_conn(), request, before_record);
    if (result.error) {
        set_message(ui::error_message(result.error.code, result.error.text));
    } else {
        const int count = result.rows.count();
        show_rows(MSFlexGrid1, std::move(result.rows));
        set_message(search::selected_message(count));
    }
    pump.pump();
}

void SearchSortTab::reset()
{
    if (Text30)
        SSTab3->setTabEnabled(1, false);   // "Details" waits for a clicked row
}

void SearchSortTab::clear()
{
    SSTab_search->setCurrentIndex(0);
    Text4->clear();
    SSTab6->setCurrentIndex(0);
    Text1->clear();
    refresh_grid->setEnabled(false);
    MSFlexGrid1->hide();
    if (MSHFlexGrid1) {
        MSHFlexGrid1->hide();
        refresh_ref->setEnabled(false);
    }
}

void SearchSortTab::enable_for_catalogue()
{
    if (m_session.picture_count() > 0 && refresh_ref)
        refresh_ref->setEnabled(true);
}

void SearchSortTab::show_first_tabs()
{
    SSTab3->setCurrentIndex(0);
    SSTab_search->setCurrentIndex(0);
}

WindowPart::PasteRule SearchSortTab::paste_rule(const QWidget* box) const
{
    if (!box)
        return {};
    if (box == Text1)
        return {ui::KeyFilter::FileName, text_of(search::k_file_name_refused)};
    if (box == Text3)
        return {ui::KeyFilter::NoDoubleQuote, text_of(search::k_reference_refused)};
    if (box == Text4)
        return {ui::KeyFilter::NoDoubleQuote, text_of(search::k_note_refused)};
    return {};
}

void SearchSortTab::opening()
{
    MSFlexGrid1->hide();
}

void SearchSortTab::allow_searches()
{
    refresh_grid->setEnabled(true);
}

void SearchSortTab::hold_refresh(bool held)
{
    if (held == m_refresh_held)
        return;
    m_refresh_held = held;
    if (held) {
        m_refresh_was_enabled = refresh_grid->isEnabled();
        refresh_grid->setEnabled(false);
    } else {
        refresh_grid->setEnabled(m_refresh_was_enabled);
    }
}

void SearchSortTab::connect_handlers()
{
    connect(refresh_grid, &QPushButton::clicked, this, &SearchSortTab::refresh_grid_Click);
    connect(Text1, &QLineEdit::textChanged, this, &SearchSortTab::Text1_Change);
    hook_key_press(Text1, [this](int& key) { Text1_KeyPress(key); });
    hook_key_press(Text4, [this](int& key) { Text4_KeyPress(key); });
    // Pasted text meets the rules typed text meets.
    refuse_pastes_by_rule(Text1);
    refuse_pastes_by_rule(Text4);
    connect(search::search_grid(MSFlexGrid1), &search::SearchGrid::rows_clicked, this, &SearchSortTab::MSFlexGrid1_Click);
    if (Text3) {
        connect(Text3, &QLineEdit::textChanged, this, &SearchSortTab::Text3_Change);
        hook_key_press(Text3, [this](int& key) { Text3_KeyPress(key); });
        refuse_pastes_by_rule(Text3);
        for (int index : {0, 2, 3})
            connect(Option1[size_t(index)], &QRadioButton::toggled, this, [this, index](bool checked) {
                if (checked)
                    Option1_Click(index);
            });
    }
    if (MSHFlexGrid1) {
        connect(refresh_ref, &QPushButton::clicked, this, &SearchSortTab::refresh_ref_Click);
        connect(display_page, &QPushButton::clicked, this, &SearchSortTab::display_page_Click);
        connect(search::search_grid(MSHFlexGrid1), &search::SearchGrid::rows_clicked, this, &SearchSortTab::MSHFlexGrid1_Click);
    }
}

void SearchSortTab::refresh_grid_Click()
{
    if (m_session.busy().search_running() || !m_session.db_conn())
        return;
    SearchFrame frame(*this);
    // Esc stops the note search; the picture search is one query.
    const ui::StopOffer stop_offer(m_session.busy(), {.esc = SSTab_search->currentIndex() != 0});
    const qint64 started = ui::tick_count();
    set_message(text_of(search::k_loading));
    m_session.status().set_timing(text_of(search::k_time_elapsed));
    ui::EventPump().pump();

    bool timed = true;
    if (SSTab_search->currentIndex() == 0)
        timed = search_pictures();
    else
        search_notes();
    if (timed)
        m_session.status().set_timing(search::elapsed_message(ui::tick_count() - started));
}

void SearchSortTab::Text1_Change()
{
    if (!Text3)
        return;   // one box: no options to weigh
    const bool both = !Text1->text().isEmpty() && !Text3->text().isEmpty();
    Option5[0]->setEnabled(both);
    Option5[1]->setEnabled(both);
}

void SearchSortTab::Text3_Change()
{
    Option1[0]->setChecked(true);
    const bool empty = Text3->text().isEmpty();
    Option1[2]->setEnabled(empty);
    Option1[3]->setEnabled(empty);
    Text1_Change();
    const bool words = Text3->text().contains(u' ');
    Option6[0]->setEnabled(words);
    Option6[1]->setEnabled(words);
}

void SearchSortTab::Text1_KeyPress(int& key_ascii)
{
    if (key_ascii > 0 && k_name_refused.contains(QChar(key_ascii))) {
        key_ascii = 0;
        set_message(text_of(search::k_file_name_refused));
    } else {
        set_message({});
    }
    if (key_ascii == 13)
        refresh_grid_Click();
}

void SearchSortTab::Text3_KeyPress(int& key_ascii)
{
    if (key_ascii == '"') {
        key_ascii = 0;
        set_message(text_of(search::k_reference_refused));
    } else {
        set_message({});
    }
    if (key_ascii == 13)
        refresh_grid_Click();
}

void SearchSortTab::Text4_KeyPress(int& key_ascii)
{
    if (key_ascii == '"') {
        key_ascii = 0;
        set_message(text_of(search::k_note_refused));
    } else {
        set_message({});
    }
    if (key_ascii == 13)
        refresh_grid_Click();
}

void SearchSortTab::Option1_Click(int)
{
    Text3->setEnabled(Option1[0]->isChecked());
}

} // namespace mosswick
