// The page view's controls: building, naming, wiring, and the resting states.
#include "pageview/page_view_part.h"

#include "core/catalogue_logic.h"
#include "core/status_line.h"
#include "pageview/page_logic.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

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

void set_back(QWidget* w, unsigned bgr_color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ui::bgr(bgr_color));
    w->setPalette(p);
}

} // namespace

PageView::PageView(CatalogueSession& session, QTabWidget* keypad_host, QWidget* parent) : WindowPart(session, parent)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);
    build_navigation(v);
    build_cells(v);
    name_controls();
    connect_handlers();
    watch_events(keypad_host);
}

void PageView::build_navigation(QVBoxLayout* page)
{
    auto* nav = new QHBoxLayout;
    bof = ui::make_button(QStringLiteral("|<"), QStringLiteral("First page"), this);
    go_left = ui::make_button(QStringLiteral("<"), QStringLiteral("Previous page"), this);
    Label3 = new QLineEdit(this);
    Label3->setMaxLength(10);
    Label3->setMaximumWidth(80);
    Label3->setAlignment(Qt::AlignCenter);
    show_page = ui::make_button(QStringLiteral("Go"), QStringLiteral("Go to the page"), this);
    go_right = ui::make_button(QStringLiteral(">"), QStringLiteral("Next page"), this);
    eof = ui::make_button(QStringLiteral(">|"), QStringLiteral("Last page"), this);
    for (QPushButton* b : {bof, go_left, show_page, go_right, eof})
        b->setMaximumWidth(44);
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setRange(1, 10);
    Slider1->setPageStep(5);
    Slider1->setTickPosition(QSlider::TicksBelow);
    lbl_page = new QLabel(this);
    lbl_page->setMinimumWidth(90);
    lbl_page->setAlignment(Qt::AlignCenter);
    Label29 = new QLabel(this);
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
    nav->addWidget(new QLabel(QStringLiteral("Pages:"), this));
    nav->addWidget(Label29);
    page->addLayout(nav);
}

void PageView::build_cells(QVBoxLayout* page)
{
    auto* cells = new QGridLayout;
    cells->setHorizontalSpacing(8);
    cells->setVerticalSpacing(6);
    const QSize box(ui::twips_to_px(m_session.edition().layout.cell_picture_width),
                    ui::twips_to_px(m_session.edition().layout.cell_picture_height));
    const bool extra_notes = m_session.edition().features.extra_note_fields;
    for (size_t i = 1; i <= 6; ++i) {
        auto* cell = new QFrame(this);
        cell->setFrameShape(QFrame::StyledPanel);
        auto* cv = new QVBoxLayout(cell);
        cv->setContentsMargins(3, 3, 3, 3);
        cv->setSpacing(2);

        auto* top = new QHBoxLayout;
        Label7[i] = new ui::LabelButton({}, cell);
        Label7[i]->setToolTip(QStringLiteral("Picture type, click to open"));
        Label7[i]->set_colors(ui::bgr(0xFFFFC0), ui::bgr(0xFFFF80));
        lbl_fileName[i] = new ui::LabelButton({}, cell);
        lbl_fileName[i]->setToolTip(QStringLiteral("Movie type, click to open"));
        lbl_fileName[i]->set_colors(ui::bgr(0xC0FFC0), ui::bgr(0x80FF80));
        Label4[i] = ui::make_colored_label(QStringLiteral("Page number"), 0xC0C0FF, cell);
        Label5[i] = ui::make_colored_label(QStringLiteral("Picture number"), 0xC0E0FF, cell);
        auto* numbers = new QVBoxLayout;
        numbers->setSpacing(1);
        numbers->addWidget(Label4[i]);
        numbers->addWidget(Label5[i]);
        top->addWidget(Label7[i], 2);
        top->addWidget(lbl_fileName[i], 2);
        top->addLayout(numbers, 1);
        cv->addLayout(top);

        lbl_filePic[i] = new QLabel(cell);
        lbl_filePic[i]->setToolTip(QStringLiteral("Picture file name, click to open"));
        lbl_filePic[i]->setMaximumWidth(box.width());
        cv->addWidget(lbl_filePic[i]);

        // The picture box keeps its design size; the picture is drawn at the
        // top-left corner at its fitted size.
        cell_picture_area[i] = new QWidget(cell);
        cell_picture_area[i]->setFixedSize(box);
        im[i] = new QLabel(cell_picture_area[i]);
        Im2[i] = new QLabel(cell_picture_area[i]);
        for (QLabel* p : {im[i], Im2[i]}) {
            p->setGeometry(QRect(QPoint(0, 0), box));
            p->setScaledContents(true);
            p->setFocusPolicy(Qt::StrongFocus);
        }
        cv->addWidget(cell_picture_area[i], 0, Qt::AlignHCenter);

        lbl_note[i] = note_box(cell);
        if (extra_notes) {
            Text34[i] = new QLineEdit(cell);
            Text34[i]->setReadOnly(true);
            Text34[i]->setToolTip(QStringLiteral("Reference"));
            SSTab1[i] = new QTabWidget(cell);
            Text18[i] = note_box(cell);
            cv->addWidget(Text34[i]);
            SSTab1[i]->addTab(lbl_note[i], QStringLiteral("Nt"));
            SSTab1[i]->addTab(Text18[i], QStringLiteral("AdNt"));
            SSTab1[i]->setMinimumHeight(56);
            cv->addWidget(SSTab1[i], 1);
            ui::keep_place_when_hidden(SSTab1[i]);
            ui::keep_place_when_hidden(Text34[i]);
        } else {
            // The note box sits directly under the picture.
            lbl_note[i]->setMinimumHeight(56);
            cv->addWidget(lbl_note[i], 1);
        }
        // A cell is as large on a page of one picture as on a full page:
        // what an empty cell hides or empties keeps its room.
        ui::keep_place_when_hidden(lbl_note[i]);
        for (QLabel* l : {static_cast<QLabel*>(Label7[i]), static_cast<QLabel*>(lbl_fileName[i]), Label4[i], Label5[i],
                          lbl_filePic[i]})
            l->setFixedHeight(l->fontMetrics().height());
        cells->addWidget(cell, int(i - 1) / 3, int(i - 1) % 3);
    }
    cells->setRowStretch(0, 1);
    cells->setRowStretch(1, 1);
    page->addLayout(cells, 1);
}

