// The note tools of the single load: clearing the three boxes, pasting the
// clipboard, the length labels and the reference box's key filter.
#include "catalogue/frm_browser.h"
#include "maintenance/maintenance_tab.h"
#include "pageview/page_view_part.h"

#include "loader/paste_filter.h"
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

struct BoxFilter {
    loader::KeyFilter filter = loader::KeyFilter::None;
    QString message;
};

} // namespace

void frmBrowser::clear_note_Click()
{
    Txt_Notes->reset_rich_text();
    text23->clear();
    Text27->reset_rich_text();
    Text27->setText(QString());
    Txt_Notes->setText(QString());
    Txt_Notes->setFocus();
}

void frmBrowser::Label12_Click(int)
{
    // Without RTF on the clipboard a paste changes nothing.
    const QString rtf = richtext::clipboard_rtf();
    if (rtf.isEmpty())
        return;
    loader_paste(rtf, true);
}

void frmBrowser::Label13_Click()
{
    // A clipboard without text pastes an empty text: the selection goes.
    loader_paste(richtext::clipboard_text(), false);
}

void frmBrowser::loader_paste(const QString& text, bool rich)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != this || !target->isEnabled())
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
    if (target == text23) {
        // The reference keeps its lines, and refuses the double quote.
        QString plain = rich ? richtext::extract_plain_text(text) : text;
        plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const loader::FilteredText clean = loader::filter_text(loader::KeyFilter::NoDoubleQuote, plain);
        if (clean.refused)
            set_message(QStringLiteral("Character not supported \""));
        text23->insert(clean.text);
        return;
    }
    if (qobject_cast<richtext::RichTextBox*>(target) || qobject_cast<QTextEdit*>(target)
        || qobject_cast<QPlainTextEdit*>(target)) {
        // Rich boxes interpret RTF; plain boxes get the text it shows.
        rich ? richtext::paste_rtf_into(target) : richtext::paste_text_into(target);
        return;
    }
    auto* line = qobject_cast<QLineEdit*>(target);
    if (!line || line->isReadOnly())
        return;
    // The boxes' key filters hold for pasted text as for typed text.
    const QString number_message = QStringLiteral("Characters supported 0 1 2 3 4 5 6 7 8 9");
    const QString name_message = QStringLiteral("Characters not supported \\ / * ? < > | \"");
    BoxFilter f;
    const QString name = line->objectName();
    if (name == QLatin1String("Text3"))
        f = {loader::KeyFilter::NoDoubleQuote, QStringLiteral("Character not supported \"")};
    else if (name == QLatin1String("Text4"))
        f = {loader::KeyFilter::NoDoubleQuote, QStringLiteral("Characters not supported \"")};
    else if (name == QLatin1String("Text1") || m_maintenance->box_rule(line) == MaintenanceTab::BoxRule::FileName)
        f = {loader::KeyFilter::FileName, name_message};
    else if (m_maintenance->box_rule(line) == MaintenanceTab::BoxRule::DigitsOrStar)
        f = {loader::KeyFilter::DigitsOrStar, number_message};
    else if (m_page_view->is_page_box(line) || m_maintenance->box_rule(line) == MaintenanceTab::BoxRule::Digits)
        f = {loader::KeyFilter::Digits, number_message};
    QString plain = rich ? richtext::extract_plain_text(text) : text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const loader::FilteredText clean = loader::filter_text(f.filter, plain);
    if (clean.refused)
        set_message(f.message);
    line->insert(clean.text);
}

void frmBrowser::Label12_MouseDown(int)
{
    set_back(Label28_37, m_session.edition().colours.loader_paste_frame_pressed);
}

void frmBrowser::Label12_MouseUp(int)
{
    set_back(Label28_37, m_session.edition().colours.loader_paste_frame);
}

void frmBrowser::Label13_MouseDown()
{
    set_back(Label28_36, m_session.edition().colours.loader_paste_frame_pressed);
}

void frmBrowser::Label13_MouseUp()
{
    set_back(Label28_36, m_session.edition().colours.loader_paste_frame);
}

void frmBrowser::note_size_Click(int)
{
    note_size[1]->setText(QString::number(Txt_Notes->Text().size()));
    note_size[2]->setText(QString::number(text23->text().size()));
    note_size[0]->setText(QString::number(Text27->Text().size()));
}

void frmBrowser::note_size_MouseDown(int)
{
    for (QLabel* l : {Label28_23, Label28_24, Label28_15})
        set_back(l, 0x000000);
}

void frmBrowser::note_size_MouseUp(int)
{
    for (QLabel* l : {Label28_23, Label28_24, Label28_15})
        set_back(l, 0xC0FFC0);
}

void frmBrowser::text23_KeyPress(int& key_ascii)
{
    if (key_ascii == 34) {
        set_message(QStringLiteral("Character not supported \""));
        key_ascii = 0;
    }
}

} // namespace mosswick
