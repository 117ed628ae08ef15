// Construction of the management tabs: edits by number, the grid and the
// verify pass; what the window's states do to them.
#include "maintenance/maintenance_tab.h"

#include "core/status_line.h"
#include "maintenance/grid_model.h"
#include "maintenance/input_rules.h"
#include "platform/ui/event_hook.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/grid_headings.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace mosswick {

MaintenanceTab::MaintenanceTab(CatalogueSession& session, const LoaderListing& listing, CatalogueAccess& access,
                               QWidget* parent)
    : WindowPart(session, parent), m_listing(listing), m_access(access)
{
    setObjectName(QStringLiteral("MaintenanceTab"));
    SSTab_mgm_pic = new QTabWidget(this);
    SSTab_mgm_pic->addTab(build_by_number(), QStringLiteral("Insert"));
    SSTab_mgm_pic->addTab(build_grid_page(), QStringLiteral("Grid"));
    SSTab_mgm_pic->addTab(build_verify_page(), QStringLiteral("Verify"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SSTab_mgm_pic);

    ui::name_control(SSTab_mgm_pic, "SSTab_mgm_pic");
    ui::name_control(Txt_delpag, "Txt_delpag");
    ui::name_control(delete_page, "delete_page");
    ui::name_control(Text15, "Text15");
    ui::name_control(delete_picture, "delete_picture");
    ui::name_control(Text9, "Text9");
    ui::name_control(Text11, "Text11");
    ui::name_control(exchange_picture, "exchange_picture");
    ui::name_control(Text22, "Text22");
    ui::name_control(Text20, "Text20");
    ui::name_control(insert_picture, "insert_picture");
    ui::name_control(renumber_pages, "renumber_pages");
    ui::name_control(mgm_pic, "mgm_pic");
    ui::name_control(Opt_exchange, "Opt_exchange");
    ui::name_control(Opt_insert, "Opt_insert");
    ui::name_control(Opt_delete_picture, "Opt_delete_picture");
    ui::name_control(Opt_delete_page, "Opt_delete_page");
    ui::name_control(load_list, "load_list");
    ui::name_control(Text8, "Text8");
    ui::name_control(Text28, "Text28");
    ui::name_control(Command2, "Command2");
    ui::name_control(verify_loaded_pictures, "verify_loaded_pictures");
    ui::name_control(List1, "List1");
    ui::name_control(List2, "List2");
    ui::name_control(List3, "List3");
    ui::name_control(lbl_v1, "lbl_v1");
    ui::name_control(lbl_v2, "lbl_v2");
    ui::name_control(lbl_v3, "lbl_v3");
    connect_handlers();
}

QWidget* MaintenanceTab::build_by_number()
{
    auto* by_number = new QWidget;
    auto* g = new QGridLayout(by_number);
    const int len = m_session.edition().limits.number_box_length;
    Txt_delpag = ui::make_number_box(len, by_number);
    Txt_delpag->setToolTip(QStringLiteral("*, delete all pages"));
    delete_page = ui::make_button(QStringLiteral("Delete page"), {}, by_number);
    Text15 = ui::make_number_box(len, by_number);
    delete_picture = ui::make_button(QStringLiteral("Delete picture"), {}, by_number);
    Text9 = ui::make_number_box(len, by_number);
    Text11 = ui::make_number_box(len, by_number);
    exchange_picture = ui::make_button(QStringLiteral("Exchange pictures"), {}, by_number);
    Text22 = ui::make_number_box(len, by_number);
    Text20 = ui::make_number_box(len, by_number);
    insert_picture = ui::make_button(QStringLiteral("Insert picture"), {}, by_number);
    renumber_pages = ui::make_button(QStringLiteral("Renumber pages"), {}, by_number);
    int r = 0;
    g->addWidget(new QLabel(QStringLiteral("Delete page:"), by_number), r, 0);
    g->addWidget(Txt_delpag, r, 1);
    g->addWidget(new QLabel(QStringLiteral("*, delete all pages"), by_number), r, 2);
    g->addWidget(delete_page, r++, 4);
    g->addWidget(new QLabel(QStringLiteral("Delete Pic #:"), by_number), r, 0);
    g->addWidget(Text15, r, 1);
    g->addWidget(delete_picture, r++, 4);
    g->addWidget(new QLabel(QStringLiteral("Exchange Pic #:"), by_number), r, 0);
    g->addWidget(Text9, r, 1);
    g->addWidget(new QLabel(QStringLiteral("with Pic #:"), by_number), r, 2);
    g->addWidget(Text11, r, 3);
    g->addWidget(exchange_picture, r++, 4);
    g->addWidget(new QLabel(QStringLiteral("Insert Pic #:"), by_number), r, 0);
    g->addWidget(Text22, r, 1);
    g->addWidget(new QLabel(QStringLiteral("in Pic #:"), by_number), r, 2);
    g->addWidget(Text20, r, 3);
    g->addWidget(insert_picture, r++, 4);
    g->addWidget(renumber_pages, r++, 4);
    g->setRowStretch(r, 1);
    return by_number;
}

QWidget* MaintenanceTab::build_grid_page()
{
    auto* grid_page = new QWidget;
    auto* gv = new QVBoxLayout(grid_page);
    auto* opts = new QGroupBox(QStringLiteral("Pictures && movies management"), grid_page);
    auto* ol = new QHBoxLayout(opts);
    Opt_exchange = new QRadioButton(QStringLiteral("Exchange pictures"), opts);
    Opt_insert = new QRadioButton(QStringLiteral("Insert picture"), opts);
    Opt_insert->setToolTip(QStringLiteral("Insert a picture"));
    Opt_delete_picture = new QRadioButton(QStringLiteral("Delete picture"), opts);
    Opt_delete_picture->setToolTip(QStringLiteral("Delete the picture"));
    Opt_delete_page = new QRadioButton(QStringLiteral("Delete page"), opts);
    Opt_delete_page->setToolTip(QStringLiteral("Delete the page where is the picture"));
    for (QRadioButton* o : {Opt_exchange, Opt_insert, Opt_delete_picture, Opt_delete_page})
        ol->addWidget(o);
    gv->addWidget(opts);
    auto* row = new QHBoxLayout;
    load_list = ui::make_button(QStringLiteral("Load List"), QStringLiteral("Click to load the grid"), grid_page);
    Text8 = new QLineEdit(grid_page);
    Text8->setMaxLength(251);
    Text28 = new QLineEdit(grid_page);
    Text28->setMaxLength(3);
    Text28->setMaximumWidth(60);
    Command2 = ui::make_button(QStringLiteral("Rename"), {}, grid_page);
    Command2->setEnabled(false);
    row->addWidget(load_list);
    row->addWidget(Text8, 1);
    row->addWidget(new QLabel(QStringLiteral("."), grid_page));
    row->addWidget(Text28);
    row->addWidget(Command2);
    gv->addLayout(row);
    mgm_pic = ui::make_grid({}, grid_page);
    // Rows read in one query behind a model: any number of rows shows at once.
    mgm_pic->setModel(new maintenance::ManagementGridModel(mgm_pic));
    mgm_pic->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mgm_pic->horizontalHeader()->show();
    mgm_pic->verticalHeader()->setDefaultSectionSize(mgm_pic->fontMetrics().height() + 6);
    // Headings read whole ("numpage"), and the options and "Load List" stay
    // where they are before the first fill.
    ui::fit_columns_to_header(mgm_pic);
    ui::keep_place_when_hidden(mgm_pic);
    gv->addWidget(mgm_pic, 1);
    return grid_page;
}

QWidget* MaintenanceTab::build_verify_page()
{
    auto* verify = new QWidget;
    auto* vv = new QVBoxLayout(verify);
    verify_loaded_pictures = ui::make_button(QStringLiteral("Verify loaded pictures"), {}, verify);
    vv->addWidget(verify_loaded_pictures, 0, Qt::AlignHCenter);
    const char* captions[] = {"Files not loaded but present in the data directory",
                              "Files loaded but not present in the data directory",
                              "Files loaded more than once (picture & movie)"};
    QListWidget** lists[] = {&List1, &List2, &List3};
    QLabel** labels[] = {&lbl_v1, &lbl_v2, &lbl_v3};
    for (int k = 0; k < 3; ++k) {
        auto* l = ui::make_colored_label({}, 0xFFC0C0, verify);
        *labels[k] = l;
        l->setText(QString::fromLatin1(captions[k]));
        vv->addWidget(l);
        *lists[k] = new QListWidget(verify);
        vv->addWidget(*lists[k], 1);
    }
    return verify;
}

namespace {

// Runs a key filter on every character typed into a box; a filter that
// sets the key to 0 swallows it. Editing shortcuts pass untouched.
void install_key_filter(QLineEdit* box, std::function<void(int&)> filter)
{
    EventHook::install(box, [filter = std::move(filter)](QEvent* e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        const std::optional<int> typed = ui::typed_code(*static_cast<QKeyEvent*>(e));
        if (!typed)
            return false;
        int key = *typed;
        filter(key);
        return key == 0;
    });
}

// Calls a handler when a button loses the focus to another control of the
// window (not when the window itself loses it).
void on_lost_focus(MaintenanceTab* w, QPushButton* button, void (MaintenanceTab::*handler)())
{
    EventHook::install(button, [w, handler](QEvent* e) {
        if (e->type() != QEvent::FocusOut)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        // After the focus change has finished.
        QMetaObject::invokeMethod(w, [w, handler] { (w->*handler)(); }, Qt::QueuedConnection);
        return false;
    });
}

} // namespace

void MaintenanceTab::connect_handlers()
{
    connect(renumber_pages, &QPushButton::clicked, this, &MaintenanceTab::renumber_pages_Click);
    connect(delete_page, &QPushButton::clicked, this, &MaintenanceTab::delete_page_Click);
    connect(delete_picture, &QPushButton::clicked, this, &MaintenanceTab::delete_picture_Click);
    connect(exchange_picture, &QPushButton::clicked, this, &MaintenanceTab::exchange_picture_Click);
    connect(insert_picture, &QPushButton::clicked, this, &MaintenanceTab::insert_picture_Click);
    connect(load_list, &QPushButton::clicked, this, &MaintenanceTab::load_list_Click);
    connect(Command2, &QPushButton::clicked, this, &MaintenanceTab::Command2_Click);
    connect(verify_loaded_pictures, &QPushButton::clicked, this, &MaintenanceTab::verify_loaded_pictures_Click);

    const std::pair<QLineEdit*, void (MaintenanceTab::*)(int&)> number_boxes[] = {
        {Txt_delpag, &MaintenanceTab::Txt_delpag_KeyPress}, {Text15, &MaintenanceTab::Text15_KeyPress},
        {Text9, &MaintenanceTab::Text9_KeyPress},           {Text11, &MaintenanceTab::Text11_KeyPress},
        {Text22, &MaintenanceTab::Text22_KeyPress},         {Text20, &MaintenanceTab::Text20_KeyPress},
    };
    for (const auto& [box, filter] : number_boxes) {
        install_key_filter(box, [this, filter = filter](int& key) { (this->*filter)(key); });
        refuse_pastes_by_rule(box);
    }
    install_key_filter(Text8, [this](int& key) { Text8_KeyPress(key); });
    install_key_filter(Text28, [this](int& key) { Text28_KeyPress(key); });
    for (QLineEdit* box : {Text8, Text28})
        refuse_pastes_by_rule(box);

    on_lost_focus(this, delete_page, &MaintenanceTab::delete_page_LostFocus);
    on_lost_focus(this, delete_picture, &MaintenanceTab::delete_picture_LostFocus);
    on_lost_focus(this, exchange_picture, &MaintenanceTab::exchange_picture_LostFocus);
    on_lost_focus(this, insert_picture, &MaintenanceTab::insert_picture_LostFocus);

    // A click on the grid acts once the view has taken the click's selection.
    // Only a click on a row is a click on the grid: empty space below the
    // rows must not act on whatever row was current before.
    EventHook::install(mgm_pic->viewport(), [this](QEvent* e) {
        if (e->type() != QEvent::MouseButtonRelease)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(e);
        if (mouse->button() != Qt::LeftButton || !mgm_pic->indexAt(mouse->position().toPoint()).isValid())
            return false;
        QMetaObject::invokeMethod(this, [this] { mgm_pic_Click(); }, Qt::QueuedConnection);
        return false;
    });
    // Choosing another action starts a two-click action afresh.
    for (QRadioButton* o : {Opt_exchange, Opt_insert, Opt_delete_picture, Opt_delete_page})
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                m_grid_pick_pending = false;
        });
}

