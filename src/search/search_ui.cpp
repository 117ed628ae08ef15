// Construction of the "Search & Sort" tab and the import/export page.
#include "search/import_export_page.h"
#include "search/search_sort_tab.h"

#include "platform/richtext/rich_text_box.h"
#include "search/search_grid.h"
#include "platform/ui/grid_headings.h"
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
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace mosswick {

namespace {

constexpr Qt::Alignment k_centre = Qt::AlignCenter;
constexpr Qt::Alignment k_left = Qt::AlignLeft | Qt::AlignVCenter;

// Number, page, movie mark, then a wide text column; widths in twips.
search::SearchGrid* make_record_grid(QWidget* parent, int text_column_width = 11000)
{
    auto* g = new search::SearchGrid({k_centre, k_centre, k_centre, k_left}, QStringLiteral("Click to select"), parent);
    g->setColumnWidth(2, ui::twips_to_px(1080));
    g->setColumnWidth(3, ui::twips_to_px(text_column_width));
    // The controls around it stay where they are whether it shows or not.
    ui::keep_place_when_hidden(g);
    return g;
}

void set_colors(QLineEdit* box, unsigned back, unsigned text = 0x000000)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, ui::bgr(back));
    p.setColor(QPalette::Text, ui::bgr(text));
    box->setPalette(p);
}

} // namespace

SearchSortTab::SearchSortTab(CatalogueSession& session, QWidget* parent) : WindowPart(session, parent)
{
    build();
    connect_handlers();
}

void SearchSortTab::build()
{
    const Edition& edition = m_session.edition();
    auto* v = new QVBoxLayout(this);
    SSTab3 = new QTabWidget(this);
    v->addWidget(SSTab3);

    // "Grid": the picture/reference and note searches.
    auto* grid_page = new QWidget;
    auto* gv = new QVBoxLayout(grid_page);
    auto* top = new QHBoxLayout;
    SSTab_search = new QTabWidget(grid_page);

    auto* pic = new QWidget;
    auto* pv = new QGridLayout(pic);
    Text1 = new QLineEdit(pic);
    Text1->setMaxLength(edition.limits.picture_search_length);
    Text1->setToolTip(edition.texts.picture_search_tip);
    pv->addWidget(new QLabel(QStringLiteral("Picture"), pic), 0, 0);
    pv->addWidget(Text1, 0, 1);
    // Without references the file name is the whole search: no reference
    // box and none of its options.
    if (edition.features.extra_note_fields) {
        Text3 = new QLineEdit(pic);
        Text3->setMaxLength(512);
        Text3->setToolTip(QStringLiteral("Reference to find. Enter the text and press \"Return\" or click \"Refresh GRID\" (512 bytes, 99 strings max)"));
        pv->addWidget(new QLabel(QStringLiteral("Reference"), pic), 1, 0);
        pv->addWidget(Text3, 1, 1);
        auto* frame1 = new QGroupBox(pic);
        auto* f1 = new QHBoxLayout(frame1);
        Option1[0] = new QRadioButton(QStringLiteral("Picture"), frame1);
        Option1[2] = new QRadioButton(QStringLiteral("Picture Or Reference"), frame1);
        Option1[3] = new QRadioButton(QStringLiteral("Picture And Reference"), frame1);
        Option1[0]->setChecked(true);
        for (int k : {0, 2, 3})
            f1->addWidget(Option1[size_t(k)]);
        auto* frame5 = new QGroupBox(pic);
        auto* f5 = new QHBoxLayout(frame5);
        Option5[0] = new QRadioButton(QStringLiteral("And"), frame5);
        Option5[1] = new QRadioButton(QStringLiteral("Or"), frame5);
        Option5[1]->setChecked(true);
        f5->addWidget(Option5[0]);
        f5->addWidget(Option5[1]);
        auto* frame6 = new QGroupBox(pic);
        auto* f6 = new QHBoxLayout(frame6);
        Option6[0] = new QRadioButton(QStringLiteral("Or"), frame6);
        Option6[1] = new QRadioButton(QStringLiteral("And"), frame6);
        Option6[0]->setChecked(true);
        f6->addWidget(Option6[0]);
        f6->addWidget(Option6[1]);
        for (QRadioButton* r : {Option5[0], Option5[1], Option6[0], Option6[1]})
            r->setEnabled(false);
        pv->addWidget(frame1, 2, 0, 1, 2);
        auto* frames = new QHBoxLayout;
        frames->addWidget(frame5);
        frames->addWidget(frame6);
        pv->addLayout(frames, 3, 0, 1, 2);
    }
    SSTab_search->addTab(pic, QStringLiteral("Pic"));

    auto* note = new QWidget;
    auto* nv = new QVBoxLayout(note);
    Text4 = new QLineEdit(note);
    Text4->setToolTip(edition.texts.note_search_tip);
    nv->addWidget(Text4);
    if (edition.features.extra_note_fields) {
        auto* frame7 = new QGroupBox(note);
        auto* f7 = new QHBoxLayout(frame7);
        Option7[0] = new QRadioButton(QStringLiteral("Note"), frame7);
        Option7[1] = new QRadioButton(QStringLiteral("Add.Note"), frame7);
        Option7[2] = new QRadioButton(QStringLiteral("Note && Add.Note"), frame7);
        Option7[0]->setChecked(true);
        for (QRadioButton* r : Option7)
            f7->addWidget(r);
        nv->addWidget(frame7);
    }
    nv->addStretch(1);
    SSTab_search->addTab(note, QStringLiteral("Note"));
    SSTab_search->setMaximumHeight(200);
    top->addWidget(SSTab_search, 1);

    auto* side = new QVBoxLayout;
    refresh_grid = ui::make_button(QStringLiteral("Refresh GRID"), QStringLiteral("Click to refresh or reload the grid"), grid_page);
    Check2 = new QCheckBox(QStringLiteral("Order by Picture file name"), grid_page);
    side->addWidget(refresh_grid);
    side->addWidget(Check2);
    side->addStretch(1);
    top->addLayout(side);
    gv->addLayout(top);

    MSFlexGrid1 = make_record_grid(grid_page, edition.layout.search_name_column_width);
    gv->addWidget(new ui::GridHeadings(MSFlexGrid1, {QStringLiteral("Picture #"), QStringLiteral("Page #"),
                                                     QStringLiteral("Movie"), QStringLiteral("Picture file name")},
                                       grid_page));
    gv->addWidget(MSFlexGrid1, 1);
    gv->addStretch(0);
    SSTab3->addTab(grid_page, QStringLiteral("Grid"));

    if (!edition.features.search_details) {
        // The searches alone, straight on the tab.
        SSTab3->tabBar()->hide();
    } else {
        build_details_and_references();
    }

    // A tab control kept for the search tab's resets; it holds nothing yet.
    SSTab6 = new QTabWidget(this);
    SSTab6->addTab(new QWidget, QString());
    SSTab6->hide();
    name_controls();
}

