// The "Search & Sort" tab: the search frame, the picture and reference
// search, the note search and the input rules of the search boxes.
#include "catalogue/frm_browser.h"

#include "loader/event_hook.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/dialogs.h"
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
#include <QTabWidget>

#include <limits>

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

// Locks the search tab and its boxes for one search and unlocks them on
// every way out.
class SearchFrame {
public:
    explicit SearchFrame(frmBrowser& w) : m_w(w), m_lock(w.busy_state())
    {
        // Return in a box starts the search; typing goes on there after it.
        QWidget* focused = QApplication::focusWidget();
        for (QLineEdit* box : {m_w.Text1, m_w.Text3, m_w.Text4})
            if (focused == box)
                m_focus = box;
        m_w.session().search_running = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_w.SSTab_search->setEnabled(false);
        for (QLineEdit* box : {m_w.Text1, m_w.Text3, m_w.Text4})
            box->setReadOnly(true);
        m_w.SSTab_main->setEnabled(false);
        m_w.refresh_grid->setEnabled(false);
        m_w.MSFlexGrid1->hide();
    }
    ~SearchFrame()
    {
        m_w.SSTab_search->setEnabled(true);
        for (QLineEdit* box : {m_w.Text1, m_w.Text3, m_w.Text4})
            box->setReadOnly(false);
        m_w.SSTab_main->setEnabled(true);
        m_w.refresh_grid->setEnabled(true);
        QApplication::restoreOverrideCursor();
        m_w.session().search_running = false;
        // Disabling the tabs took the focus away from the box.
        if (m_focus && m_focus->isEnabled() && m_focus->isVisible())
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    SearchFrame(const SearchFrame&) = delete;
    SearchFrame& operator=(const SearchFrame&) = delete;

private:
    frmBrowser& m_w;
    ui::BusyLock m_lock;
    QPointer<QLineEdit> m_focus;
};

// Puts the found rows into the search grid, shown when it has rows.
void show_rows(QTableView* view, search::GridRows rows)
{
    if (search::put_rows(view, std::move(rows)) > 0)
        view->show();
}

search::PictureScope scope_of(const frmBrowser& w)
{
    if (w.Option1[2]->isChecked())
        return search::PictureScope::PictureOrReference;
    if (w.Option1[3]->isChecked())
        return search::PictureScope::PictureAndReference;
    return search::PictureScope::Picture;
}

// The picture and reference search. Returns false when it stopped before
// querying (the elapsed time is then not shown).
bool search_pictures(frmBrowser& w)
{
    // The same text in both boxes: the file name as a whole, the reference word by word.
    if (const auto scope = search::scope_for_same_text(w.Text1->text(), w.Text3->text(), w.Option5[0]->isChecked());
        scope && w.edition().features.extra_note_fields) {
        w.Text3->clear();
        (*scope == search::PictureScope::PictureOrReference ? w.Option1[2] : w.Option1[3])->setChecked(true);
    }
    search::PictureSearchInput in;
    in.picture_text = w.Text1->text();
    // Without references the file-name text is the whole search.
    const bool references = w.edition().features.extra_note_fields;
    in.reference_text = references ? w.Text3->text() : QString();
    in.scope = references ? scope_of(w) : search::PictureScope::Picture;
    in.parts_and = w.Option5[0]->isChecked();
    in.words_and = w.Option6[1]->isChecked();
    in.order_by_name = w.Check2->isChecked();
    in.has_reference = w.session().db_conn->column_count() > store::col_reference;
    const search::PictureCriteria criteria = search::build_picture_criteria(in);
    if (criteria.too_many) {
        ui::dialogs().message(&w, text_of(search::k_too_many_strings), text_of(search::k_error_title),
                              ui::MessageIcon::Critical, ui::MessageButtons::Ok);
        w.set_message({});
        return false;
    }
    store::Error error;
    search::GridRows rows =
        search::read_rows(*w.session().db_conn, search::picture_search_query(criteria, in.order_by_name), search::k_search_columns, error);
    if (error) {
        w.set_message(ui::error_message(error.code, error.text));
        return true;
    }
    const int count = rows.count();
    show_rows(w.MSFlexGrid1, std::move(rows));
    w.set_message(search::selected_message(count));
    ui::EventPump().pump();
    return true;
}

search::NoteFields note_fields_of(const frmBrowser& w)
{
    if (!w.edition().features.extra_note_fields)
        return search::NoteFields::Note;
    if (w.Option7[1]->isChecked())
        return search::NoteFields::AddNote;
    if (w.Option7[2]->isChecked())
        return search::NoteFields::Both;
    return search::NoteFields::Note;
}

// The note search: every record in scan order, Esc stops it.
void search_notes(frmBrowser& w)
{
    w.set_ready({});
    search::SearchGrid* grid = search::search_grid(w.MSFlexGrid1);
    grid->rows()->clear();
    search::NoteSearchRequest request;
    request.text = w.Text4->text();
    request.fields = note_fields_of(w);
    request.order_by_name = w.Check2->isChecked();

    store::Error error;
    const qint64 total = w.session().db_conn->record_count(error);
    if (error) {
        w.set_message(ui::error_message(error.code, error.text));
        w.set_ready(text_of(search::k_ready));
        return;
    }
    // An empty table still gets a bar that can show its end.
    w.status().progress()->setRange(0, int(std::clamp<qint64>(total, 1, std::numeric_limits<int>::max())));
    w.status().progress()->setValue(0);
    w.status().progress()->show();
    const search::OnExit hide_bar([&] {
        w.status().progress()->setValue(0);
        w.status().progress()->hide();
        w.set_ready(text_of(search::k_ready));
    });

    // An Esc pressed before the walk does not stop it.
    w.session().esc_abort_search = false;
    ui::EventPump pump;
    // The bar moves by about a thousandth at a time: a step per record
    // would repaint it far more often than anyone can see.
    const qint64 step = std::max<qint64>(1, total / 1000);
    const auto before_record = [&](qint64 index) {
        if ((index + 1) % step == 0)
            w.status().progress()->setValue(int(std::min<qint64>(index + 1, w.status().progress()->maximum())));
        if (index == 0)
            pump.pump();
        else
            pump.maybe_pump();
        if (!w.session().esc_abort_search)
            return true;
        w.session().esc_abort_search = false;
        return false;
    };
    search::NoteSearchResult result = search::run_note_search(*w.session().db_conn, request, before_record);
    if (result.error) {
        w.set_message(ui::error_message(result.error.code, result.error.text));
    } else {
        const int count = result.rows.count();
        show_rows(w.MSFlexGrid1, std::move(result.rows));
        w.set_message(search::selected_message(count));
    }
    pump.pump();
}

} // namespace

