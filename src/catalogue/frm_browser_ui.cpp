// Construction and layout of the main window's controls.
#include "catalogue/frm_browser.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/status_panel.h"
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


richtext::RichTextBox* note_box(QWidget* parent)
{
    auto* t = new richtext::RichTextBox(parent);
    // Notes are edited in the note window; the cell only shows them.
    t->setLocked(true);
    t->set_back_color(ui::bgr(k_grey));
    return t;
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

    mnuThumbnailQuality = bar->addMenu(QStringLiteral("&Thumbnail quality"));
    mnuZoomQuality = bar->addMenu(QStringLiteral("&Zoom quality"));
    auto* tq_group = new QActionGroup(this);
    auto* zq_group = new QActionGroup(this);
    for (int code = 1; code <= 6; ++code) {
        mnuTQ[size_t(code)] = mnuThumbnailQuality->addAction(m_session.edition().texts.thumb_quality_items[size_t(code)]);
        mnuTQ[size_t(code)]->setCheckable(true);
        tq_group->addAction(mnuTQ[size_t(code)]);
        mnuZQ[size_t(code)] = mnuZoomQuality->addAction(m_session.edition().texts.zoom_quality_items[size_t(code)]);
        mnuZQ[size_t(code)]->setCheckable(true);
        zq_group->addAction(mnuZQ[size_t(code)]);
    }
    mnuTQ[6]->setChecked(true);
    mnuZQ[5]->setChecked(true);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));

    // Actions that open, close or change the catalogue wait while busy.
    for (QAction* a : {mnuDb, mnuRefresh, mnuDbRnm, mnuFileExit})
        m_session.busy().add_guarded_action(a);
}

void frmBrowser::name_controls()
{
    ui::name_control(mnuFile, "mnuFile");
    ui::name_control(mnuDbRnm, "mnuDbRnm");
    ui::name_control(mnuFileExit, "mnuFileExit");
    ui::name_control(mnuDb, "mnuDb");
    ui::name_control(mnuRefresh, "mnuRefresh");
    ui::name_control(mnuThumbnailQuality, "mnuThumbnailQuality");
    ui::name_controls(mnuTQ, "mnuTQ");
    ui::name_control(mnuZoomQuality, "mnuZoomQuality");
    ui::name_controls(mnuZQ, "mnuZQ");
    ui::name_control(mnuHelp, "mnuHelp");
    ui::name_control(mnuAbout, "mnuAbout");
    ui::name_control(SSTab_main, "SSTab_main");
    ui::name_control(Text2, "Text2");
    ui::name_control(Label27, "Label27");
    ui::name_control(Command3, "Command3");
    ui::name_control(lbl_page, "lbl_page");
    ui::name_control(bof, "bof");
    ui::name_control(go_left, "go_left");
    ui::name_control(go_right, "go_right");
    ui::name_control(eof, "eof");
    ui::name_control(show_page, "show_page");
    ui::name_control(Label3, "Label3");
    ui::name_control(Slider1, "Slider1");
    ui::name_control(Label29, "Label29");
    ui::name_controls(cell_picture_area, "cell_picture_area");
    ui::name_controls(im, "im");
    ui::name_controls(Im2, "Im2");
    ui::name_controls(lbl_filePic, "lbl_filePic");
    ui::name_controls(Label7, "Label7");
    ui::name_controls(lbl_fileName, "lbl_fileName");
    ui::name_controls(Label4, "Label4");
    ui::name_controls(Label5, "Label5");
    ui::name_controls(Text34, "Text34");
    ui::name_controls(SSTab1, "SSTab1");
    ui::name_controls(lbl_note, "lbl_note");
    ui::name_controls(Text18, "Text18");
}

void frmBrowser::build_status_bar()
{
    m_status = new StatusLine(statusBar());
    m_session.set_status(m_status);
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
    const QSize box(ui::twips_to_px(m_session.edition().layout.cell_picture_width),
                    ui::twips_to_px(m_session.edition().layout.cell_picture_height));
    const bool extra_notes = m_session.edition().features.extra_note_fields;
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
        Label4[size_t(i)] = ui::make_colored_label(QStringLiteral("Page number"), 0xC0C0FF, cell);
        Label5[size_t(i)] = ui::make_colored_label(QStringLiteral("Picture number"), 0xC0E0FF, cell);
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

        // Without the reference and the additional note the note box sits
        // directly under the picture; the other boxes are kept out of sight.
        QWidget* extra_parent = extra_notes ? static_cast<QWidget*>(cell) : m_unused;
        Text34[size_t(i)] = new QLineEdit(extra_parent);
        Text34[size_t(i)]->setReadOnly(true);
        Text34[size_t(i)]->setToolTip(QStringLiteral("Reference"));
        SSTab1[size_t(i)] = new QTabWidget(extra_parent);
        lbl_note[size_t(i)] = note_box(cell);
        Text18[size_t(i)] = note_box(extra_parent);
        if (extra_notes) {
            cv->addWidget(Text34[size_t(i)]);
            SSTab1[size_t(i)]->addTab(lbl_note[size_t(i)], QStringLiteral("Nt"));
            SSTab1[size_t(i)]->addTab(Text18[size_t(i)], QStringLiteral("AdNt"));
            SSTab1[size_t(i)]->setMinimumHeight(56);
            cv->addWidget(SSTab1[size_t(i)], 1);
        } else {
            SSTab1[size_t(i)]->addTab(Text18[size_t(i)], QStringLiteral("AdNt"));
            lbl_note[size_t(i)]->setMinimumHeight(56);
            cv->addWidget(lbl_note[size_t(i)], 1);
        }
        // A cell is as large on a page of one picture as on a full page:
        // what an empty cell hides or empties keeps its room.
        for (QWidget* w : std::initializer_list<QWidget*>{lbl_note[size_t(i)], SSTab1[size_t(i)], Text34[size_t(i)]})
            ui::keep_place_when_hidden(w);
        for (QLabel* l : {static_cast<QLabel*>(Label7[size_t(i)]), static_cast<QLabel*>(lbl_fileName[size_t(i)]),
                          Label4[size_t(i)], Label5[size_t(i)], lbl_filePic[size_t(i)]})
            l->setFixedHeight(l->fontMetrics().height());
        cells->addWidget(cell, (i - 1) / 3, (i - 1) % 3);
    }
    cells->setRowStretch(0, 1);
    cells->setRowStretch(1, 1);
    v->addLayout(cells, 1);
    return page;
}


} // namespace mosswick
