#include "platform/richtext/rich_clipboard.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/richtext/rtf_reader.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace mosswick::richtext {

namespace {

QString to_single_line_breaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Puts text into a plain text control in place of its selection.
bool insert_plain(QWidget* target, const QString& text)
{
    if (auto* box = qobject_cast<RichTextBox*>(target)) {
        if (box->isReadOnly())
            return false;
        box->setSelText(text);
        return true;
    }
    if (auto* edit = qobject_cast<QTextEdit*>(target)) {
        if (edit->isReadOnly())
            return false;
        edit->insertPlainText(to_single_line_breaks(text));
        return true;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(target)) {
        if (edit->isReadOnly())
            return false;
        edit->insertPlainText(to_single_line_breaks(text));
        return true;
    }
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        if (line->isReadOnly())
            return false;
        line->insert(to_single_line_breaks(text));
        return true;
    }
    return false;
}

} // namespace

const QStringList& rtf_mime_types()
{
    static const QStringList types{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext")};
    return types;
}

QString rtf_from_mime_data(const QMimeData& data)
{
    for (const QString& type : rtf_mime_types()) {
        if (!data.hasFormat(type))
            continue;
        const QByteArray bytes = data.data(type);
        if (bytes.startsWith("{\\rtf"))
            return rtf_from_bytes(bytes);
    }
    return QString();
}

std::unique_ptr<QMimeData> make_rich_mime_data(const QString& rtf, const QString& plain_text)
{
    auto data = std::make_unique<QMimeData>();
    const QByteArray bytes = rtf.toLatin1();
    data->setData(rtf_mime_types().at(0), bytes);
    data->setData(rtf_mime_types().at(1), bytes);
    data->setText(plain_text);
    return data;
}

QString clipboard_rtf()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? rtf_from_mime_data(*data) : QString();
}

QString clipboard_text()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return (data && data->hasText()) ? data->text() : QString();
}

bool paste_rtf_into(QWidget* target)
{
    const QString rtf = clipboard_rtf();
    if (auto* box = qobject_cast<RichTextBox*>(target)) {
        if (box->isReadOnly())
            return false;
        box->insert_rtf(rtf);
        return true;
    }
    if (auto* edit = qobject_cast<QTextEdit*>(target); edit && edit->acceptRichText()) {
        if (edit->isReadOnly())
            return false;
        QTextDocument piece;
        read_rtf(rtf, piece);
        QTextCursor cursor = edit->textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        if (!rtf.isEmpty())
            cursor.insertFragment(QTextDocumentFragment(&piece));
        cursor.endEditBlock();
        edit->setTextCursor(cursor);
        return true;
    }
    // Markup pasted into a plain box would be noise in a reference or a
    // search text: such a box gets the text the RTF shows.
    return insert_plain(target, extract_plain_text(rtf));
}

bool paste_text_into(QWidget* target)
{
    return insert_plain(target, clipboard_text());
}

} // namespace mosswick::richtext