void frmBrowser::connect_search_handlers()
{
    connect(refresh_grid, &QPushButton::clicked, this, &frmBrowser::refresh_grid_Click);
    connect(refresh_ref, &QPushButton::clicked, this, &frmBrowser::refresh_ref_Click);
    connect(refresh_extraction, &QPushButton::clicked, this, &frmBrowser::refresh_extraction_Click);
    connect(Extract, &QPushButton::clicked, this, &frmBrowser::Extract_Click);
    connect(Text1, &QLineEdit::textChanged, this, &frmBrowser::Text1_Change);
    connect(Text3, &QLineEdit::textChanged, this, &frmBrowser::Text3_Change);
    hook_key_press(Text1, [this](int& key) { Text1_KeyPress(key); });
    hook_key_press(Text3, [this](int& key) { Text3_KeyPress(key); });
    hook_key_press(Text4, [this](int& key) { Text4_KeyPress(key); });
    // Pasted text meets the rules typed text meets.
    ui::refuse_pastes(Text1, [](QChar c) { return !k_name_refused.contains(c); },
                      [this] { set_message(text_of(search::k_file_name_refused)); });
    ui::refuse_pastes(Text3, [](QChar c) { return c != u'"'; },
                      [this] { set_message(text_of(search::k_reference_refused)); });
    ui::refuse_pastes(Text4, [](QChar c) { return c != u'"'; },
                      [this] { set_message(text_of(search::k_note_refused)); });
    for (int index : {0, 2, 3})
        connect(Option1[size_t(index)], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                Option1_Click(index);
        });
    search::search_grid(MSFlexGrid1)->on_click = [this] { MSFlexGrid1_Click(); };
    search::search_grid(MSHFlexGrid1)->on_click = [this] { MSHFlexGrid1_Click(); };
    search::search_grid(MSHFlexGrid2)->on_click = [this] { MSHFlexGrid2_Click(); };
}

void frmBrowser::refresh_grid_Click()
{
    if (m_session.search_running || !m_session.db_conn)
        return;
    SearchFrame frame(*this);
    const qint64 started = ui::tick_count();
    set_message(text_of(search::k_loading));
    set_timing(text_of(search::k_time_elapsed));
    ui::EventPump().pump();

    bool timed = true;
    if (SSTab_search->currentIndex() == 0)
        timed = search_pictures(*this);
    else
        search_notes(*this);
    if (timed)
        set_timing(search::elapsed_message(ui::tick_count() - started));
}

void frmBrowser::Text1_Change()
{
    const bool both = !Text1->text().isEmpty() && !Text3->text().isEmpty();
    Option5[0]->setEnabled(both);
    Option5[1]->setEnabled(both);
}

void frmBrowser::Text3_Change()
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

void frmBrowser::Text1_KeyPress(int& key_ascii)
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

void frmBrowser::Text3_KeyPress(int& key_ascii)
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

void frmBrowser::Text4_KeyPress(int& key_ascii)
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

void frmBrowser::Option1_Click(int)
{
    Text3->setEnabled(Option1[0]->isChecked());
}

} // namespace mosswick
