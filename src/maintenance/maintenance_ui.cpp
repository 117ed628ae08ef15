// Construction of the management tabs: edits by number, the grid and the verify pass.
#include "catalogue/frm_browser.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace mosswick {

QWidget* frmBrowser::build_management()
{
    SSTab_mgm_pic = new QTabWidget;

    // "Insert": the edits by number.
    auto* by_number = new QWidget;
    auto* g = new QGridLayout(by_number);
    const int len = m_edition.number_box_length;
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
    SSTab_mgm_pic->addTab(by_number, QStringLiteral("Insert"));

    // "Grid": the management grid and rename.
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
    gv->addWidget(mgm_pic, 1);
    SSTab_mgm_pic->addTab(grid_page, QStringLiteral("Grid"));

    // "Verify".
    auto* verify = new QWidget;
    auto* vv = new QVBoxLayout(verify);
    verify_loaded_pictures = ui::make_button(QStringLiteral("Verify loaded pictures"), {}, verify);
    vv->addWidget(verify_loaded_pictures, 0, Qt::AlignHCenter);
    const char* captions[] = {"Files not loaded but present in the data directory",
                              "Files loaded but not present in the data directory",
                              "Files loaded more than once (picture & movie)"};
    QListWidget** lists[] = {&List1, &List2, &List3};
    for (int k = 0; k < 3; ++k) {
        auto* l = ui::make_colored_label({}, 0xFFC0C0, verify);
        l->setText(QString::fromLatin1(captions[k]));
        vv->addWidget(l);
        *lists[k] = new QListWidget(verify);
        vv->addWidget(*lists[k], 1);
    }
    SSTab_mgm_pic->addTab(verify, QStringLiteral("Verify"));
    return SSTab_mgm_pic;
}

} // namespace mosswick
