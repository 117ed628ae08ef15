#pragma once

#include <QPlainTextEdit>

namespace mosswick::ui {

// A multi-line text box of plain text with a length limit, spoken to like a
// one-line box: text(), setText(), insert(), the cursor position, and
// textEdited() for changes made by the user (typing, paste, drop), never for
// changes made by the program. Tab moves the focus on, Return starts a line.
class PlainTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PlainTextBox(QWidget* parent = nullptr);

    void setMaxLength(int length);
    int maxLength() const { return m_max_length; }

    QString text() const { return toPlainText(); }
    // Replaces the text (cut to the length limit); no textEdited().
    void setText(const QString& text);
    // Inserts at the cursor, replacing the selection, as far as the limit allows.
    void insert(const QString& text);
    int cursorPosition() const { return textCursor().position(); }
    void setCursorPosition(int position);

signals:
    void textEdited(const QString& text);

private:
    void on_changed();
    void cut_to_limit();

    int m_max_length = 32767;
    bool m_by_program = false;
};

} // namespace mosswick::ui
