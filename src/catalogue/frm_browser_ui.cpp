// Construction and layout of the main window's controls.
#include "catalogue/frm_browser.h"

#include "loader/list_boxes.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

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

QTextEdit* note_box(QWidget* parent)
{
    auto* t = new QTextEdit(parent);
    t->setReadOnly(true);
    t->setAutoFillBackground(true);
    QPalette p = t->palette();
    p.setColor(QPalette::Base, ui::bgr(k_grey));
    t->setPalette(p);
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

QPushButton* button(const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
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
    bof = button(QStringLiteral("|<"), QStringLiteral("First page"), page);
    go_left = button(QStringLiteral("<"), QStringLiteral("Previous page"), page);
    Label3 = new QLineEdit(page);
    Label3->setMaxLength(10);
    Label3->setMaximumWidth(80);
    Label3->setAlignment(Qt::AlignCenter);
    show_page = button(QStringLiteral("Go"), QStringLiteral("Go to the page"), page);
    go_right = button(QStringLiteral(">"), QStringLiteral("Next page"), page);
    eof = button(QStringLiteral(">|"), QStringLiteral("Last page"), page);
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
        SSTab1[size_t(i)]->setTabPosition(QTabWidget::West);
        lbl_note[size_t(i)] = note_box(cell);
        Text18[size_t(i)] = note_box(cell);
        SSTab1[size_t(i)]->addTab(lbl_note[size_t(i)], QStringLiteral("Nt"));
        SSTab1[size_t(i)]->addTab(Text18[size_t(i)], QStringLiteral("AdNt"));
        SSTab1[size_t(i)]->setMinimumHeight(70);
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
    top->addWidget(SSTab_search, 1);

    auto* side = new QVBoxLayout;
    refresh_grid = button(QStringLiteral("Refresh GRID"), QStringLiteral("Click to refresh or reload the grid"), grid_page);
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
    Text33 = new QTextEdit(details);
    Text25 = new QTextEdit(details);
    Text33->setReadOnly(true);
    Text25->setReadOnly(true);
    auto* picture = new QWidget(details);
    picture->setFixedSize(ui::twips_to_px(4680), ui::twips_to_px(2715));
    Image1 = new QLabel(picture);
    Image3 = new QLabel(picture);
    Image3->setScaledContents(true);
    display_page = button(QStringLiteral("Display Page"), QStringLiteral("Click to display the page"), details);
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
    refresh_ref = button(QStringLiteral("Refresh GRID"), QStringLiteral("Click to refresh or reload the grid"), ref);
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
    Create_database = button(QStringLiteral("Create Database file \"new.mdb\""), {}, page);
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
    Command1 = button(QStringLiteral("Change database password"), {}, pw);
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

QWidget* frmBrowser::build_single_load_page()
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    text7 = new QLabel(page);
    text7->setToolTip(QStringLiteral("Picture file name"));
    Lbl_db = new QLabel(page);
    Lbl_db->setToolTip(QStringLiteral("Movie file name"));
    Label31 = new QLabel(page);
    Label31->setToolTip(QStringLiteral("Movie file type"));
    Img_ImportImage = new QLabel(page);
    Img_ImportImage->setFixedSize(ui::twips_to_px(4635), ui::twips_to_px(2775));
    Img_ImportImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Img_ImportImage->hide();
    auto* preview = new QWidget(page);
    preview->setFixedSize(Img_ImportImage->size());
    Img_ImportImage->setParent(preview);
    g->addWidget(text7, 0, 0, 1, 2);
    g->addWidget(Lbl_db, 1, 0);
    g->addWidget(Label31, 1, 1);
    g->addWidget(preview, 2, 0, 1, 2);

    SSTab2 = new QTabWidget(page);
    auto* nt = new QWidget;
    auto* ntv = new QVBoxLayout(nt);
    Txt_Notes = new QTextEdit(nt);
    lbl_load_picture = new QLabel(nt);
    ntv->addWidget(Txt_Notes);
    ntv->addWidget(lbl_load_picture);
    SSTab2->addTab(nt, QStringLiteral("Nt"));
    auto* adnt = new QWidget;
    auto* av = new QVBoxLayout(adnt);
    text23 = new QLineEdit(adnt);
    text23->setMaxLength(255);
    text23->setToolTip(QStringLiteral("Reference"));
    Text27 = new QTextEdit(adnt);
    av->addWidget(text23);
    av->addWidget(Text27);
    SSTab2->addTab(adnt, QStringLiteral("AdNt"));
    g->addWidget(SSTab2, 3, 0, 1, 2);

    auto* paste = new QHBoxLayout;
    Label13 = new ui::LabelButton(QStringLiteral("Paste Text"), page);
    Label12_5 = new ui::LabelButton(QStringLiteral("Paste RTF"), page);
    for (ui::LabelButton* b : {Label13, Label12_5})
        b->set_colors(ui::bgr(0xE0E0E0), ui::bgr(0xC0C0C0));
    clear_note = button(QStringLiteral("Clear note"), QStringLiteral("Clear the above note field box"), page);
    paste->addWidget(Label13);
    paste->addWidget(Label12_5);
    paste->addWidget(clear_note);
    g->addLayout(paste, 4, 0, 1, 2);

    SSTab5 = new QTabWidget(page);
    auto* load_type = new QWidget;
    auto* lt = new QGridLayout(load_type);
    auto* in_out = new QGroupBox(load_type);
    auto* io = new QVBoxLayout(in_out);
    Option2[0] = new QRadioButton(QStringLiteral("Load IN"), in_out);
    Option2[0]->setToolTip(QStringLiteral("IN=Picture loaded within the db"));
    Option2[1] = new QRadioButton(QStringLiteral("Load OUT"), in_out);
    Option2[1]->setChecked(true);
    io->addWidget(Option2[0]);
    io->addWidget(Option2[1]);
    auto* rtf = new QGroupBox(load_type);
    auto* rt = new QVBoxLayout(rtf);
    Option3[0] = new QRadioButton(QStringLiteral("RTF Load"), rtf);
    Option3[0]->setToolTip(QStringLiteral("To load note and additional note with RTF"));
    Option3[1] = new QRadioButton(QStringLiteral("Text Load"), rtf);
    Option3[1]->setToolTip(QStringLiteral("To load note and additional note without RTF"));
    Option3[1]->setChecked(true);
    rt->addWidget(Option3[0]);
    rt->addWidget(Option3[1]);
    lt->addWidget(in_out, 0, 0);
    lt->addWidget(rtf, 0, 1);
    SSTab5->addTab(load_type, QStringLiteral("Load Type"));
    auto* sizes = new QWidget;
    auto* sl = new QGridLayout(sizes);
    const char* heads[] = {"Note size", "Ref size", "Add size"};
    const int order[] = {1, 2, 0};   // the boxes under the three headings
    for (int k = 0; k < 3; ++k) {
        sl->addWidget(new QLabel(QString::fromLatin1(heads[k]), sizes), 0, k);
        note_size[size_t(order[k])] = new ui::LabelButton({}, sizes);
        note_size[size_t(order[k])]->setToolTip(QStringLiteral("Click to show the length of the note field box in bytes"));
        note_size[size_t(order[k])]->set_colors(ui::bgr(0xC0FFC0), ui::bgr(0x000000));
        sl->addWidget(note_size[size_t(order[k])], 1, k);
    }
    SSTab5->addTab(sizes, QStringLiteral("Note size"));
    g->addWidget(SSTab5, 5, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    cmd_OK = button(QStringLiteral("Load picture"), {}, page);
    cancel_load_picture = button(QStringLiteral("Cancel"), {}, page);
    buttons->addWidget(cmd_OK);
    buttons->addWidget(cancel_load_picture);
    g->addLayout(buttons, 6, 0, 1, 2);
    g->setRowStretch(3, 1);
    return page;
}

QWidget* frmBrowser::build_import_export_page()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    refresh_extraction = button(QStringLiteral("Refresh"), {}, page);
    Extract = button(QStringLiteral("Import/Export"), QStringLiteral("Select the record to extract the picture in the file."), page);
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
    delete_page = button(QStringLiteral("Delete page"), {}, by_number);
    Text15 = number_box(len, by_number);
    delete_picture = button(QStringLiteral("Delete picture"), {}, by_number);
    Text9 = number_box(len, by_number);
    Text11 = number_box(len, by_number);
    exchange_picture = button(QStringLiteral("Exchange pictures"), {}, by_number);
    Text22 = number_box(len, by_number);
    Text20 = number_box(len, by_number);
    insert_picture = button(QStringLiteral("Insert picture"), {}, by_number);
    renumber_pages = button(QStringLiteral("Renumber pages"), {}, by_number);
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
    load_list = button(QStringLiteral("Load List"), QStringLiteral("Click to load the grid"), grid_page);
    Text8 = new QLineEdit(grid_page);
    Text8->setMaxLength(251);
    Text28 = new QLineEdit(grid_page);
    Text28->setMaxLength(3);
    Text28->setMaximumWidth(60);
    Command2 = button(QStringLiteral("Rename"), {}, grid_page);
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
    verify_loaded_pictures = button(QStringLiteral("Verify loaded pictures"), {}, verify);
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

QWidget* frmBrowser::build_loader_tab()
{
    auto* page = new QWidget;
    auto* h = new QHBoxLayout(page);

    auto* lists = new QVBoxLayout;
    lists->addWidget(new QLabel(QStringLiteral("Drive & path"), page));
    Drv_ImportDrive = new DriveListBox(page);
    lists->addWidget(Drv_ImportDrive);
    Dir_ImportDir = new DirListBox(page);
    Dir_ImportDir->setToolTip(QStringLiteral("Double click to select"));
    lists->addWidget(Dir_ImportDir, 2);

    auto* pictures = new QGroupBox(QStringLiteral("Pictures"), page);
    auto* pv = new QVBoxLayout(pictures);
    Fil_ImportFile = new FileListBox(pictures);
    Fil_ImportFile->set_pattern(QStringLiteral("*.bmp;*.jpg;*.gif;*.png;*.tif;*.emf;*.wmf;*.rle;*.ico"));
    Fil_ImportFile->setToolTip(QStringLiteral("Double click to select"));
    pv->addWidget(Fil_ImportFile, 1);
    auto* o4 = new QHBoxLayout;
    Option4[0] = new QRadioButton(QStringLiteral("IN"), pictures);
    Option4[1] = new QRadioButton(QStringLiteral("OUT"), pictures);
    Option4[1]->setChecked(true);
    o4->addWidget(Option4[0]);
    o4->addWidget(Option4[1]);
    pv->addLayout(o4);
    lists->addWidget(pictures, 3);

    auto* all = new QGroupBox(QStringLiteral("All the files"), page);
    all->setToolTip(QStringLiteral("Only for TXT or RTF."));
    auto* av = new QVBoxLayout(all);
    File_movies = new FileListBox(all);
    File_movies->setToolTip(QStringLiteral("Double click to select"));
    av->addWidget(File_movies, 1);
    auto* fl = new QHBoxLayout;
    OptionFL[0] = new QRadioButton(QStringLiteral("IN"), all);
    OptionFL[0]->setToolTip(QStringLiteral("Only for TXT or RTF. Put all the files in a 'temporary' directory."));
    OptionFL[1] = new QRadioButton(QStringLiteral("OUT"), all);
    OptionFL[1]->setChecked(true);
    fl->addWidget(OptionFL[0]);
    fl->addWidget(OptionFL[1]);
    av->addLayout(fl);
    auto* frame8 = new QGroupBox(QStringLiteral("TXT or RTF Load"), all);
    frame8->setToolTip(QStringLiteral("Only for TXT or RTF."));
    auto* f8 = new QHBoxLayout(frame8);
    OptionF1[0] = new QRadioButton(QStringLiteral("IN Note"), frame8);
    OptionF1[1] = new QRadioButton(QStringLiteral("IN Add.Note"), frame8);
    OptionF1[2] = new QRadioButton(QStringLiteral("IN Reference"), frame8);
    OptionF1[0]->setToolTip(QStringLiteral("Only for TXT or RTF."));
    OptionF1[1]->setToolTip(QStringLiteral("Only for TXT or RTF."));
    OptionF1[2]->setToolTip(QStringLiteral("TXT in Reference."));
    OptionF1[0]->setChecked(true);
    for (QRadioButton* r : OptionF1) {
        r->setEnabled(false);
        f8->addWidget(r);
    }
    av->addWidget(frame8);
    lists->addWidget(all, 3);

    auto* files = new QGroupBox(QStringLiteral("Files"), page);
    files->setToolTip(QStringLiteral("Only for TXT or RTF."));
    auto* fv = new QHBoxLayout(files);
    OptionFL2[0] = new QRadioButton(QStringLiteral("IN"), files);
    OptionFL2[0]->setToolTip(QStringLiteral("Only for TXT. Put all the files in the database directory."));
    OptionFL2[1] = new QRadioButton(QStringLiteral("OUT"), files);
    OptionFL2[1]->setToolTip(QStringLiteral("Put all the files in the 'data' directory."));
    OptionFL2[1]->setChecked(true);
    fv->addWidget(OptionFL2[0]);
    fv->addWidget(OptionFL2[1]);
    auto* txt = new QGroupBox(QStringLiteral("TXT Update"), files);
    txt->setToolTip(QStringLiteral("Only for TXT."));
    auto* tv = new QHBoxLayout(txt);
    OptionF12[0] = new QRadioButton(QStringLiteral("IN Note"), txt);
    OptionF12[1] = new QRadioButton(QStringLiteral("IN Add.Note"), txt);
    OptionF12[2] = new QRadioButton(QStringLiteral("IN Reference"), txt);
    OptionF12[0]->setChecked(true);
    for (QRadioButton* r : OptionF12) {
        r->setToolTip(QStringLiteral("Only for TXT."));
        r->setEnabled(false);
        tv->addWidget(r);
    }
    fv->addWidget(txt);
    lists->addWidget(files);

    auto* buttons = new QHBoxLayout;
    refresh_pictures = button(QStringLiteral("Refresh"), QStringLiteral("Refresh 'Drive & Path' / 'Pictures' / 'All the files' list boxes"), page);
    load_pictures = button(QStringLiteral("Load pictures"), {}, page);
    update_pictures = button(QStringLiteral("Update pictures"), {}, page);
    buttons->addWidget(refresh_pictures);
    buttons->addWidget(load_pictures);
    buttons->addWidget(update_pictures);
    lists->addLayout(buttons);

    auto* left = new QWidget(page);
    left->setLayout(lists);
    left->setMaximumWidth(460);
    h->addWidget(left);

    SSTab_mgm = new QTabWidget(page);
    SSTab4 = new QTabWidget;
    SSTab4->addTab(build_database_page(), QStringLiteral("Database"));
    SSTab4->addTab(build_single_load_page(), QStringLiteral("Picture"));
    SSTab4->addTab(build_import_export_page(), QStringLiteral("Import / Export"));
    if (!m_edition.full)
        SSTab4->setTabVisible(2, false);
    SSTab_mgm->addTab(SSTab4, QStringLiteral("Database && loading"));
    SSTab_mgm->addTab(build_management(), QStringLiteral("Management"));
    h->addWidget(SSTab_mgm, 1);
    return page;
}

} // namespace mosswick
