// Construction and layout of the main window's controls.
#include "catalogue/frm_browser.h"

#include "loader/list_boxes.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace mosswick {

namespace {

constexpr unsigned k_grey = 0xE0E0E0;

QLabel* colored_label(const QString& tip, unsigned bgr_color, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setToolTip(tip);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, ui::bgr(bgr_color));
    l->setPalette(p);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

richtext::RichTextBox* note_box(QWidget* parent)
{
    auto* t = new richtext::RichTextBox(parent);
    // Notes are edited in the note window; the cell only shows them.
    t->setLocked(true);
    t->set_back_color(ui::bgr(k_grey));
    return t;
}

QTableView* grid(const QString& tip, QWidget* parent)
{
    auto* g = new QTableView(parent);
    g->setToolTip(tip);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->hide();
    return g;
}

QLineEdit* number_box(int max_length, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setMaxLength(max_length);
    e->setMaximumWidth(110);
    return e;
}

} // namespace

void frmBrowser::build_menus()
{
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuDbRnm = mnuFile->addAction(QStringLiteral("&Renumber pages"));
    mnuDbRnm->setCheckable(true);
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QStringLiteral("&Exit"));

    mnuDb = bar->addAction(QStringLiteral("&Open DB"));
    mnuRefresh = bar->addAction(QStringLiteral("&Refresh"));

    const QStringList qualities{QString(), QStringLiteral("&Nearest Neighbor"), QStringLiteral("&Bilinear"),
                                QStringLiteral("&Bicubic"), QStringLiteral("High quality bi&linear"),
                                QStringLiteral("High quality bi&cubic"), QStringLiteral("&None")};
    mnuThumbnailQuality = bar->addMenu(QStringLiteral("&Thumbnail quality"));
    mnuZoomQuality = bar->addMenu(QStringLiteral("&Zoom quality"));
    auto* tq_group = new QActionGroup(this);
    auto* zq_group = new QActionGroup(this);
    for (int code = 1; code <= 6; ++code) {
        QString tq = qualities[code];
        QString zq = qualities[code];
        if (!m_edition.full && code == 5)
            tq = QStringLiteral("High quality Bicubic");
        if (!m_edition.full && code == 4)
            zq = QStringLiteral("High quality Bi&linear");
        mnuTQ[size_t(code)] = mnuThumbnailQuality->addAction(tq);
        mnuTQ[size_t(code)]->setCheckable(true);
        tq_group->addAction(mnuTQ[size_t(code)]);
        mnuZQ[size_t(code)] = mnuZoomQuality->addAction(zq);
        mnuZQ[size_t(code)]->setCheckable(true);
        zq_group->addAction(mnuZQ[size_t(code)]);
    }
    mnuTQ[6]->setChecked(true);
    mnuZQ[5]->setChecked(true);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));

    // Actions that open, close or change the catalogue wait while busy.
    for (QAction* a : {mnuDb, mnuRefresh, mnuDbRnm, mnuFileExit})
        m_busy.add_guarded_action(a);
}

void frmBrowser::build_status_bar()
{
    QStatusBar* bar = statusBar();
    m_message_panel = new QLabel(bar);
    m_ready_panel = new QLabel(bar);
    m_tab_panel = new QLabel(bar);
    m_timing_panel = new QLabel(bar);
    m_message_panel->setObjectName(QStringLiteral("message_panel"));
    m_ready_panel->setObjectName(QStringLiteral("ready_panel"));
    m_tab_panel->setObjectName(QStringLiteral("tab_panel"));
    m_timing_panel->setObjectName(QStringLiteral("timing_panel"));
    m_message_panel->setMinimumWidth(420);
    m_ready_panel->setMinimumWidth(60);
    m_tab_panel->setMinimumWidth(130);
    m_timing_panel->setMinimumWidth(90);
    for (QLabel* l : {m_message_panel, m_ready_panel, m_tab_panel, m_timing_panel})
        l->setFrameShape(QFrame::StyledPanel);
    bar->addWidget(m_message_panel, 4);
    bar->addWidget(m_ready_panel, 1);
    bar->addWidget(m_tab_panel, 1);
    bar->addWidget(m_timing_panel, 1);
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setToolTip(QStringLiteral("Click to stop."));
    ProgressBar1->setMaximumWidth(220);
    ProgressBar1->hide();
    bar->addPermanentWidget(ProgressBar1);
}

