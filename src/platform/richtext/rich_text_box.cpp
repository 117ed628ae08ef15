#include "platform/richtext/rich_text_box.h"

#include "platform/richtext/note_file.h"
#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_clipboard.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_reader.h"
#include "platform/richtext/rtf_writer.h"
#include "platform/richtext/selection_format.h"

#include <QMimeData>
#include <QPagedPaintDevice>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>
#include <memory>

namespace mosswick::richtext {

namespace {

constexpr qreal k_min_font_size = 1.0;
constexpr qreal k_max_font_size = 1638.0;

// Notes name Windows fonts; the screen shows the nearest face installed, and
// Comic Neue is the one that stands in for the notes' default font.
void install_font_substitutes()
{
    static const bool installed = [] {
        if (QFont::substitutes(reset_font_name()).isEmpty())
            QFont::insertSubstitution(reset_font_name(), QStringLiteral("Comic Neue"));
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent)
{
    install_font_substitutes();
    setAcceptRichText(true);
    setTabChangesFocus(false);
    document()->setDefaultFont(default_document_font());
    read_note(QString(), *document(), reset_char_format(), reset_block_format());
    setCurrentCharFormat(reset_char_format());
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_loading)
            m_changed = true;
    });
}

// ---- whole content -------------------------------------------------------

QString RichTextBox::TextRTF() const
{
    return write_rtf(*document());
}

void RichTextBox::setTextRTF(const QString& value)
{
    load_value(value, {});
}

bool RichTextBox::setTextRTF(const QString& value, const std::function<bool()>& keep_going)
{
    return load_value(value, keep_going);
}

bool RichTextBox::load_value(const QString& value, const std::function<bool()>& keep_going)
{
    const QScopedValueRollback<bool> loading(m_loading, true);
    bool complete = true;
    if (is_rtf(value)) {
        complete = read_note(value, *document(), QTextCharFormat(), QTextBlockFormat(), keep_going);
        moveCursor(QTextCursor::Start);
    } else {
        complete = replace_with_plain(value, keep_going);
    }
    m_loaded = complete ? value : QString();
    m_changed = false;
    return complete;
}

bool RichTextBox::set_preview(const QString& value, qsizetype limit, const QString& more)
{
    if (value.size() <= limit) {
        setTextRTF(value);
        return false;
    }
    // Never half a character pair; a cut RTF text reads as far as it goes.
    qsizetype n = limit;
    if (n > 0 && value.at(n - 1).isHighSurrogate())
        --n;
    const QScopedValueRollback<bool> loading(m_loading, true);
    setTextRTF(value.left(n));
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertBlock(reset_block_format(), reset_char_format());
    end.insertText(more, reset_char_format());
    moveCursor(QTextCursor::Start);
    m_loaded = value;
    m_changed = false;
    return true;
}

QString RichTextBox::Text() const
{
    return plain_text_of(*document());
}

void RichTextBox::setText(const QString& value)
{
    const QScopedValueRollback<bool> loading(m_loading, true);
    replace_with_plain(value);
    m_loaded = value;
    m_changed = false;
}

bool RichTextBox::replace_with_plain(const QString& text, const std::function<bool()>& keep_going)
{
    // The format of the first character, or what typing would use in an
    // empty box, carries over to the new text.
    const QTextCursor first(document());
    const QTextCharFormat format = document()->isEmpty() ? currentCharFormat() : first.charFormat();
    QTextBlockFormat block = first.blockFormat();
    block.setObjectIndex(-1);
    const QTextBlockFormat plain_block =
        make_block_format(alignment_code(block.alignment()), indents_of(block, false), false);
    const bool complete = read_note(text, *document(), format, plain_block, keep_going);
    moveCursor(QTextCursor::Start);
    setCurrentCharFormat(QTextCursor(document()).charFormat());
    return complete;
}

bool RichTextBox::load_file(const QString& path, QString* error_message)
{
    const std::optional<QString> value = read_note_file(path, error_message);
    if (!value)
        return false;
    setTextRTF(*value);
    return true;
}

QString RichTextBox::loaded_value() const
{
    return m_loaded;
}

bool RichTextBox::content_modified() const
{
    return m_changed;
}

QString RichTextBox::value_for_storage() const
{
    if (!content_modified())
        return m_loaded;
    // A field that was Null and still shows no text stays Null, whatever
    // formatting reached it (the note window's tools format both boxes).
    if (m_loaded.isNull() && toPlainText().isEmpty())
        return QString();
    return TextRTF();
}

void RichTextBox::insert_rtf(const QString& rtf)
{
    QTextDocument piece;
    piece.setDefaultFont(document()->defaultFont());
    QTextCursor cursor = textCursor();
    QTextBlockFormat block = cursor.blockFormat();
    block.setObjectIndex(-1);
    read_note(rtf, piece, currentCharFormat(), block);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (!piece.isEmpty())
        cursor.insertFragment(QTextDocumentFragment(&piece));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

// ---- selection -------------------------------------------------------------

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int position)
{
    QTextCursor c(document());
    c.setPosition(std::clamp(position, 0, document()->characterCount() - 1));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    const int end = std::clamp(start + std::max(length, 0), start, document()->characterCount() - 1);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    return plain_text_of_selection(textCursor());
}

void RichTextBox::setSelText(const QString& text)
{
    QTextCursor c = textCursor();
    const QTextCharFormat format = currentCharFormat();
    c.beginEditBlock();
    c.removeSelectedText();
    insert_plain_text(c, text, format);
    c.endEditBlock();
    setTextCursor(c);
    setCurrentCharFormat(format);
}

