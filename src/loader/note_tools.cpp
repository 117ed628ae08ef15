// The note tools of the single load: clearing the three boxes, pasting the
// clipboard, the length labels and the reference box's key filter.
#include "loader/loader_tab.h"

#include "core/status_line.h"
#include "loader/loader_messages.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/vb.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace mosswick {

namespace {

void set_back(QLabel* label, unsigned bgr_color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, ui::bgr(bgr_color));
    label->setPalette(p);
}

} // namespace

void LoaderTab::clear_note_Click()
{
    Txt_Notes->reset_rich_text();
    if (text23)
        text23->clear();
    if (Text27) {
        Text27->reset_rich_text();
        Text27->setText(QString());
    }
    Txt_Notes->setText(QString());
    Txt_Notes->setFocus();
}

void LoaderTab::Label12_Click(int)
{
    // Without RTF on the clipboard a paste changes nothing.
    const QString rtf = richtext::clipboard_rtf();
    if (rtf.isEmpty())
        return;
    paste(rtf, true);
}

void LoaderTab::Label13_Click()
{
    // A clipboard without text pastes an empty text: the selection goes.
    paste(richtext::clipboard_text(), false);
}

void LoaderTab::paste(const QString& text, bool rich)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window() || !target->isEnabled())
        return;
    if (!rich && text.isEmpty()) {
        // No text on the clipboard: the selection is replaced by nothing.
        if (auto* edit = qobject_cast<QTextEdit*>(target); edit && !edit->isReadOnly()) {
            QTextCursor c = edit->textCursor();
            c.removeSelectedText();
            edit->setTextCursor(c);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target); plain && !plain->isReadOnly()) {
            QTextCursor c = plain->textCursor();
            c.removeSelectedText();
            plain->setTextCursor(c);
        } else if (auto* line = qobject_cast<QLineEdit*>(target); line && !line->isReadOnly() && line->hasSelectedText()) {
            line->insert(QString());
        }
        return;
    }
    const bool reference = text23 && target == text23;
    if (!reference
        && (qobject_cast<richtext::RichTextBox*>(target) || qobject_cast<QTextEdit*>(target)
            || qobject_cast<QPlainTextEdit*>(target))) {
        // Rich boxes interpret RTF; plain boxes get the text it shows.
        rich ? richtext::paste_rtf_into(target) : richtext::paste_text_into(target);
        return;
    }
    auto* line = qobject_cast<QLineEdit*>(target);
    if (!reference && (!line || line->isReadOnly()))
        return;
    // The reference and the line boxes hold pasted text to their key rules
    // as typing does (the line boxes are other parts', which answer for
    // them): a text with a refused character is refused whole.
    const PasteRule rule = reference ? paste_rule(target) : m_others.paste_rule_of(line);
    QString plain = rich ? richtext::extract_plain_text(text) : text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!ui::accepts_text(rule.filter, plain)) {
        m_session.status().set_message(rule.message);
        return;
    }
    if (reference)
        text23->insert(plain);
    else
        line->insert(plain);
}

void LoaderTab::Label12_MouseDown(int)
{
    set_back(Label28_37, m_session.edition().colours.loader_paste_frame_pressed);
}

void LoaderTab::Label12_MouseUp(int)
{
    set_back(Label28_37, m_session.edition().colours.loader_paste_frame);
}

void LoaderTab::Label13_MouseDown()
{
    set_back(Label28_36, m_session.edition().colours.loader_paste_frame_pressed);
}

void LoaderTab::Label13_MouseUp()
{
    set_back(Label28_36, m_session.edition().colours.loader_paste_frame);
}

void LoaderTab::note_size_Click(int)
{
    note_size[1]->setText(QString::number(Txt_Notes->Text().size()));
    if (text23)
        note_size[2]->setText(QString::number(text23->text().size()));
    if (Text27)
        note_size[0]->setText(QString::number(Text27->Text().size()));
}

void LoaderTab::note_size_MouseDown(int)
{
    for (QLabel* l : {Label28_23, Label28_24, Label28_15})
        if (l)
            set_back(l, 0x000000);
}

void LoaderTab::note_size_MouseUp(int)
{
    for (QLabel* l : {Label28_23, Label28_24, Label28_15})
        if (l)
            set_back(l, 0xC0FFC0);
}

void LoaderTab::text23_KeyPress(int& key_ascii)
{
    if (key_ascii == 34) {
        m_session.status().set_message(QString::fromLatin1(loader::k_msg_quote_refused));
        key_ascii = 0;
    }
}

} // namespace mosswick