QWidget* frmBrowser::build_page_view()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);

    auto* nav = new QHBoxLayout;
    bof = ui::make_button(QStringLiteral("|<"), QStringLiteral("First page"), page);
    go_left = ui::make_button(QStringLiteral("<"), QStringLiteral("Previous page"), page);
    Label3 = new QLineEdit(page);
    Label3->setMaxLength(10);
    Label3->setMaximumWidth(80);
    Label3->setAlignment(Qt::AlignCenter);
    show_page = ui::make_button(QStringLiteral("Go"), QStringLiteral("Go to the page"), page);
    go_right = ui::make_button(QStringLiteral(">"), QStringLiteral("Next page"), page);
    eof = ui::make_button(QStringLiteral(">|"), QStringLiteral("Last page"), page);
    for (QPushButton* b : {bof, go_left, show_page, go_right, eof})
        b->setMaximumWidth(44);
    Slider1 = new QSlider(Qt::Horizontal, page);
    Slider1->setRange(1, 10);
    Slider1->setPageStep(5);
    Slider1->setTickPosition(QSlider::TicksBelow);
    lbl_page = new QLabel(page);
    lbl_page->setMinimumWidth(90);
    lbl_page->setAlignment(Qt::AlignCenter);
    Label29 = new QLabel(page);
    Label29->setToolTip(QStringLiteral("Number of pages"));
    Label29->setMinimumWidth(50);
    nav->addWidget(bof);
    nav->addWidget(go_left);
    nav->addWidget(Label3);
    nav->addWidget(show_page);
    nav->addWidget(go_right);
    nav->addWidget(eof);
    nav->addWidget(Slider1, 1);
    nav->addWidget(lbl_page);
    nav->addWidget(new QLabel(QStringLiteral("Pages:"), page));
    nav->addWidget(Label29);
    v->addLayout(nav);

    auto* cells = new QGridLayout;
    cells->setHorizontalSpacing(8);
    cells->setVerticalSpacing(6);
    const QSize box(ui::twips_to_px(4680), ui::twips_to_px(2715));
    for (int i = 1; i <= 6; ++i) {
        auto* cell = new QFrame(page);
        cell->setFrameShape(QFrame::StyledPanel);
        auto* cv = new QVBoxLayout(cell);
        cv->setContentsMargins(3, 3, 3, 3);
        cv->setSpacing(2);

        auto* top = new QHBoxLayout;
        Label7[size_t(i)] = new ui::LabelButton({}, cell);
        Label7[size_t(i)]->setToolTip(QStringLiteral("Picture type, click to open"));
        Label7[size_t(i)]->set_colors(ui::bgr(0xFFFFC0), ui::bgr(0xFFFF80));
        lbl_fileName[size_t(i)] = new ui::LabelButton({}, cell);
        lbl_fileName[size_t(i)]->setToolTip(QStringLiteral("Movie type, click to open"));
        lbl_fileName[size_t(i)]->set_colors(ui::bgr(0xC0FFC0), ui::bgr(0x80FF80));
        Label4[size_t(i)] = colored_label(QStringLiteral("Page number"), 0xC0C0FF, cell);
        Label5[size_t(i)] = colored_label(QStringLiteral("Picture number"), 0xC0E0FF, cell);
        auto* numbers = new QVBoxLayout;
        numbers->setSpacing(1);
        numbers->addWidget(Label4[size_t(i)]);
        numbers->addWidget(Label5[size_t(i)]);
        top->addWidget(Label7[size_t(i)], 2);
        top->addWidget(lbl_fileName[size_t(i)], 2);
        top->addLayout(numbers, 1);
        cv->addLayout(top);

        lbl_filePic[size_t(i)] = new QLabel(cell);
        lbl_filePic[size_t(i)]->setToolTip(QStringLiteral("Picture file name, click to open"));
        lbl_filePic[size_t(i)]->setMaximumWidth(box.width());
        cv->addWidget(lbl_filePic[size_t(i)]);

        // The picture box keeps its design size; the picture is drawn at the
        // top-left corner at its fitted size.
        cell_picture_area[size_t(i)] = new QWidget(cell);
        cell_picture_area[size_t(i)]->setFixedSize(box);
        im[size_t(i)] = new QLabel(cell_picture_area[size_t(i)]);
        Im2[size_t(i)] = new QLabel(cell_picture_area[size_t(i)]);
        for (QLabel* p : {im[size_t(i)], Im2[size_t(i)]}) {
            p->setGeometry(QRect(QPoint(0, 0), box));
            p->setScaledContents(true);
            p->setFocusPolicy(Qt::StrongFocus);
        }
        Im2[size_t(i)]->setScaledContents(true);
        cv->addWidget(cell_picture_area[size_t(i)], 0, Qt::AlignHCenter);

        Text34[size_t(i)] = new QLineEdit(cell);
        Text34[size_t(i)]->setReadOnly(true);
        Text34[size_t(i)]->setToolTip(QStringLiteral("Reference"));
        cv->addWidget(Text34[size_t(i)]);

        SSTab1[size_t(i)] = new QTabWidget(cell);
        lbl_note[size_t(i)] = note_box(cell);
        Text18[size_t(i)] = note_box(cell);
        SSTab1[size_t(i)]->addTab(lbl_note[size_t(i)], QStringLiteral("Nt"));
        SSTab1[size_t(i)]->addTab(Text18[size_t(i)], QStringLiteral("AdNt"));
        SSTab1[size_t(i)]->setMinimumHeight(56);
        cv->addWidget(SSTab1[size_t(i)], 1);

        if (!m_edition.full) {
            // The light window's cells: the note box sits under the picture.
            Text34[size_t(i)]->hide();
            SSTab1[size_t(i)]->tabBar()->hide();
        }
        cells->addWidget(cell, (i - 1) / 3, (i - 1) % 3);
    }
    v->addLayout(cells, 1);
    return page;
}

