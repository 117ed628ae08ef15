// The main window: start-up, the two resting states, the status bar, Esc and exit.
#include "catalogue/frm_browser.h"

#include "catalogue/catalogue_logic.h"
#include "catalogue/database_page.h"
#include "notes/note_actions.h"
#include "pageview/page_view_part.h"
#include "pageview/page_logic.h"
#include "loader/loader_tab.h"
#include "maintenance/maintenance_tab.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"
#include "platform/ui/status_panel.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/vb.h"
#include "search/import_export_page.h"
#include "search/search_sort_tab.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace mosswick {

frmBrowser::frmBrowser(const Edition& edition, QWidget* parent) : QMainWindow(parent), m_session(edition)
{
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(m_session.edition().texts.design_caption);
    ui::set_program_title(m_session.edition().texts.program_title);
    m_session.program_folder = QCoreApplication::applicationDirPath();
    m_unused = new QWidget(this);
    m_unused->hide();

    build_menus();
    build_status_bar();
    m_database_page = new DatabasePage(m_session);
    wire_database_page();
    m_maintenance = new MaintenanceTab(m_session);

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(4, 4, 4, 0);
    SSTab_main = new QTabWidget(central);
    m_page_view = new PageView(m_session);
    wire_search();
    SSTab_main->addTab(m_page_view, QStringLiteral("Pictures && Movies"));
    SSTab_main->addTab(m_search, QStringLiteral("Search && Sort"));
    SSTab_main->addTab(build_loader_tab(), QStringLiteral("Loader"));
    v->addWidget(SSTab_main, 1);

    // Counts and the exit button share the status line's row.
    auto* info = new QWidget(central);
    auto* il = new QHBoxLayout(info);
    il->setContentsMargins(0, 0, 0, 0);
    il->addWidget(new QLabel(QStringLiteral("Records:"), info));
    Label27 = new QLabel(info);
    Label27->setMinimumWidth(60);
    il->addWidget(Label27);
    il->addWidget(new QLabel(QStringLiteral("File size (bytes):"), info));
    Text2 = new QLabel(info);
    Text2->setMinimumWidth(100);
    il->addWidget(Text2);
    Command3 = new QPushButton(QStringLiteral("Exit"), info);
    Command3->setToolTip(QStringLiteral("Exit"));
    il->addWidget(Command3);
    SSTab_main->setCornerWidget(info, Qt::TopRightCorner);
    setCentralWidget(central);

    m_session.busy().attach(this, m_status->progress());
    // Never silently: the user learns how to end the action first.
    connect(&m_session.busy(), &ui::BusyState::close_refused, this,
            [this] { set_message(QString::fromLatin1(k_msg_exit_while_busy)); });
    // Key presses reach the window before its controls (Esc and the keypad).
    qApp->installEventFilter(this);
    connect_catalogue_handlers();
    wire_page_view();
    // As large as the design, but never larger than the screen's free area.
    QSize size(1280, 800);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    wire_maintenance();
    name_controls();
}

frmBrowser::~frmBrowser()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void frmBrowser::wire_page_view()
{
    PageView* view = m_page_view;
    m_notes = new NoteActions(m_session, this);
    m_notes->cells.selected = [view] { return view->WhichSelected(); };
    m_notes->cells.numpic = [view](int cell) { return view->cell_numpic(cell); };
    m_notes->cells.picfile = [view](int cell) { return view->cell_picfile(cell); };
    m_notes->cells.boxes = [view](int cell) { return view->cell_note_boxes(cell); };
    connect(view, &PageView::note_cell_chosen, m_notes, [this](int cell) { m_notes->note_cell_index = cell; });
    connect(view, &PageView::edit_note_requested, m_notes, &NoteActions::mnuEditNote);
    connect(view, &PageView::show_note_requested, m_notes, &NoteActions::mnuShowNote);
    connect(view, &PageView::note_double_clicked, m_notes, &NoteActions::lbl_Note_DblClick);
    connect(view, &PageView::addnote_double_clicked, m_notes, &NoteActions::Text18_DblClick);

    view->is_keypad_host = [this](const QObject* watched) {
        return watched == SSTab_main || watched == SSTab_main->tabBar();
    };
    connect(view, &PageView::focus_home_requested, this, [this] { SSTab_main->setFocus(); });
    for (int code = 1; code <= 6; ++code) {
        connect(mnuTQ[size_t(code)], &QAction::triggered, view, [view, code] { view->mnuTQ_Click(code); });
        connect(mnuZQ[size_t(code)], &QAction::triggered, view, [view, code] { view->mnuZQ_Click(code); });
    }
    connect(view, &PageView::thumb_quality_chosen, this, [this](int code) {
        for (int c = 1; c <= 6; ++c)
            mnuTQ[size_t(c)]->setChecked(c == code);
    });
    connect(view, &PageView::zoom_quality_chosen, this, [this](int code) {
        for (int c = 1; c <= 6; ++c)
            mnuZQ[size_t(c)]->setChecked(c == code);
    });
}