void PageView::name_controls()
{
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

void PageView::connect_handlers()
{
    connect(bof, &QPushButton::clicked, this, &PageView::bof_Click);
    connect(eof, &QPushButton::clicked, this, &PageView::eof_Click);
    connect(go_left, &QPushButton::clicked, this, &PageView::go_left_Click);
    connect(go_right, &QPushButton::clicked, this, &PageView::go_right_Click);
    connect(show_page, &QPushButton::clicked, this, &PageView::show_page_Click);
    // The slider's scroll is the user's move only.
    // actionTriggered comes before the value moves: scroll once it has.
    connect(Slider1, &QSlider::actionTriggered, this,
            [this](int) { QMetaObject::invokeMethod(this, &PageView::Slider1_Scroll, Qt::QueuedConnection); });
    for (int i = 1; i <= 6; ++i) {
        connect(Label7[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label7_Click(i); });
        connect(lbl_fileName[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { lbl_fileName_Click(i); });
    }
    // A page number pasted into the page box meets the rule typing meets.
    refuse_pastes_by_rule(Label3);
    connect(&m_session, &CatalogueSession::counts_changed, this, &PageView::update_counts);
}

// ---- resting states ---------------------------------------------------------

void PageView::reset()
{
    for (size_t i = 1; i <= 6; ++i) {
        Label7[i]->set_colors(ui::bgr(0xFFFFC0), ui::bgr(0xFFFF80));
        lbl_fileName[i]->set_colors(ui::bgr(0xC0FFC0), ui::bgr(0x80FF80));
        set_back(Label4[i], 0xC0C0FF);
        set_back(Label5[i], 0xC0E0FF);
        lbl_note[i]->set_back_color(ui::bgr(k_grey));
    }
    Label3->setEnabled(false);
    Label29->clear();
}

void PageView::clear()
{
    const QSize box(ui::twips_to_px(m_session.edition().layout.cell_picture_width),
                    ui::twips_to_px(m_session.edition().layout.cell_picture_height));
    for (size_t i = 1; i <= 6; ++i) {
        for (QLabel* p : {im[i], Im2[i]}) {
            p->hide();
            p->setEnabled(false);
            p->clear();
            p->resize(box);
            p->setFrameShape(QFrame::NoFrame);
        }
        lbl_note[i]->clear();
        lbl_note[i]->show();
        lbl_note[i]->setEnabled(false);
        lbl_note[i]->setSelStart(0);
        for (QLabel* l : {static_cast<QLabel*>(Label7[i]), static_cast<QLabel*>(lbl_fileName[i])}) {
            l->clear();
            l->show();
            l->setEnabled(false);
            l->setFrameShape(QFrame::NoFrame);
        }
        for (QLabel* l : {Label4[i], Label5[i]}) {
            l->clear();
            l->show();
            l->setFrameShape(QFrame::NoFrame);
        }
        // Cells of an emptied view show nothing of the previous page.
        lbl_filePic[i]->clear();
        lbl_note[i]->set_back_color(ui::bgr(k_grey));
        if (Text18[i]) {
            Text34[i]->clear();
            Text18[i]->clear();
            Text18[i]->hide();
            Text18[i]->setEnabled(false);
            SSTab1[i]->setEnabled(false);
            SSTab1[i]->setCurrentIndex(0);
            Text18[i]->set_back_color(ui::bgr(k_grey));
        }
    }
    lbl_page->clear();
    go_left->setEnabled(false);
    go_right->setEnabled(false);
    show_page->setEnabled(false);
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(1);
        Slider1->setMaximum(10);
    }
    Slider1->setEnabled(false);
    bof->setEnabled(false);
    eof->setEnabled(false);
    Label3->clear();
}

void PageView::opening()
{
    m_last_selected_cell = 0;
    forget_reselect();
    m_selected_cell = 0;
    Slider1->setEnabled(false);
    for (QPushButton* b : {show_page, go_left, go_right, bof, eof})
        b->setEnabled(false);
}

void PageView::begin_open()
{
    m_session.set_page_warning({});
    Label3->setEnabled(true);
    Label3->clear();
}

void PageView::show_first_page()
{
    Label3->setText(QString::number(Slider1->value()));
    LoadAllPictures(m_session.current_page());
}

void PageView::no_pages()
{
    Label3->setEnabled(false);
}

void PageView::update_counts()
{
    const qint64 pages = m_session.page_count();
    const QSignalBlocker block(Slider1);
    Slider1->setTickInterval(0);
    if (pages > 1) {
        // Page numbers beyond the slider's range are clamped, never wrapped.
        Slider1->setMaximum(int(std::min<qint64>(pages, std::numeric_limits<int>::max())));
        Label29->setText(QString::number(Slider1->maximum()));
    } else {
        Label29->setText(pages == 1 ? QStringLiteral("1") : QString());
    }
    const int interval = slider_tick_interval(Slider1->maximum());
    Slider1->setTickInterval(interval);
    // An interval of 0 means the default in Qt, not none.
    Slider1->setTickPosition(interval > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
}

} // namespace mosswick
