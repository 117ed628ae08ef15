// The note window: building, the two modes, copy-in and copy-back, keys.
#include "notes/frm_note.h"

#include "notes/note_layout.h"
#include "notes/note_logic.h"

#include "platform/richtext/rich_format.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mosswick {

using notes::NoteLayout;
using notes::TwipRect;

namespace {

constexpr unsigned k_white = 0xFFFFFF;
constexpr unsigned k_black = 0x000000;
constexpr unsigned k_tool_back = 0xE0E0E0;
constexpr unsigned k_tool_pressed = 0xC0C0C0;
constexpr unsigned k_length_back = 0xFFC0C0;
constexpr unsigned k_length_frame = 0xFFFFC0;
constexpr unsigned k_hint_back = 0xFFFFC0;
constexpr unsigned k_reference_back = 0xC0FFFF;
constexpr unsigned k_result_text = 0x0000FF;
constexpr int k_reference_limit = 255;

QRect to_px(const TwipRect& r)
{
    return {ui::twips_to_px(r.left), ui::twips_to_px(r.top), ui::twips_to_px(r.width), ui::twips_to_px(r.height)};
}

void set_colour(QWidget* w, unsigned bgr_colour, QPalette::ColorRole role = QPalette::Window)
{
    if (role == QPalette::Window)
        w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(role, ui::bgr(bgr_colour));
    w->setPalette(p);
}

QLabel* make_frame(QWidget* parent, const TwipRect& r, unsigned bgr_colour)
{
    auto* frame = new QLabel(parent);
    frame->setGeometry(to_px(r));
    set_colour(frame, bgr_colour);
    return frame;
}

QLabel* make_heading(QWidget* parent, const QString& text, const TwipRect& r)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(to_px(r));
    return l;
}

// A label used as a tool, inside its frame.
ui::LabelButton* make_tool(QWidget* parent, const QString& caption, const TwipRect& frame, int border, unsigned rest,
                           unsigned pressed, const QString& tip = {})
{
    auto* b = new ui::LabelButton(caption, parent);
    b->setGeometry(to_px(notes::inset(frame, border)));
    b->set_colors(ui::bgr(rest), ui::bgr(pressed));
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

int key_code(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Escape)
        return 27;
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return 13;
    const QString text = key.text();
    return text.size() == 1 ? text[0].unicode() : -1;
}

// "Clear note" loads the boxes with an empty note: only the load itself knows
// that the field was Null.
QString stored_value(const richtext::RichTextBox& box, bool loaded_null)
{
    return loaded_null && box.toPlainText().isEmpty() ? QString() : box.value_for_storage();
}

} // namespace

frmNote::frmNote(NoteMode mode, const NoteCell& cell, QWidget* parent, NoteWindowProfile profile, NoteOpener opener)
    : QDialog(parent), m_mode(mode), m_profile(std::move(profile)), m_cell(cell), m_opener(std::move(opener))
{
    setObjectName(QStringLiteral("frmNote"));
    setWindowTitle(QStringLiteral("Note"));
    setFont(QFont(richtext::reset_font_name(), 8));
    m_dialog_font = QFont(richtext::reset_font_name(), 8);
    build();
    build_tools();
    name_controls();
    connect_handlers();
    Form_Load();
    // Asked only while the note loads: what it refers to may be gone later.
    m_opener.keep_loading = nullptr;
}

