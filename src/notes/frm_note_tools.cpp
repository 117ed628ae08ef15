// The note window's formatting tools: each acts on the note's selection and
// then on the additional note's, whichever tab is showing.
#include "notes/frm_note.h"

#include "notes/note_logic.h"

#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>

namespace mosswick {

namespace {

void set_frame(QLabel* frame, bool chosen)
{
    frame->setAutoFillBackground(true);
    QPalette p = frame->palette();
    p.setColor(QPalette::Window, ui::bgr(chosen ? 0x000000 : 0xFFFFFF));
    frame->setPalette(p);
}

} // namespace

std::vector<richtext::RichTextBox*> frmNote::boxes() const
{
    if (!m_profile.extra_fields)
        return {lbl_note};
    return {lbl_note, Text1};
}

void frmNote::Label3_Click(int index)
{
    const std::optional<unsigned> colour = notes::palette_colour(index);
    if (!colour)
        return;
    set_frame(Label28[size_t(m_colour_idx)], false);
    set_frame(Label28[size_t(index)], true);
    m_colour_idx = index;
    for (richtext::RichTextBox* box : boxes())
        box->setSelColor(ui::bgr(*colour));
}

void frmNote::Label_more_Click()
{
    const std::optional<QColor> colour = ui::dialogs().choose_color(this, m_dialog_colour);
    // Cancel leaves the text as it was.
    if (!colour || !colour->isValid())
        return;
    m_dialog_colour = *colour;
    for (richtext::RichTextBox* box : boxes())
        box->setSelColor(*colour);
}

void frmNote::Label4_Click(int index)
{
    const std::optional<int> size = notes::font_size_for(index);
    if (!size)
        return;
    set_frame(Label5[size_t(m_size_idx)], false);
    set_frame(Label5[size_t(index)], true);
    m_size_idx = index;
    for (richtext::RichTextBox* box : boxes())
        box->setSelFontSize(*size);
}

void frmNote::Label7_Click(int index)
{
    const QString name = notes::applied_font(index);
    if (name.isEmpty())
        return;
    set_frame(Label9[size_t(m_font_idx)], false);
    set_frame(Label9[size_t(index)], true);
    m_font_idx = index;
    const int size = notes::font_size_for(m_size_idx).value_or(notes::font_sizes().front());
    for (richtext::RichTextBox* box : boxes()) {
        box->setSelFontName(name);
        box->setSelFontSize(size);
    }
}

void frmNote::Label_more2_Click()
{
    const std::optional<QFont> font = ui::dialogs().choose_font(this, m_dialog_font);
    if (!font)
        return;
    m_dialog_font = *font;
    for (richtext::RichTextBox* box : boxes()) {
        box->setSelFontName(font->family());
        if (font->pointSizeF() > 0)
            box->setSelFontSize(font->pointSizeF());
        box->setSelBold(font->bold());
        box->setSelItalic(font->italic());
        box->setSelStrikeThru(font->strikeOut());
        box->setSelUnderline(font->underline());
    }
}

void frmNote::Label8_Click(int index)
{
    const std::optional<notes::Style> style = notes::style_for(index);
    if (!style)
        return;
    // The note's selection decides; the additional note follows it.
    std::optional<bool> current;
    switch (*style) {
    case notes::Style::Bold: current = lbl_note->SelBold(); break;
    case notes::Style::Italic: current = lbl_note->SelItalic(); break;
    case notes::Style::StrikeThru: current = lbl_note->SelStrikeThru(); break;
    case notes::Style::Underline: current = lbl_note->SelUnderline(); break;
    }
    const bool on = notes::toggled(current);
    for (richtext::RichTextBox* box : boxes()) {
        switch (*style) {
        case notes::Style::Bold: box->setSelBold(on); break;
        case notes::Style::Italic: box->setSelItalic(on); break;
        case notes::Style::StrikeThru: box->setSelStrikeThru(on); break;
        case notes::Style::Underline: box->setSelUnderline(on); break;
        }
    }
}

void frmNote::Label15_Click(int index)
{
    const std::optional<int> code = notes::alignment_for(index);
    if (!code)
        return;
    for (richtext::RichTextBox* box : boxes())
        box->setSelAlignment(*code);
}

void frmNote::Label19_Click()
{
    const bool on = notes::toggled(lbl_note->SelBullet());
    for (richtext::RichTextBox* box : boxes())
        box->setSelBullet(on);
}

void frmNote::Label11_Click()
{
    for (richtext::RichTextBox* box : boxes())
        if (box->SelLength() > 0)
            box->setSelText(box->SelText());
}

void frmNote::paste(bool rich)
{
    QWidget* target = focusWidget();
    // A rich box's focus may sit on its viewport.
    if (target && target->parentWidget()
        && (target == lbl_note->viewport() || target == Text1->viewport()))
        target = target->parentWidget();
    if (!target)
        return;
    // Nothing to paste, or a box that takes nothing, leaves everything as it was.
    if (rich)
        richtext::paste_rtf_into(target);
    else
        richtext::paste_text_into(target);
}

void frmNote::Label23_Click()
{
    paste(true);
}

void frmNote::Label24_Click()
{
    paste(false);
}

void frmNote::Label27_Click()
{
    if (!m_profile.clear_resets_all_styles) {
        // Text and colour go, bold goes; italic, strikethrough, underline,
        // alignment and bullets stay for what is typed next.
        lbl_note->setText(QString());
        lbl_note->setTextRTF(QString());
        lbl_note->setSelFontName(richtext::reset_font_name());
        lbl_note->setSelFontSize(notes::font_sizes().front());
        lbl_note->setSelColor(QColor(Qt::black));
        lbl_note->setSelText(QStringLiteral(" "));
        lbl_note->setSelStart(0);
        lbl_note->setSelLength(1);
        lbl_note->setSelBold(false);
        // The blank goes again; its format stays for typing.
        lbl_note->setText(QStringLiteral(""));
        lbl_note->setFocus();
        return;
    }
    lbl_note->reset_rich_text();
    Text1->reset_rich_text();
    Text2->clear();
    // The blank of the reset goes again; the reset format stays for typing.
    Text1->setText(QStringLiteral(""));
    lbl_note->setText(QStringLiteral(""));
    lbl_note->setFocus();
}

} // namespace mosswick