void frmBrowser::wire_search()
{
    m_search = new SearchSortTab(m_session);
    // "Display Page": the picture's page with its cell selected, in front.
    connect(m_search, &SearchSortTab::show_page_requested, this, [this](qint64 page, qint64 numpic) {
        m_page_view->show_page_of_picture(page, numpic);
        SSTab_main->setCurrentIndex(0);
    });
    connect(m_search, &SearchSortTab::grid_page_requested, this, &frmBrowser::show_page_of_found_picture);
    connect(m_search, &SearchSortTab::searching, this, [this](bool running) { SSTab_main->setEnabled(!running); });
    if (m_session.edition().features.stored_pictures) {
        m_import_export = new ImportExportPage(m_session);
        connect(m_import_export, &ImportExportPage::listing, this,
                [this](bool running) { m_loader->set_inner_tabs_enabled(!running); });
    }
}

void frmBrowser::wire_database_page()
{
    m_database_page->listed_folder = [this] { return m_loader->listed_folder(); };
    connect(m_database_page, &DatabasePage::release_connection, this, &frmBrowser::close_catalogue_connection);
    connect(m_database_page, &DatabasePage::catalogue_closed, this, &frmBrowser::show_closed_state);
    connect(m_database_page, &DatabasePage::closed_for_compaction, this, [this] {
        show_closed_state();
        SSTab_main->setTabEnabled(1, false);
        SSTab_main->setTabEnabled(2, true);
    });
}

void frmBrowser::connect_catalogue_handlers()
{
    connect(SSTab_main, &QTabWidget::currentChanged, this, [this](int) { SSTab_main_Click(0); });
    connect(mnuDb, &QAction::triggered, this, &frmBrowser::mnuDb_Click);
    connect(mnuRefresh, &QAction::triggered, this, &frmBrowser::mnuRefresh_Click);
    // mnuDbRnm is checkable: choosing it toggles it already, so mnuDbRnm_Click
    // (a toggle of its own) must not run on top of that and undo it.
    connect(mnuFileExit, &QAction::triggered, this, &frmBrowser::mnuFileExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmBrowser::mnuAbout_Click);
    connect(Command3, &QPushButton::clicked, this, &frmBrowser::Command3_Click);
}

void frmBrowser::wire_maintenance()
{
    MaintenanceTab* m = m_maintenance;
    m->loader_lists = [this] {
        LoaderLists lists;
        lists.picture_folder = m_loader->listed_folder();
        lists.pictures = m_loader->listed_pictures();
        lists.files_folder = m_loader->files_folder();
        lists.all_files = m_loader->listed_files();
        lists.notes_in = m_loader->update_notes_in();
        lists.target = m_loader->update_note_target();
        return lists;
    };
    m->search_refresh_enabled = [this] { return m_search->refresh_enabled(); };
    m->page_warning = [this] { return m_page_view->page_warning(); };
    connect(m, &MaintenanceTab::reopen_requested, this, &frmBrowser::open_database);
    connect(m, &MaintenanceTab::main_tabs_enable_requested, SSTab_main, &QWidget::setEnabled);
    connect(m, &MaintenanceTab::update_button_enable_requested, m_loader, &LoaderTab::set_update_enabled);
    connect(m, &MaintenanceTab::search_refresh_enable_requested, m_search, &SearchSortTab::set_refresh_enabled);
    // Edits change the count: the counters follow (the page view's slider on its own).
    connect(&m_session, &CatalogueSession::counts_changed, this, &frmBrowser::show_counts);
}

// ---- the loader tab ---------------------------------------------------------

QWidget* frmBrowser::build_loader_tab()
{
    m_loader = new LoaderTab(m_session, m_database_page, m_import_export, m_maintenance);
    wire_loader();
    return m_loader;
}

void frmBrowser::wire_loader()
{
    connect(m_loader, &LoaderTab::update_requested, m_maintenance, &MaintenanceTab::update_pictures_Click);
    // A pending single load holds the edits by number: they would renumber under it.
    connect(m_loader, &LoaderTab::pick_lock_changed, m_maintenance, &MaintenanceTab::lock_edits);
    // The boxes of other parts hold pasted text to their key filters.
    m_loader->box_filter = [this](const QWidget* box) -> LoaderTab::BoxFilter {
        using loader::KeyFilter;
        const QString number = QStringLiteral("Characters supported 0 1 2 3 4 5 6 7 8 9");
        const QString name = QStringLiteral("Characters not supported \\ / * ? < > | \"");
        // The search tab's boxes, by the names the window gives them.
        const QString search_box = box->objectName();
        if (search_box == QLatin1String("Text3"))
            return {KeyFilter::NoDoubleQuote, QStringLiteral("Character not supported \"")};
        if (search_box == QLatin1String("Text4"))
            return {KeyFilter::NoDoubleQuote, QStringLiteral("Characters not supported \"")};
        if (search_box == QLatin1String("Text1"))
            return {KeyFilter::FileName, name};
        if (m_page_view->is_page_box(box))
            return {KeyFilter::Digits, number};
        switch (m_maintenance->box_rule(box)) {
        case MaintenanceTab::BoxRule::FileName: return {KeyFilter::FileName, name};
        case MaintenanceTab::BoxRule::Digits: return {KeyFilter::Digits, number};
        case MaintenanceTab::BoxRule::DigitsOrStar: return {KeyFilter::DigitsOrStar, number};
        case MaintenanceTab::BoxRule::None: break;
        }
        return {};
    };
    connect(m_loader, &LoaderTab::returned_to_idle, this, [this] {
        m_maintenance->offer_grid();
        // The one-note window: the catalogue that now has a picture can be verified.
        if (!m_session.edition().features.extra_note_fields && m_session.db_open && m_session.picture_count > 0)
            m_maintenance->offer_verify();
    });
}