QWidget* frmBrowser::build_search_tab()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    SSTab3 = new QTabWidget(page);
    v->addWidget(SSTab3);

    // "Grid": the picture/reference and note searches.
    auto* grid_page = new QWidget;
    auto* gv = new QVBoxLayout(grid_page);
    auto* top = new QHBoxLayout;
    SSTab_search = new QTabWidget(grid_page);

    auto* pic = new QWidget;
    auto* pv = new QGridLayout(pic);
    Text1 = new QLineEdit(pic);
    Text1->setMaxLength(m_edition.full ? 512 : 255);
    Text1->setToolTip(m_edition.full
                          ? QStringLiteral("Picture file to find. Enter the text and press \"Return\" or click \"Refresh GRID\" (512 bytes max)")
                          : QStringLiteral("Picture file to find"));
    Text3 = new QLineEdit(pic);
    Text3->setMaxLength(512);
    Text3->setToolTip(QStringLiteral("Reference to find. Enter the text and press \"Return\" or click \"Refresh GRID\" (512 bytes, 99 strings max)"));
    pv->addWidget(new QLabel(QStringLiteral("Picture"), pic), 0, 0);
    pv->addWidget(Text1, 0, 1);
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
    SSTab_search->addTab(pic, QStringLiteral("Pic"));

    auto* note = new QWidget;
    auto* nv = new QVBoxLayout(note);
    Text4 = new QLineEdit(note);
    Text4->setToolTip(m_edition.full
                          ? QStringLiteral("Note to find. Enter the text and press \"Return\" or click \"Refresh GRID\", ESC to abort.")
                          : QStringLiteral("Note to find"));
    nv->addWidget(Text4);
    auto* frame7 = new QGroupBox(note);
    auto* f7 = new QHBoxLayout(frame7);
    Option7[0] = new QRadioButton(QStringLiteral("Note"), frame7);
    Option7[1] = new QRadioButton(QStringLiteral("Add.Note"), frame7);
    Option7[2] = new QRadioButton(QStringLiteral("Note && Add.Note"), frame7);
    Option7[0]->setChecked(true);
    for (QRadioButton* r : Option7)
        f7->addWidget(r);
    nv->addWidget(frame7);
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

    auto* heads = new QHBoxLayout;
    for (const char* h : {"Picture #", "Page #", "Movie", "Picture file name"})
        heads->addWidget(new QLabel(QString::fromLatin1(h), grid_page), qstrcmp(h, "Picture file name") == 0 ? 6 : 1);
    gv->addLayout(heads);
    MSFlexGrid1 = grid(QStringLiteral("Click to select"), grid_page);
    gv->addWidget(MSFlexGrid1, 1);
    gv->addStretch(0);
    SSTab3->addTab(grid_page, QStringLiteral("Grid"));

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
    auto* rheads = new QHBoxLayout;
    for (const char* h : {"Picture #", "Page #", "Movie", "Reference"})
        rheads->addWidget(new QLabel(QString::fromLatin1(h), ref), qstrcmp(h, "Reference") == 0 ? 6 : 1);
    rv->addLayout(rheads);
    MSHFlexGrid1 = grid(QStringLiteral("Click to select"), ref);
    rv->addWidget(MSHFlexGrid1, 1);
    SSTab3->addTab(ref, QStringLiteral("Ref"));

    // A tab control kept for the search tab's resets; it holds nothing yet.
    SSTab6 = new QTabWidget(page);
    SSTab6->addTab(new QWidget, QString());
    SSTab6->hide();
    return page;
}

