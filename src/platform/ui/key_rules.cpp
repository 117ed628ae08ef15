#include "platform/ui/key_rules.h"

#include "platform/ui/plain_text_box.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace mosswick::ui {

std::optional<int> typed_code(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
        return std::nullopt;
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier))
        return std::nullopt;
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return 13;
    if (key.key() == Qt::Key_Backspace)
        return 8;
    const QString text = key.text();
    if (text.size() != 1 || (text[0].unicode() < 32 && text[0].unicode() != 8 && text[0].unicode() != 13))
        return std::nullopt;
    return int(text[0].unicode());
}

namespace {

qsizetype refused_count(const QString& text, const std::function<bool(QChar)>& accepts)
{
    qsizetype n = 0;
    for (QChar c : text)
        n += accepts(c) ? 0 : 1;
    return n;
}

// Watches one box: the paste shortcut is checked against the clipboard
// before the box acts; another edit that brings a refused character (context
// menu, drop) is undone by putting the text from before it back. Text the
// program itself put in is not judged. The box's own signals call edited(),
// changed() and cursor_moved().
class PasteRule : public QObject {
public:
    // What the rule reads of its box, and how it puts the text from before
    // an edit back (with the cursor where it was).
    struct Box {
        QWidget* widget;
        std::function<QString()> text;
        std::function<int()> cursor;
        std::function<void(const QString&, int)> restore;
    };

    PasteRule(Box box, std::function<bool(QChar)> accepts, std::function<void()> refused)
        : QObject(box.widget), m_box(std::move(box)), m_accepts(std::move(accepts)), m_refused(std::move(refused)),
          m_text(m_box.text())
    {
        m_box.widget->installEventFilter(this);
    }

    // A user's edit, signalled before changed(): m_text still holds the
    // text from before it.
    void edited(const QString& text)
    {
        if (refused_count(text, m_accepts) <= refused_count(m_text, m_accepts))
            return;
        m_restoring = true;
        m_box.restore(m_text, qMin(m_cursor, int(m_text.size())));
        m_restoring = false;
        m_refused();
    }

    void changed()
    {
        if (!m_restoring)
            m_text = m_box.text();
    }

    void cursor_moved()
    {
        if (!m_restoring)
            m_cursor = m_box.cursor();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box.widget || event->type() != QEvent::KeyPress)
            return false;
        if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
            return false;
        if (refused_count(QApplication::clipboard()->text(), m_accepts) == 0)
            return false;
        m_refused();
        return true;
    }

private:
    Box m_box;
    std::function<bool(QChar)> m_accepts;
    std::function<void()> m_refused;
    QString m_text;
    int m_cursor = 0;
    bool m_restoring = false;
};

// A rule over a box that reads and sets its text and cursor as a line box does.
template <typename TextBox>
PasteRule* make_rule(TextBox* box, std::function<bool(QChar)> accepts, std::function<void()> refused)
{
    return new PasteRule({box, [box] { return box->text(); }, [box] { return box->cursorPosition(); },
                          [box](const QString& text, int cursor) {
                              box->setText(text);
                              box->setCursorPosition(cursor);
                          }},
                         std::move(accepts), std::move(refused));
}

} // namespace

void refuse_pastes(QLineEdit* box, std::function<bool(QChar)> accepts, std::function<void()> refused)
{
    PasteRule* rule = make_rule(box, std::move(accepts), std::move(refused));
    QObject::connect(box, &QLineEdit::textEdited, rule, &PasteRule::edited);
    QObject::connect(box, &QLineEdit::textChanged, rule, &PasteRule::changed);
    QObject::connect(box, &QLineEdit::cursorPositionChanged, rule, &PasteRule::cursor_moved);
}

void refuse_pastes(PlainTextBox* box, std::function<bool(QChar)> accepts, std::function<void()> refused)
{
    PasteRule* rule = make_rule(box, std::move(accepts), std::move(refused));
    // The box signals textEdited from its own textChanged slot, made first:
    // the edit is judged before changed() takes the new text in.
    QObject::connect(box, &PlainTextBox::textEdited, rule, &PasteRule::edited);
    QObject::connect(box, &QPlainTextEdit::textChanged, rule, &PasteRule::changed);
    QObject::connect(box, &QPlainTextEdit::cursorPositionChanged, rule, &PasteRule::cursor_moved);
}

} // namespace mosswick::ui