// ---- status bar -----------------------------------------------------------

void frmBrowser::set_message(const QString& text, const QString& detail)
{
    m_status->set_message(text, detail);
}

void frmBrowser::set_ready(const QString& text)
{
    m_status->set_ready(text);
}

void frmBrowser::set_timing(const QString& text)
{
    m_status->set_timing(text);
}

QString frmBrowser::message_text() const
{
    return m_status->message_text();
}

QString frmBrowser::message_tip() const
{
    return m_status->message_tip();
}

QString frmBrowser::ready_text() const
{
    return m_status->ready_text();
}

QString frmBrowser::tab_text() const
{
    return m_status->tab_text();
}

QString frmBrowser::timing_text() const
{
    return m_status->timing_text();
}

void frmBrowser::set_browser_enabled(bool flag)
{
    if (flag)
        m_session.busy().release();
    else
        m_session.busy().acquire();
}

// ---- start-up ---------------------------------------------------------------

void frmBrowser::Form_Load(const QString& argument)
{
    m_session.esc_abort_search = false;
    m_session.esc_abort_update = false;
    move(0, 0);
    m_session.db_open = false;
    reset_form();
    m_search->show_first_tabs();
    m_loader->show_first_tabs();
    SSTab_main->setCurrentIndex(0);
    SSTab_main->setTabEnabled(1, false);
    SSTab_main->setTabEnabled(2, true);
    m_maintenance->show_first_tabs();
    m_status->set_tab(QStringLiteral("Pictures & Movies"));

    // Design size of the zoom window and its slider, in twips.
    zoom_default_width = k_zoom_client_width;
    zoom_default_height = k_zoom_client_height;
    zoom_default_slider_width = k_zoom_slider_width;
    zoom_default_slider_top = k_zoom_slider_top;

    m_session.thumb_quality = 6;
    m_session.zoom_quality = 5;
    m_loader->loader_Form_Load();

    if (argument.isEmpty())
        return;
    cmdline_path = command_line_path(argument, QDir::currentPath());
    cmdline_file = file_name_of(cmdline_path);
    if (!cmdline_file.isEmpty() && QFileInfo(cmdline_path).isFile()) {
        mnuDb_Click();
    } else {
        cmdline_path.clear();
        cmdline_file.clear();
    }
}

void frmBrowser::Form_Activate()
{
    if (SSTab_main->isEnabled())
        SSTab_main->setFocus();
}

void frmBrowser::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    QMainWindow::changeEvent(event);
}

void frmBrowser::Form_KeyPress(int key_ascii)
{
    if (key_ascii == 27) {
        // Esc belongs to a running action first; otherwise it stops the check.
        if (!m_session.busy().busy() && !m_session.search_running)
            stop_integrity_check();
        m_session.esc_abort_search = true;
        // Without it the update pass stops by a click on the progress bar.
        if (m_session.edition().features.esc_stops_update)
            m_session.esc_abort_update = true;
    }
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape)
            Form_KeyPress(27);
    }
    if (watched == m_status->progress() && event->type() == QEvent::MouseButtonPress)
        m_page_view->ProgressBar1_Click();
    if (watched->isWidgetType() && m_page_view->page_view_event(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void frmBrowser::SSTab_main_Click(int)
{
    switch (SSTab_main->currentIndex()) {
    case 0: m_status->set_tab(QStringLiteral("Pictures & Movies")); break;
    case 1: m_status->set_tab(QStringLiteral("Search & Sort")); break;
    case 2: m_status->set_tab(QStringLiteral("Loader")); break;
    default: break;
    }
}

// ---- resting states -----------------------------------------------------------

void frmBrowser::reset_form()
{
    clear_page_view();
    m_page_view->reset();
    m_database_page->reset();
    m_maintenance->reset();
    m_loader->reset();
    m_search->reset();
}

void frmBrowser::clear_page_view()
{
    m_page_view->clear();
    m_search->clear();
    if (m_import_export)
        m_import_export->clear();
}

// ---- exit -----------------------------------------------------------------

void frmBrowser::mnuFileExit_Click()
{
    close();
}

void frmBrowser::Command3_Click()
{
    mnuFileExit_Click();
}

void frmBrowser::closeEvent(QCloseEvent* event)
{
    if (m_session.busy().busy()) {
        set_message(QString::fromLatin1(k_msg_exit_while_busy));
        event->ignore();
        return;
    }
    // Close the catalogue cleanly, then every other window of the program.
    close_catalogue_connection();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    event->accept();
}

} // namespace mosswick
