#include "platform/ui/key_rules.h"

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
// program itself put in is not judged.
class PasteRule : public QObject {
public:
    PasteRule(QLineEdit* box, std::function<bool(QChar)> accepts, std::function<void()> refused)
        : QObject(box), m_box(box), m_accepts(std::move(accepts)), m_refused(std::move(refused)), m_text(box->text())
    {
        box->installEventFilter(this);
        // A user's edit signals textEdited before textChanged, so m_text
        // still holds the text from before it when the edit is judged.
        connect(box, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (refused_count(text, m_accepts) <= refused_count(m_text, m_accepts))
                return;
            m_restoring = true;
            m_box->setText(m_text);
            m_box->setCursorPosition(qMin(m_cursor, int(m_text.size())));
            m_restoring = false;
            m_refused();
        });
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!m_restoring)
                m_text = m_box->text();
        });
        connect(box, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
            if (!m_restoring)
                m_cursor = now;
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box || event->type() != QEvent::KeyPress)
            return false;
        if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
            return false;
        if (refused_count(QApplication::clipboard()->text(), m_accepts) == 0)
            return false;
        m_refused();
        return true;
    }

private:
    QLineEdit* m_box;
    std::function<bool(QChar)> m_accepts;
    std::function<void()> m_refused;
    QString m_text;
    int m_cursor = 0;
    bool m_restoring = false;
};

} // namespace

void refuse_pastes(QLineEdit* box, std::function<bool(QChar)> accepts, std::function<void()> refused)
{
    new PasteRule(box, std::move(accepts), std::move(refused));
}

} // namespace mosswick::ui
