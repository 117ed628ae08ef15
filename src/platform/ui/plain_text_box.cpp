#include "platform/ui/plain_text_box.h"

#include <QTextCursor>

#include <algorithm>

namespace mosswick::ui {

namespace {

// Runs a change as the program's: no textEdited() for it.
class ByProgram {
public:
    explicit ByProgram(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~ByProgram() { m_flag = m_was; }
    ByProgram(const ByProgram&) = delete;
    ByProgram& operator=(const ByProgram&) = delete;

private:
    bool& m_flag;
    bool m_was;
};

} // namespace

PlainTextBox::PlainTextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(this, &QPlainTextEdit::textChanged, this, &PlainTextBox::on_changed);
}

void PlainTextBox::setMaxLength(int length)
{
    m_max_length = std::max(0, length);
    const ByProgram guard(m_by_program);
    cut_to_limit();
}

void PlainTextBox::setText(const QString& text)
{
    const ByProgram guard(m_by_program);
    setPlainText(text.left(m_max_length));
    moveCursor(QTextCursor::End);
}

void PlainTextBox::insert(const QString& text)
{
    QTextCursor c = textCursor();
    const int room = m_max_length - int(toPlainText().size()) + int(c.selectedText().size());
    c.insertText(text.left(std::max(0, room)));
    setTextCursor(c);
}

void PlainTextBox::setCursorPosition(int position)
{
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(position, 0, int(toPlainText().size())));
    setTextCursor(c);
}

void PlainTextBox::on_changed()
{
    if (m_by_program)
        return;
    {
        const ByProgram guard(m_by_program);
        cut_to_limit();
    }
    emit textEdited(toPlainText());
}

// What goes beyond the limit is taken out just before the cursor, where it
// was typed or pasted.
void PlainTextBox::cut_to_limit()
{
    const int over = int(toPlainText().size()) - m_max_length;
    if (over <= 0)
        return;
    QTextCursor c = textCursor();
    const int end = std::max(c.position(), over);
    c.setPosition(end - over);
    c.setPosition(end, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    setTextCursor(c);
}

} // namespace mosswick::ui
