// The main window's frame: the parts composed and wired, start-up, Esc,
// the menus' actions and exit.
#include "frame/frm_browser.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/database_page.h"
#include "core/catalogue_logic.h"
#include "loader/loader_tab.h"
#include "maintenance/maintenance_tab.h"
#include "notes/note_actions.h"
#include "pageview/page_view_part.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"
#include "search/import_export_page.h"
#include "search/search_sort_tab.h"

#include <QAction>
#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QGridLayout>

namespace mosswick {

namespace {

const QString k_open_db = QStringLiteral("Open DB");
const QString k_close_db = QStringLiteral("Close DB");

} // namespace

frmBrowser::frmBrowser(const Edition& edition, QWidget* parent) : QMainWindow(parent), m_session(edition)
{
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowTitle(m_session.edition().texts.design_caption);
    ui::set_program_title(m_session.edition().texts.program_title);
    m_session.set_program_folder(QCoreApplication::applicationDirPath());

    build_menus();
    m_status = new StatusLine(statusBar());
    m_session.set_status(m_status);
    // The loader first: the pages it hosts ask it what it lists, and the
    // catalogue's life opens in the folder it shows.
    m_loader = new LoaderTab(m_session, *this);
    m_file = new CatalogueFile(m_session, {this, [this] { return mnuDbRnm->isChecked(); }}, *m_loader, this);
    m_database_page = new DatabasePage(m_session, *m_loader, *m_file);
    wire_database_page();
    m_maintenance = new MaintenanceTab(m_session, *m_loader, *m_file);

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(4, 4, 4, 0);
    SSTab_main = new QTabWidget(central);
    // The keypad is typed into the tab control.
    m_page_view = new PageView(m_session, SSTab_main);
    m_notes = new NoteActions(m_session, *m_page_view, this);
    wire_search();
    m_loader->host_pages(m_database_page, m_import_export, m_maintenance);
    wire_loader();
    SSTab_main->addTab(m_page_view, QStringLiteral("Pictures && Movies"));
    SSTab_main->addTab(m_search, QStringLiteral("Search && Sort"));
    SSTab_main->addTab(m_loader, QStringLiteral("Loader"));
    grid->addWidget(SSTab_main, 0, 0);
    build_counters(grid);
    setCentralWidget(central);

    wire_catalogue_file();
    m_session.busy().attach(this, m_status->progress());
    // The exit button and File > Exit still answer while busy, as the close
    // box does: never silently, the user learns how the action ends.
    m_session.busy().add_exit_control(Command3);
    m_session.busy().add_exit_control(menuBar(), [this](const QPoint& at) {
        return menuBar()->actionGeometry(mnuFile->menuAction()).contains(at);
    });
    connect(&m_session.busy(), &ui::BusyState::close_refused, this, &frmBrowser::refuse_exit);
    // The reason stays up while the action runs; then the action's own word.
    connect(&m_session.busy(), &ui::BusyState::busy_changed, this, [this](bool busy) {
        if (!busy)
            m_status->end_notice();
    });
    connect_frame_handlers();
    wire_page_view();
    // As large as the design, but never larger than the screen's free area.
    QSize size(1280, 800);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    wire_maintenance();
    name_controls();
    // Key presses reach the frame before the window's controls and the
    // parts' own filters (Esc), in every widget the window holds now or later.
    watch_keys(this);
}

frmBrowser::~frmBrowser() = default;

void frmBrowser::wire_catalogue_file()
{
    std::vector<WindowPart*> parts{m_page_view, m_database_page, m_maintenance, m_loader, m_search};
    if (m_import_export)
        parts.push_back(m_import_export);
    m_file->set_parts(std::move(parts));
    connect(m_file, &CatalogueFile::view_changed, this, &frmBrowser::show_catalogue);
    connect(m_file, &CatalogueFile::renumber_requested, m_maintenance, &MaintenanceTab::RenumberPages);
    connect(m_file, &CatalogueFile::reading_counts, this, [this] {
        m_page_view->begin_open();
        m_search->allow_searches();
    });
    connect(m_file, &CatalogueFile::first_page_requested, m_page_view, &PageView::show_first_page);
    connect(m_file, &CatalogueFile::no_pages, m_page_view, &PageView::no_pages);
}

void frmBrowser::show_catalogue(const CatalogueView& view)
{
    const Edition::Texts& texts = m_session.edition().texts;
    switch (view.state) {
    case CatalogueState::None:
        if (view.left != CatalogueView::Left::Untouched)
            mnuDb->setText(k_open_db);
        if (view.left == CatalogueView::Left::Closed)
            show_closed_tabs();
        if (view.title == CatalogueView::Title::Closed)
            setWindowTitle(texts.closed_caption);
        else if (view.title == CatalogueView::Title::AtStart)
            setWindowTitle(texts.design_caption);
        break;
    case CatalogueState::Opening:
        setWindowTitle(m_session.db_path().isEmpty() ? texts.opening_caption : m_session.db_path());
        if (m_session.db_open())
            mnuDb->setText(k_close_db);
        break;
    case CatalogueState::OpenReadOnly:
    case CatalogueState::OpenWritable:
    case CatalogueState::Checking: {
        const bool writable = view.state == CatalogueState::OpenWritable;
        SSTab_main->setTabEnabled(2, writable);
        SSTab_main->setTabEnabled(1, true);
        // An empty catalogue is filled on the Loader tab.
        if (writable && m_session.picture_count() == 0)
            SSTab_main->setCurrentIndex(2);
        break;
    }
    }
}

void frmBrowser::show_closed_tabs()
{
    // Nothing to search; the loader stays usable to make a catalogue.
    SSTab_main->setTabEnabled(1, false);
    SSTab_main->setTabEnabled(2, true);
}

void frmBrowser::wire_page_view()
{
    PageView* view = m_page_view;
    connect(view, &PageView::note_requested, m_notes, &NoteActions::open_note);
    connect(m_notes, &NoteActions::note_saved, view, &PageView::show_saved_note);
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
    // The light window's grid click: where the page is shown already only the
    // cell is selected and the search tab stays in front.
    connect(m_search, &SearchSortTab::grid_page_requested, this, [this](qint64 page, qint64 numpic) {
        if (!m_page_view->show_page_of_picture(page, numpic))
            return;
        // A page that could not be shown must not select a cell on a later one.
        m_page_view->forget_reselect();
        SSTab_main->setCurrentIndex(0);
    });
    connect(m_search, &SearchSortTab::searching, this, [this](bool running) { SSTab_main->setEnabled(!running); });
    if (m_session.edition().features.stored_pictures) {
        m_import_export = new ImportExportPage(m_session);
        connect(m_import_export, &ImportExportPage::listing, this,
                [this](bool running) { m_loader->set_inner_tabs_enabled(!running); });
    }
}

void frmBrowser::wire_database_page()
{
    connect(m_database_page, &DatabasePage::catalogue_closed, m_file, &CatalogueFile::closed_by_password_change);
}

void frmBrowser::connect_frame_handlers()
{
    // The counters follow every change of the count, and go with the catalogue.
    connect(&m_session, &CatalogueSession::counts_changed, this, &frmBrowser::show_counts);
    connect(&m_session, &CatalogueSession::closed, this, [this] {
        Text2->clear();
        Label27->clear();
    });
    connect(SSTab_main, &QTabWidget::currentChanged, this, [this](int tab) {
        SSTab_main_Click(0);
        // Back on the page the keypad works at once, however the page came
        // back: a click on a tab gives the tab control no focus, and the
        // focus of a tab left behind would otherwise land on a control of
        // the page (the page box takes the digits).
        if (tab == 0 && SSTab_main->isEnabled())
            SSTab_main->setFocus(Qt::TabFocusReason);
    });
    connect(mnuDb, &QAction::triggered, this, &frmBrowser::mnuDb_Click);
    connect(mnuRefresh, &QAction::triggered, this, &frmBrowser::mnuRefresh_Click);
    // mnuDbRnm has no handler: it is checkable, and the next opening reads it.
    connect(mnuFileExit, &QAction::triggered, this, &frmBrowser::mnuFileExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmBrowser::mnuAbout_Click);
    connect(Command3, &QPushButton::clicked, this, &frmBrowser::Command3_Click);
}

void frmBrowser::wire_maintenance()
{
    MaintenanceTab* m = m_maintenance;
    connect(m, &MaintenanceTab::main_tabs_enable_requested, SSTab_main, &QWidget::setEnabled);
    connect(m, &MaintenanceTab::update_button_enable_requested, m_loader, &LoaderTab::set_update_enabled);
    connect(m, &MaintenanceTab::exchange_running, m_search, &SearchSortTab::hold_refresh);
}

// ---- the loader tab ---------------------------------------------------------

void frmBrowser::wire_loader()
{
    connect(m_loader, &LoaderTab::update_requested, m_maintenance, &MaintenanceTab::update_pictures_Click);
    // A pending single load holds the edits by number: they would renumber under it.
    connect(m_loader, &LoaderTab::pick_lock_changed, m_maintenance, &MaintenanceTab::lock_edits);
    connect(m_loader, &LoaderTab::returned_to_idle, this, [this] {
        m_maintenance->offer_grid();
        // The one-note window: the catalogue that now has a picture can be verified.
        if (!m_session.edition().features.extra_note_fields && m_session.db_open() && m_session.picture_count() > 0)
            m_maintenance->offer_verify();
    });
}

// ---- status bar -----------------------------------------------------------

// ---- start-up ---------------------------------------------------------------

void frmBrowser::Form_Load(const QString& argument)
{
    m_session.busy().clear_stop_request(ui::StopRequest::Esc);
    m_session.busy().clear_stop_request(ui::StopRequest::UpdateEsc);
    move(0, 0);
    m_file->reset_form();
    m_search->show_first_tabs();
    m_loader->show_first_tabs();
    SSTab_main->setCurrentIndex(0);
    show_closed_tabs();
    m_maintenance->show_first_tabs();
    m_status->set_tab(QStringLiteral("Pictures & Movies"));

    m_session.set_thumb_quality(6);
    m_session.set_zoom_quality(5);
    m_loader->loader_Form_Load();

    if (!argument.isEmpty())
        m_file->open_from_command_line(argument);
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
        if (!m_session.busy().busy() && !m_session.busy().search_running())
            m_file->stop_integrity_check();
        m_session.busy().request_stop(ui::StopRequest::Esc);
        // Without it the update pass stops by a click on the progress bar.
        if (m_session.edition().features.esc_stops_update)
            m_session.busy().request_stop(ui::StopRequest::UpdateEsc);
    }
}