void frmNote::build()
{
    const NoteLayout l = notes::note_layout(false);

    SSTab1 = new QTabWidget(this);
    SSTab1->setGeometry(to_px(l.tabs));
    lbl_note = new richtext::RichTextBox;
    Text1 = new richtext::RichTextBox;
    auto* reference_page = new QWidget;
    auto* rv = new QVBoxLayout(reference_page);
    Text2 = new QLineEdit(reference_page);
    set_colour(Text2, k_reference_back, QPalette::Base);
    Text2->setToolTip(QStringLiteral("Reference"));
    rv->addWidget(Text2);
    rv->addStretch(1);
    if (m_profile.extra_fields) {
        SSTab1->addTab(lbl_note, QStringLiteral("Nt"));
    } else {
        // One note box where the tabs would be; the other boxes stay out of sight.
        lbl_note->setParent(this);
        lbl_note->setGeometry(to_px(l.tabs));
        SSTab1->hide();
    }
    SSTab1->addTab(Text1, QStringLiteral("AdNt"));
    SSTab1->addTab(reference_page, QStringLiteral("Ref"));

    // Find row.
    Label20 = make_heading(this, QStringLiteral("Find"), l.find_caption);
    Option1[0] = new QRadioButton(QStringLiteral("Start from the beginning"), this);
    Option1[0]->setGeometry(to_px(l.find_from_start));
    Option1[1] = new QRadioButton(QStringLiteral("Start from last find"), this);
    Option1[1]->setGeometry(to_px(l.find_from_last));
    Option1[0]->setChecked(true);
    Text_Find = new QLineEdit(this);
    Text_Find->setGeometry(to_px(l.find_box));
    Text_Find->setToolTip(QStringLiteral("Enter the text to find and press Return or Next, MatchCase or WholeWord."));
    const std::array<QString, 3> find_captions = {QStringLiteral("WholeWord"), QStringLiteral("MatchCase"),
                                                  QStringLiteral("Next")};
    for (size_t i = 0; i < 3; ++i) {
        Label21[i] = make_frame(this, l.find_frames[i], k_white);
        Label22[i] = make_tool(this, find_captions[i], l.find_frames[i], notes::k_frame_border, k_tool_back, k_tool_back);
        m_pressed[Label22[i]] = {Label21[i], k_black, k_white};
    }
    Label21[3] = make_frame(this, l.find_result, k_white);
    set_colour(Label21[3], k_result_text, QPalette::WindowText);
    Label21[3]->setAlignment(Qt::AlignCenter);

    // Print.
    Label26 = make_frame(this, l.print_frame, k_white);
    Label25 = make_tool(this, QStringLiteral("Print"), l.print_frame, notes::k_frame_border, k_tool_back,
                        k_tool_pressed);
    m_pressed[Label25] = {Label26, k_black, k_white};

    // OK and Cancel.
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(to_px(l.ok));
    Command1->setToolTip(QStringLiteral("Ok/Done."));
    Command2 = new QPushButton(QStringLiteral("X"), this);
    Command2->setGeometry(to_px(l.cancel));
    Command2->setToolTip(QStringLiteral("Cancel/Close the window."));
    // Enter in the find box finds; it must not press OK.
    for (QPushButton* b : {Command1, Command2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    Label1 = new QLabel(QStringLiteral("Type your text and press 'OK' to save, or 'X' to exit."), this);
    Label1->setGeometry(to_px(l.hint));
    set_colour(Label1, k_hint_back);

    Frame1 = new QFrame(this);
    Frame1->setGeometry(to_px(l.sizes_frame));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* sizes = new QHBoxLayout(Frame1);
    sizes->setContentsMargins(2, 0, 2, 0);
    sizes->setSpacing(0);
    for (int i = 0; i < notes::k_size_count; ++i) {
        OptionBTN[size_t(i)] = new QRadioButton(notes::font_size_caption(i), Frame1);
        sizes->addWidget(OptionBTN[size_t(i)]);
    }
    OptionBTN[0]->setChecked(true);
    Frame1->hide();
}

void frmNote::build_tools()
{
    const NoteLayout l = notes::note_layout(false);
    const int border = notes::k_frame_border;

    // Lengths.
    lbl_note_size[5] = make_heading(this, QStringLiteral("Size in byte"), l.length_heading);
    const std::array<QString, 3> length_captions = {QStringLiteral("Note"), QStringLiteral("Reference"),
                                                    QStringLiteral("Add.note")};
    for (size_t i = 0; i < 3; ++i) {
        lbl_note_size[i] = make_heading(this, length_captions[i], l.length_captions[i]);
        Label2[i] = make_frame(this, l.length_frames[i], m_profile.length_frame);
        note_size[i] = make_tool(this, {}, l.length_frames[i], border, k_length_back, k_length_back,
                                 QStringLiteral("Click to show the length of the note field box in bytes"));
        m_pressed[note_size[i]] = {Label2[i], k_black, m_profile.length_frame};
        if (i > 0 && !m_profile.extra_fields) {
            // The note's length alone.
            for (QWidget* w : std::initializer_list<QWidget*>{lbl_note_size[i], Label2[i], note_size[i]})
                w->hide();
        }
    }

    // Palette: the frames mark the chosen swatch instead of a pressed look.
    lbl_note_size[4] = make_heading(this, QStringLiteral("Font color"), l.colour_heading);
    for (int i = 0; i < notes::k_palette_size; ++i) {
        const unsigned colour = notes::palette_colour(i).value_or(k_black);
        Label28[size_t(i)] = make_frame(this, l.swatch_frames[size_t(i)], k_white);
        Label3[size_t(i)] = make_tool(this, {}, l.swatch_frames[size_t(i)], 15, colour, colour);
        Label3[size_t(i)]->setFrameShape(QFrame::NoFrame);
    }
    Label_back = make_frame(this, l.colour_more_frame, k_white);
    Label_more = make_tool(this, QStringLiteral("More"), l.colour_more_frame, border, k_tool_back, k_tool_pressed);
    m_pressed[Label_more] = {Label_back, k_black, k_white};

    // Sizes.
    lbl_note_size[3] = make_heading(this, QStringLiteral("Font size"), l.size_heading);
    for (int i = 0; i < notes::k_size_count; ++i) {
        Label5[size_t(i)] = make_frame(this, l.size_frames[size_t(i)], k_white);
        Label4[size_t(i)] = make_tool(this, notes::font_size_caption(i), l.size_frames[size_t(i)], border, k_tool_back,
                                      k_tool_back, QStringLiteral("Font size selection"));
    }

    // Fonts: each label is drawn in the font it applies.
    lbl_note_size[6] = make_heading(this, QStringLiteral("Font type"), l.font_heading);
    for (int i = 0; i < notes::k_font_count; ++i) {
        const notes::FontLabel& f = notes::font_labels()[size_t(i)];
        Label9[size_t(i)] = make_frame(this, l.font_frames[size_t(i)], k_white);
        Label7[size_t(i)] = make_tool(this, QString::fromLatin1(f.caption), l.font_frames[size_t(i)], border,
                                      k_tool_back, k_tool_back);
        Label7[size_t(i)]->setFont(QFont(QString::fromLatin1(f.applied), 8));
    }
    Label_back2 = make_frame(this, l.font_more_frame, k_white);
    Label_more2 = make_tool(this, QStringLiteral("More"), l.font_more_frame, border, k_tool_back, k_tool_pressed);
    m_pressed[Label_more2] = {Label_back2, k_black, k_white};

    // Styles.
    lbl_note_size[7] = make_heading(this, QStringLiteral("Style"), l.style_heading);
    const std::array<QString, 4> styles = {QStringLiteral("Bold"), QStringLiteral("Italic"),
                                           QStringLiteral("Strikethru"), QStringLiteral("Underline")};
    for (size_t i = 0; i < 4; ++i) {
        Label10[i] = make_frame(this, l.style_frames[i], k_white);
        Label8[i] = make_tool(this, styles[i], l.style_frames[i], border, k_tool_back, k_tool_back);
        m_pressed[Label8[i]] = {Label10[i], k_black, k_white};
    }

    // Alignment and bullets.
    Label16 = make_heading(this, QStringLiteral("Alignment"), l.align_heading);
    const std::array<QString, 3> aligns = {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
    for (size_t i = 0; i < 3; ++i) {
        Label14[i] = make_frame(this, l.align_frames[i], k_white);
        Label15[i] = make_tool(this, aligns[i], l.align_frames[i], border, k_tool_back, k_tool_back,
                               QStringLiteral("Select the text to align and click the label"));
        m_pressed[Label15[i]] = {Label14[i], k_black, k_white};
    }
    Label17 = make_heading(this, QStringLiteral("Pointed list"), l.bullet_heading);
    Label18 = make_frame(this, l.bullet_frame, k_white);
    Label19 = make_tool(this, QStringLiteral(". list"), l.bullet_frame, border, k_tool_back, k_tool_back,
                        QStringLiteral("Select the text to list and click the label"));
    m_pressed[Label19] = {Label18, k_black, k_white};

    // Conversion, paste and clear.
    Label13 = make_heading(this, QStringLiteral("Text conversion"), l.convert_heading);
    Label12 = make_frame(this, l.convert_frame, k_white);
    Label11 = make_tool(this, QStringLiteral("RTF to Text"), l.convert_frame, border, k_tool_back, k_tool_back,
                        m_profile.convert_tip);
    m_pressed[Label11] = {Label12, k_black, k_white};
    Label29[0] = make_frame(this, l.paste_text_frame, k_white);
    Label24 = make_tool(this, QStringLiteral("Paste Text"), l.paste_text_frame, border, k_tool_back, k_tool_back);
    m_pressed[Label24] = {Label29[0], k_black, k_white};
    Label29[1] = make_frame(this, l.paste_rtf_frame, k_white);
    Label23 = make_tool(this, QStringLiteral("Paste RTF"), l.paste_rtf_frame, border, k_tool_back, k_tool_back);
    m_pressed[Label23] = {Label29[1], k_black, k_white};
    Label29[2] = make_frame(this, l.clear_frame, k_white);
    Label27 = make_tool(this, QStringLiteral("Clear note"), l.clear_frame, border, k_tool_back, k_tool_back);
    m_pressed[Label27] = {Label29[2], k_black, k_white};
}

void frmNote::name_controls()
{
    ui::name_control(SSTab1, "SSTab1");
    ui::name_control(lbl_note, "lbl_note");
    ui::name_control(Text1, "Text1");
    ui::name_control(Text2, "Text2");
    ui::name_control(Command1, "Command1");
    ui::name_control(Command2, "Command2");
    ui::name_control(Label1, "Label1");
    ui::name_control(Frame1, "Frame1");
    ui::name_controls(OptionBTN, "OptionBTN");
    ui::name_controls(note_size, "note_size");
    ui::name_controls(Label2, "Label2");
    ui::name_controls(lbl_note_size, "lbl_note_size");
    ui::name_controls(Label3, "Label3");
    ui::name_controls(Label28, "Label28");
    ui::name_controls(Label4, "Label4");
    ui::name_controls(Label5, "Label5");
    ui::name_controls(Label7, "Label7");
    ui::name_controls(Label9, "Label9");
    ui::name_control(Label_more, "Label_more");
    ui::name_control(Label_back, "Label_back");
    ui::name_control(Label_more2, "Label_more2");
    ui::name_control(Label_back2, "Label_back2");
    ui::name_controls(Label8, "Label8");
    ui::name_controls(Label10, "Label10");
    ui::name_controls(Label15, "Label15");
    ui::name_controls(Label14, "Label14");
    ui::name_control(Label19, "Label19");
    ui::name_control(Label18, "Label18");
    ui::name_control(Label11, "Label11");
    ui::name_control(Label12, "Label12");
    ui::name_control(Label23, "Label23");
    ui::name_control(Label24, "Label24");
    ui::name_control(Label27, "Label27");
    ui::name_controls(Label29, "Label29");
    ui::name_control(Label13, "Label13");
    ui::name_control(Label16, "Label16");
    ui::name_control(Label17, "Label17");
    ui::name_control(Label20, "Label20");
    ui::name_control(Text_Find, "Text_Find");
    ui::name_controls(Option1, "Option1");
    ui::name_controls(Label22, "Label22");
    ui::name_controls(Label21, "Label21");
    ui::name_control(Label25, "Label25");
    ui::name_control(Label26, "Label26");
}

void frmNote::connect_handlers()
{
    // A paste into the reference meets the rule typing meets: one holding a
    // double quote is refused whole, with the same message.
    ui::refuse_pastes(
        Text2, [](QChar c) { return !notes::reference_refuses(c.unicode()); }, [this] { say_key_refused(); });
    connect(Command1, &QPushButton::clicked, this, &frmNote::Command1_Click);
    // Cancel, as Esc and the close box: close; nothing is saved.
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(SSTab1, &QTabWidget::currentChanged, this, &frmNote::SSTab1_Click);
    for (QRadioButton* option : OptionBTN)
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                OptionBTN_Click();
        });
    for (int i = 0; i < 3; ++i) {
        connect(note_size[size_t(i)], &ui::LabelButton::clicked, this, &frmNote::note_size_Click);
        connect(Label22[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label22_Click(i); });
        connect(Label15[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label15_Click(i); });
    }
    for (int i = 0; i < notes::k_palette_size; ++i)
        connect(Label3[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label3_Click(i); });
    for (int i = 0; i < notes::k_size_count; ++i)
        connect(Label4[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label4_Click(i); });
    for (int i = 0; i < notes::k_font_count; ++i)
        connect(Label7[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label7_Click(i); });
    for (int i = 0; i < 4; ++i)
        connect(Label8[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label8_Click(i); });
    connect(Label_more, &ui::LabelButton::clicked, this, &frmNote::Label_more_Click);
    connect(Label_more2, &ui::LabelButton::clicked, this, &frmNote::Label_more2_Click);
    connect(Label19, &ui::LabelButton::clicked, this, &frmNote::Label19_Click);
    connect(Label11, &ui::LabelButton::clicked, this, &frmNote::Label11_Click);
    connect(Label23, &ui::LabelButton::clicked, this, &frmNote::Label23_Click);
    connect(Label24, &ui::LabelButton::clicked, this, &frmNote::Label24_Click);
    connect(Label27, &ui::LabelButton::clicked, this, &frmNote::Label27_Click);
    connect(Label25, &ui::LabelButton::clicked, this, &frmNote::Label25_Click);

    // The window sees key presses before its controls, and the tools'
    // presses for their pressed look.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

// ---- load, OK, Cancel ------------------------------------------------------------

void frmNote::Form_Load()
{
    move(0, 0);
    m_colour_idx = notes::k_default_colour_index;
    m_size_idx = notes::k_default_size_index;
    m_font_idx = notes::k_default_font_index;
    for (int i = 0; i < notes::k_palette_size; ++i)
        set_colour(Label28[size_t(i)], i == m_colour_idx ? k_black : k_white);
    for (int i = 0; i < notes::k_size_count; ++i)
        set_colour(Label5[size_t(i)], i == m_size_idx ? k_black : k_white);
    for (int i = 0; i < notes::k_font_count; ++i)
        set_colour(Label9[size_t(i)], i == m_font_idx ? k_black : k_white);
    SSTab1->setCurrentIndex(0);

    const NoteLayout l = notes::note_layout(!edit_mode());
    setFixedSize(ui::twips_to_px(edit_mode() ? l.width : m_profile.view_width), ui::twips_to_px(l.height));
    if (edit_mode()) {
        lbl_note->setLocked(false);
        Text1->setLocked(false);
        Text2->setReadOnly(false);
        Label1->show();
        Frame1->hide();
    } else {
        Label1->hide();
        Frame1->show();
        Label26->setGeometry(to_px(l.print_frame));
        Label25->setGeometry(to_px(notes::inset(l.print_frame, notes::k_frame_border)));
        Command2->setGeometry(to_px(l.cancel));
        lbl_note->setLocked(true);
        Text1->setLocked(true);
        Text2->setReadOnly(true);
        // The tools and OK lie beyond the viewer's edge; hidden, they cannot
        // be reached with Tab either, so a viewer can never copy back.
        const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* w : children)
            if (w->geometry().left() >= ui::twips_to_px(notes::k_view_width))
                w->hide();
        Command1->hide();
    }

    // The cell's texts in; a long note can be stopped while it loads.
    const auto copy_in = [this](richtext::RichTextBox* box, const QString& value, bool& loaded_null) {
        if (m_load_stopped)
            return;
        loaded_null = value.isNull();
        if (m_opener.keep_loading)
            m_load_stopped = !box->setTextRTF(value, m_opener.keep_loading);
        else
            box->setTextRTF(value);
    };
    copy_in(lbl_note, m_cell.note, m_note_loaded_null);
    if (!m_profile.extra_fields)
        return;   // the note alone
    // Never cut a longer stored reference short.
    Text2->setMaxLength(std::max<int>(k_reference_limit, int(m_cell.reference.size())));
    Text2->setText(m_cell.reference);
    copy_in(Text1, m_cell.addnote, m_addnote_loaded_null);
}

void frmNote::Command1_Click()
{
    if (!edit_mode())
        return;
    const NoteCell cell = values();
    if (m_opener.commit && !m_opener.commit(*this, cell))
        return;
    emit saved(cell);
    accept();
}

NoteCell frmNote::values() const
{
    NoteCell out = m_cell;
    out.note = stored_value(*lbl_note, m_note_loaded_null);
    if (!m_profile.extra_fields)
        return out;   // the note alone
    out.reference = Text2->text();
    out.addnote = stored_value(*Text1, m_addnote_loaded_null);
    return out;
}

void frmNote::Form_KeyPress(int& key_ascii)
{
    if (!notes::closes_window(key_ascii, edit_mode()))
        return;
    key_ascii = 0;
    reject();
}

// ---- lengths, display size, tabs, reference ---------------------------------------

void frmNote::note_size_Click()
{
    note_size[0]->setText(notes::length_text(lbl_note->Text()));
    if (!m_profile.extra_fields)
        return;
    note_size[1]->setText(notes::length_text(Text2->text()));
    note_size[2]->setText(notes::length_text(Text1->Text()));
}

void frmNote::OptionBTN_Click()
{
    int first = -1;
    for (int i = 0; i < notes::k_size_count - 1 && first < 0; ++i)
        if (OptionBTN[size_t(i)]->isChecked())
            first = i;
    const int size = notes::display_size(first);
    for (richtext::RichTextBox* box : boxes())
        box->setFontSize(size);
}

void frmNote::SSTab1_Click()
{
    m_start_pos = 0;
}

void frmNote::Text2_KeyPress(int& key_ascii)
{
    if (!notes::reference_refuses(key_ascii))
        return;
    say_key_refused();
    key_ascii = 0;
}

void frmNote::say_key_refused()
{
    ui::dialogs().message(this, notes::refused_key_message(), QString(), ui::MessageIcon::None, ui::MessageButtons::Ok);
}

void frmNote::Text_Find_KeyPress(int& key_ascii)
{
    if (key_ascii == 13)
        Label22_Click(2);
}

// ---- pressed looks and keys ---------------------------------------------------------

void frmNote::set_pressed(QObject* label, bool down)
{
    const auto it = m_pressed.find(label);
    if (it == m_pressed.end() || !it->second.frame)
        return;
    set_colour(it->second.frame, down ? it->second.down : it->second.up);
}

bool frmNote::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            set_pressed(watched, true);
        break;
    case QEvent::MouseButtonRelease:
        set_pressed(watched, false);
        break;
    case QEvent::KeyPress: {
        // A key a control ignores travels on to its parents; the keys handled
        // here are consumed where they are first seen, so none acts twice.
        int code = key_code(*static_cast<QKeyEvent*>(event));
        if (code < 0)
            break;
        Form_KeyPress(code);
        if (code == 0)
            return true;
        if (watched == Text2) {
            Text2_KeyPress(code);
            if (code == 0)
                return true;
        } else if (watched == Text_Find) {
            Text_Find_KeyPress(code);
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace mosswick