void SearchSortTab::build_details_and_references()
{
    // "Details": one record with its picture.
    auto* details = new QWidget;
    auto* dl = new QGridLayout(details);
    Text30 = new QLineEdit(details);
    Text31 = new QLineEdit(details);
    Text32 = new QLineEdit(details);
    Text29 = new QLineEdit(details);
    text24 = new QLineEdit(details);
    for (QLineEdit* e : {Text30, Text31, Text32, Text29, text24})
        e->setReadOnly(true);
    set_colors(Text30, 0xE0E0E0, 0x0000FF);
    set_colors(Text31, 0xE0E0E0, 0x0000FF);
    set_colors(Text32, 0xC0FFC0);
    set_colors(Text29, 0xFFFFC0);
    set_colors(text24, 0xC0FFFF);
    Text33 = new richtext::RichTextBox(details);
    Text25 = new richtext::RichTextBox(details);
    Text33->setLocked(true);
    Text25->setLocked(true);
    auto* picture = new QWidget(details);
    picture->setFixedSize(ui::twips_to_px(4680), ui::twips_to_px(2715));
    Image1 = new QLabel(picture);
    Image3 = new QLabel(picture);
    Image3->setScaledContents(true);
    display_page = ui::make_button(QStringLiteral("Display Page"), QStringLiteral("Click to display the page"), details);
    display_page->setEnabled(false);
    dl->addWidget(new QLabel(QStringLiteral("Picture"), details), 0, 0);
    dl->addWidget(picture, 1, 0, 6, 1);
    dl->addWidget(display_page, 7, 0);
    const std::pair<const char*, QWidget*> fields[] = {{"Picture #", Text30}, {"Page #", Text31}, {"Movie", Text32},
                                                       {"Picture file name", Text29}, {"Reference", text24}};
    int row = 0;
    for (const auto& [caption, w] : fields) {
        dl->addWidget(new QLabel(QString::fromLatin1(caption), details), row, 1);
        dl->addWidget(w, row, 2);
        ++row;
    }
    dl->addWidget(new QLabel(QStringLiteral("Note"), details), row, 1);
    dl->addWidget(Text33, row, 2);
    ++row;
    dl->addWidget(new QLabel(QStringLiteral("Additional Note"), details), row, 1);
    dl->addWidget(Text25, row, 2);
    dl->setColumnStretch(2, 1);
    SSTab3->addTab(details, QStringLiteral("Details"));

    // "Ref": the reference grid.
    auto* ref = new QWidget;
    auto* rv = new QVBoxLayout(ref);
    auto* rtop = new QHBoxLayout;
    refresh_ref = ui::make_button(QStringLiteral("Refresh GRID"), QStringLiteral("Click to refresh or reload the grid"), ref);
    Check5 = new QCheckBox(QStringLiteral("Order by Reference"), ref);
    rtop->addWidget(refresh_ref);
    rtop->addWidget(Check5);
    rtop->addStretch(1);
    rv->addLayout(rtop);
    MSHFlexGrid1 = make_record_grid(ref);
    rv->addWidget(new ui::GridHeadings(MSHFlexGrid1, {QStringLiteral("Picture #"), QStringLiteral("Page #"),
                                                      QStringLiteral("Movie"), QStringLiteral("Reference")},
                                       ref));
    rv->addWidget(MSHFlexGrid1, 1);
    SSTab3->addTab(ref, QStringLiteral("Ref"));
}