void frmBrowser::watch_keys(QWidget* w)
{
    w->installEventFilter(this);
    for (QObject* child : w->children())
        if (child->isWidgetType())
            watch_keys(static_cast<QWidget*>(child));
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // A widget put into a watched one is watched too, with all it holds.
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            watch_keys(static_cast<QWidget*>(child));
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape)
            Form_KeyPress(27);
    }
    // A click on the progress bar asks the running action to stop.
    if (watched == m_status->progress() && event->type() == QEvent::MouseButtonPress)
        m_session.busy().request_stop(ui::StopRequest::ProgressBar);
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

// ---- menus ----------------------------------------------------------------

void frmBrowser::mnuDb_Click()
{
    const bool closing = m_session.db_open();
    if (!m_file->mnuDb_Click())
        return;
    if (closing)
        SSTab_main->setCurrentIndex(0);
    if (SSTab_main->isEnabled() && !m_file->opened_from_command_line())
        SSTab_main->setFocus();
}

void frmBrowser::mnuRefresh_Click()
{
    m_file->mnuRefresh_Click();
}

bool frmBrowser::integrity_check_running() const
{
    return m_file->integrity_check_running();
}

void frmBrowser::show_counts()
{
    Text2->setText(QString::number(QFileInfo(m_session.db_path()).size()));
    Label27->setText(QString::number(m_session.picture_count()));
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

WindowPart::PasteRule frmBrowser::paste_rule_of(const QWidget* box) const
{
    for (const WindowPart* part : std::initializer_list<const WindowPart*>{m_search, m_page_view, m_maintenance})
        if (const WindowPart::PasteRule rule = part->paste_rule(box); rule.filter != ui::KeyFilter::None)
            return rule;
    return {};
}

void frmBrowser::refuse_exit()
{
    const ui::StopWays ways = m_session.busy().stop_ways();
    m_status->hold_notice(exit_refusal_text(ways.esc, ways.progress_bar));
}

void frmBrowser::closeEvent(QCloseEvent* event)
{
    if (m_session.busy().busy()) {
        refuse_exit();
        event->ignore();
        return;
    }
    // Close the catalogue cleanly, then every other window of the program.
    m_file->release_connection();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    event->accept();
}

} // namespace mosswick