QWidget* frmBrowser::build_database_page()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* caption = new QLabel(
        QStringLiteral("Select the drive and the path where to create your database and press the button below"), page);
    caption->setWordWrap(true);
    v->addWidget(caption);
    Create_database = ui::make_button(QStringLiteral("Create Database file \"new.mdb\""), {}, page);
    v->addWidget(Create_database);
    Check1 = new QCheckBox(QStringLiteral("Database Password: qmvrtzo"), page);
    Check3 = new QCheckBox(QStringLiteral("Encrypt Database"), page);
    v->addWidget(Check1);
    v->addWidget(Check3);
    v->addSpacing(16);

    auto* pw = new QGroupBox(page);
    auto* form = new QFormLayout(pw);
    form->addRow(new QLabel(QStringLiteral("Leave the fields below blanks for no password"), pw));
    Text35 = new QLineEdit(pw);
    Text36 = new QLineEdit(pw);
    for (QLineEdit* e : {Text35, Text36}) {
        e->setMaxLength(14);
        e->setEchoMode(QLineEdit::Password);
    }
    form->addRow(QStringLiteral("New"), Text35);
    form->addRow(QStringLiteral("Confirm New"), Text36);
    Check4 = new QCheckBox(QStringLiteral("Encrypt Database"), pw);
    form->addRow(Check4);
    Command1 = ui::make_button(QStringLiteral("Change database password"), {}, pw);
    form->addRow(Command1);
    v->addWidget(pw);

    if (!m_edition.full) {
        Check1->hide();
        Check3->hide();
        pw->hide();
    }
    v->addStretch(1);
    return page;
}


QWidget* frmBrowser::build_import_export_page()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    refresh_extraction = ui::make_button(QStringLiteral("Refresh"), {}, page);
    Extract = ui::make_button(QStringLiteral("Import/Export"), QStringLiteral("Select the record to extract the picture in the file."), page);
    refresh_extraction->setEnabled(false);
    Extract->setEnabled(false);
    top->addWidget(refresh_extraction);
    top->addWidget(Extract);
    top->addStretch(1);
    v->addLayout(top);
    auto* heads = new QHBoxLayout;
    for (const char* h : {"Pic#", "Pag#", "Movie", "In/Out", "Picture file name"})
        heads->addWidget(new QLabel(QString::fromLatin1(h), page), qstrcmp(h, "Picture file name") == 0 ? 6 : 1);
    v->addLayout(heads);
    MSHFlexGrid2 = grid(QStringLiteral("The picture file must be placed in the database root directory"), page);
    v->addWidget(MSHFlexGrid2, 1);
    return page;
}

QWidget* frmBrowser::build_management()
{
    SSTab_mgm_pic = new QTabWidget;

    // "Insert": the edits by number.
    auto* by_number = new QWidget;
    auto* g = new QGridLayout(by_number);
    const int len = m_edition.number_box_length;
    Txt_delpag = number_box(len, by_number);
    Txt_delpag->setToolTip(QStringLiteral("*, delete all pages"));
    delete_page = ui::make_button(QStringLiteral("Delete page"), {}, by_number);
    Text15 = number_box(len, by_number);
    delete_picture = ui::make_button(QStringLiteral("Delete picture"), {}, by_number);
    Text9 = number_box(len, by_number);
    Text11 = number_box(len, by_number);
    exchange_picture = ui::make_button(QStringLiteral("Exchange pictures"), {}, by_number);
    Text22 = number_box(len, by_number);
    Text20 = number_box(len, by_number);
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
    mgm_pic = grid({}, grid_page);
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
        auto* l = colored_label({}, 0xFFC0C0, verify);
        l->setText(QString::fromLatin1(captions[k]));
        vv->addWidget(l);
        *lists[k] = new QListWidget(verify);
        vv->addWidget(*lists[k], 1);
    }
    SSTab_mgm_pic->addTab(verify, QStringLiteral("Verify"));
    return SSTab_mgm_pic;
}


} // namespace mosswick