void SearchSortTab::name_controls()
{
    ui::name_control(SSTab3, "SSTab3");
    ui::name_control(SSTab_search, "SSTab_search");
    ui::name_control(SSTab6, "SSTab6");
    ui::name_control(MSFlexGrid1, "MSFlexGrid1");
    ui::name_control(refresh_grid, "refresh_grid");
    ui::name_control(Check2, "Check2");
    ui::name_control(Text1, "Text1");
    ui::name_control(Text3, "Text3");
    ui::name_controls(Option1, "Option1");
    ui::name_controls(Option5, "Option5");
    ui::name_controls(Option6, "Option6");
    ui::name_control(Text4, "Text4");
    ui::name_controls(Option7, "Option7");
    ui::name_control(Text30, "Text30");
    ui::name_control(Text31, "Text31");
    ui::name_control(Text32, "Text32");
    ui::name_control(Text29, "Text29");
    ui::name_control(text24, "text24");
    ui::name_control(Text33, "Text33");
    ui::name_control(Text25, "Text25");
    ui::name_control(Image1, "Image1");
    ui::name_control(Image3, "Image3");
    ui::name_control(display_page, "display_page");
    ui::name_control(MSHFlexGrid1, "MSHFlexGrid1");
    ui::name_control(refresh_ref, "refresh_ref");
    ui::name_control(Check5, "Check5");
}

ImportExportPage::ImportExportPage(CatalogueSession& session, QWidget* parent) : WindowPart(session, parent)
{
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    refresh_extraction = ui::make_button(QStringLiteral("Refresh"), {}, this);
    Extract = ui::make_button(QStringLiteral("Import/Export"), QStringLiteral("Select the record to extract the picture in the file."), this);
    refresh_extraction->setEnabled(false);
    Extract->setEnabled(false);
    top->addWidget(refresh_extraction);
    top->addWidget(Extract);
    top->addStretch(1);
    v->addLayout(top);
    auto* io_grid = new search::SearchGrid({k_centre, k_centre, k_centre, k_centre, k_left},
                                           QStringLiteral("The picture file must be placed in the database root directory"),
                                           this);
    for (int c = 0; c < 4; ++c)
        io_grid->setColumnWidth(c, ui::twips_to_px(700));
    io_grid->setColumnWidth(4, ui::twips_to_px(6000));
    ui::keep_place_when_hidden(io_grid);
    MSHFlexGrid2 = io_grid;
    v->addWidget(new ui::GridHeadings(MSHFlexGrid2, {QStringLiteral("Pic#"), QStringLiteral("Pag#"), QStringLiteral("Movie"),
                                                     QStringLiteral("In/Out"), QStringLiteral("Picture file name")},
                                      this));
    v->addWidget(MSHFlexGrid2, 1);
    ui::name_control(refresh_extraction, "refresh_extraction");
    ui::name_control(MSHFlexGrid2, "MSHFlexGrid2");
    ui::name_control(Extract, "Extract");
    connect_handlers();
}

} // namespace mosswick