// ---- the window's states ------------------------------------------------------

QList<QWidget*> MaintenanceTab::edit_controls() const
{
    return {renumber_pages, exchange_picture, insert_picture, delete_page, delete_picture, Text9,
            Text11,         Txt_delpag,       Text20,         Text22,      Text15};
}

void MaintenanceTab::reset()
{
    for (QWidget* w : edit_controls())
        w->setEnabled(false);
    mgm_pic->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{load_list, Opt_exchange, Opt_delete_page, Opt_delete_picture,
                                                      Opt_insert, verify_loaded_pictures})
        w->setEnabled(false);
    SSTab_mgm_pic->setTabEnabled(1, false);
    SSTab_mgm_pic->setTabEnabled(2, false);
}

void MaintenanceTab::enable_for_catalogue()
{
    if (m_session.picture_count() <= 0)
        return;
    load_list->setEnabled(true);
    verify_loaded_pictures->setEnabled(true);
    // On a read-only catalogue nothing that writes is offered.
    const bool writable = !m_session.db_read_only();
    for (QWidget* w : edit_controls())
        w->setEnabled(writable);
    for (QWidget* w : std::initializer_list<QWidget*>{Opt_exchange, Opt_insert, Opt_delete_page, Opt_delete_picture})
        w->setEnabled(writable);
    SSTab_mgm_pic->setTabEnabled(1, true);
    SSTab_mgm_pic->setTabEnabled(2, true);
}

void MaintenanceTab::show_first_tabs()
{
    SSTab_mgm_pic->setCurrentIndex(0);
}

void MaintenanceTab::opening()
{
    SSTab_mgm_pic->setCurrentIndex(0);
}

void MaintenanceTab::lock_edits(bool locked)
{
    for (QWidget* w : edit_controls())
        w->setEnabled(!locked);
}

void MaintenanceTab::offer_grid()
{
    load_list->setEnabled(true);
}

void MaintenanceTab::offer_verify()
{
    verify_loaded_pictures->setEnabled(true);
}

WindowPart::PasteRule MaintenanceTab::paste_rule(const QWidget* box) const
{
    const QString digits = QString::fromLatin1(maintenance::k_msg_digits_only);
    if (!box)
        return {};
    if (box == Text8 || box == Text28)
        return {ui::KeyFilter::FileName, QString::fromLatin1(maintenance::k_msg_bad_name_characters)};
    if (box == Txt_delpag)
        return {ui::KeyFilter::DigitsOrStar, digits};
    for (const QWidget* w : {Text9, Text11, Text20, Text22, Text15})
        if (box == w)
            return {ui::KeyFilter::Digits, digits};
    return {};
}

} // namespace mosswick