void RichTextBox::merge_selection_format(const QTextCharFormat& format)
{
    // Without a selection this changes only the typing format.
    mergeCurrentCharFormat(format);
}

std::optional<QColor> RichTextBox::SelColor() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).colour;
}

void RichTextBox::setSelColor(const QColor& colour)
{
    QTextCharFormat f;
    f.setForeground(colour.isValid() ? colour.toRgb() : QColor(Qt::black));
    merge_selection_format(f);
}

std::optional<QString> RichTextBox::SelFontName() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).font_name;
}

void RichTextBox::setSelFontName(const QString& name)
{
    if (name.isEmpty())
        return;
    QTextCharFormat f;
    set_font_name(f, name);
    merge_selection_format(f);
}

std::optional<qreal> RichTextBox::SelFontSize() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).font_size;
}

bool RichTextBox::setSelFontSize(qreal points)
{
    if (!(points >= k_min_font_size && points <= k_max_font_size))
        return false;
    QTextCharFormat f;
    f.setFontPointSize(points);
    merge_selection_format(f);
    return true;
}

std::optional<bool> RichTextBox::SelBold() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).bold;
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    merge_selection_format(f);
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).italic;
}

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    merge_selection_format(f);
}

std::optional<bool> RichTextBox::SelStrikeThru() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).strike;
}

void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    merge_selection_format(f);
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    return selection_format(textCursor(), currentCharFormat(), document()->defaultFont()).underline;
}

void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    merge_selection_format(f);
}

std::optional<int> RichTextBox::SelAlignment() const
{
    return selection_alignment(textCursor());
}

bool RichTextBox::setSelAlignment(int code)
{
    return apply_alignment(textCursor(), code);
}

std::optional<bool> RichTextBox::SelBullet() const
{
    return selection_bullet(textCursor());
}

void RichTextBox::setSelBullet(bool on)
{
    apply_bullet(textCursor(), on);
}

// ---- the box ---------------------------------------------------------------

bool RichTextBox::Locked() const
{
    return isReadOnly();
}

void RichTextBox::setLocked(bool locked)
{
    setReadOnly(locked);
    setTextInteractionFlags(locked ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                   : Qt::TextEditorInteraction);
}

qreal RichTextBox::FontSize() const
{
    return document()->defaultFont().pointSizeF();
}

void RichTextBox::setFontSize(qreal points)
{
    if (!(points >= k_min_font_size && points <= k_max_font_size))
        return;
    const QScopedValueRollback<bool> loading(m_loading, true);
    QTextDocument* doc = document();
    const bool modified = doc->isModified();
    QFont font = doc->defaultFont();
    font.setPointSizeF(points);
    doc->setDefaultFont(font);
    QTextCharFormat size;
    size.setFontPointSize(points);
    QTextCursor all(doc);
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.mergeCharFormat(size);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        QTextCursor(b).mergeBlockCharFormat(size);
    all.endEditBlock();
    QTextCharFormat typing = currentCharFormat();
    typing.setFontPointSize(points);
    setCurrentCharFormat(typing);
    doc->setModified(modified);
}

QColor RichTextBox::back_color() const
{
    return palette().color(QPalette::Base);
}

void RichTextBox::set_back_color(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

QString RichTextBox::raw_text() const
{
    // Document positions: each paragraph end counts one character.
    QString raw;
    raw.reserve(document()->characterCount());
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        raw.append(b.text());
        raw.append(QChar::ParagraphSeparator);
    }
    return raw;
}

int RichTextBox::Find(const QString& text, int start, int options)
{
    const qsizetype pos = find_text(raw_text(), text, std::max(start, 0), options);
    if (pos < 0)
        return -1;
    if (!(options & k_find_no_highlight)) {
        QTextCursor c(document());
        c.setPosition(int(pos));
        c.setPosition(int(pos + text.size()), QTextCursor::KeepAnchor);
        setTextCursor(c);
    }
    return int(pos);
}

void RichTextBox::print_selection_or_all(QPagedPaintDevice& device) const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        document()->print(&device);
        return;
    }
    QTextDocument selection;
    selection.setDefaultFont(document()->defaultFont());
    QTextCursor(&selection).insertFragment(c.selection());
    selection.print(&device);
}

void RichTextBox::reset_rich_text()
{
    const QScopedValueRollback<bool> loading(m_loading, true);
    setText(QString());
    setTextRTF(QString());
    setSelFontName(reset_font_name());
    setSelFontSize(k_reset_font_size);
    setSelColor(QColor(Qt::black));
    setSelBold(false);
    setSelItalic(false);
    setSelStrikeThru(false);
    setSelUnderline(false);
    setSelAlignment(k_align_left);
    setSelBullet(false);
    setSelText(QStringLiteral(" "));
    // A reset is a load of an empty note, not an edit.
    document()->setModified(false);
    m_loaded = QStringLiteral("");
    m_changed = false;
}

// ---- clipboard -------------------------------------------------------------

QMimeData* RichTextBox::createMimeDataFromSelection() const
{
    const QTextCursor c = textCursor();
    QString plain = plain_text_of_selection(c);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Qt takes ownership of the returned object.
    return make_rich_mime_data(write_rtf(c.selection(), document()->defaultFont()), plain).release();
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return source && (!rtf_from_mime_data(*source).isEmpty() || source->hasText());
}

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    if (!source || isReadOnly())
        return;
    const QString rtf = rtf_from_mime_data(*source);
    if (!rtf.isEmpty()) {
        insert_rtf(rtf);
        return;
    }
    if (source->hasText())
        setSelText(source->text());
}

void reset_rich_text(RichTextBox& box)
{
    box.reset_rich_text();
}

} // namespace mosswick::richtext
