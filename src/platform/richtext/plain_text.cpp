#include "platform/richtext/plain_text.h"

#include "platform/richtext/rtf_parser_p.h"
#include "platform/richtext/rtf_reader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace mosswick::richtext {

namespace {

bool is_high(QChar c) { return c.isHighSurrogate(); }
bool is_low(QChar c) { return c.isLowSurrogate(); }

// Splits plain text into text pieces, paragraph ends and line breaks; the
// one tokenizer behind both insert_plain_text and extract_plain_text.
template <class OnText, class OnParagraph, class OnLine>
void for_each_plain_piece(QStringView text, OnText on_text, OnParagraph on_paragraph, OnLine on_line)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    QString cleaned; // used only for pieces that need a character replaced
    auto emit_piece = [&](qsizetype end) {
        if (end > start)
            on_text(text.sliced(start, end - start));
        start = end;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != 0x2028 && u != 0x2029 && u != 0xFDD0 && u != 0xFDD1
            && !c.isSurrogate())
            continue;
        if (u == '\r' || u == '\n' || u == 0x2029) {
            emit_piece(i);
            if (u == '\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
            on_paragraph();
        } else if (u == 0x0B || u == 0x2028) {
            emit_piece(i);
            start = i + 1;
            on_line();
        } else if (u == 0) {
            emit_piece(i);
            start = i + 1;
        } else if (u == 0xFDD0 || u == 0xFDD1) {
            emit_piece(i);
            start = i + 1;
            on_text(QStringView(u"\uFFFD"));
        } else if (is_high(c) && i + 1 < n && is_low(text[i + 1])) {
            ++i;
        } else if (is_high(c) || is_low(c)) {
            emit_piece(i);
            start = i + 1;
            on_text(QStringView(u"\uFFFD"));
        }
    }
    emit_piece(n);
}

class PlainSink final : public detail::ParserSink {
public:
    explicit PlainSink(QString& out) : m_out(out) {}
    void text(const QString& run, const detail::CharState&, const detail::Tables&) override
    {
        m_out.append(run);
    }
    void line_break(const detail::CharState&, const detail::Tables&) override
    {
        m_out.append(k_paragraph_separator);
    }
    void open_paragraph() override { m_out.append(k_paragraph_separator); }
    void close_paragraph(const detail::ParaState&, detail::ListKind, const detail::CharState&,
                         const detail::Tables&) override
    {
    }

private:
    QString& m_out;
};

void append_block_text(QString& out, const QString& block_text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < block_text.size(); ++i) {
        if (block_text[i] == QChar::LineSeparator) {
            out.append(QStringView(block_text).sliced(start, i - start));
            out.append(k_paragraph_separator);
            start = i + 1;
        }
    }
    out.append(QStringView(block_text).sliced(start));
}

bool is_word_char(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

} // namespace

QString extract_plain_text(QStringView note)
{
    QString out;
    if (note.isEmpty())
        return out;
    if (is_rtf(note)) {
        // Visible text is a fraction of the markup; avoid regrowing from zero.
        out.reserve(note.size() / 2);
        PlainSink sink(out);
        detail::parse_rtf(note, sink);
        return out;
    }
    out.reserve(note.size());
    for_each_plain_piece(
        note, [&](QStringView piece) { out.append(piece); },
        [&] { out.append(k_paragraph_separator); }, [&] { out.append(k_paragraph_separator); });
    return out;
}

QString plain_text_of(const QTextDocument& doc)
{
    QString out;
    out.reserve(doc.characterCount() + doc.blockCount());
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin())
            out.append(k_paragraph_separator);
        append_block_text(out, b.text());
    }
    return out;
}

QString plain_text_of_selection(const QTextCursor& cursor)
{
    const QString s = cursor.selectedText();
    QString out;
    out.reserve(s.size() + 16);
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QChar::LineSeparator || s[i] == QChar::ParagraphSeparator) {
            out.append(QStringView(s).sliced(start, i - start));
            out.append(k_paragraph_separator);
            start = i + 1;
        }
    }
    out.append(QStringView(s).sliced(start));
    return out;
}

void insert_plain_text(QTextCursor& cursor, QStringView text, const QTextCharFormat& format)
{
    for_each_plain_piece(
        text, [&](QStringView piece) { cursor.insertText(piece.toString(), format); },
        [&] { cursor.insertBlock(cursor.blockFormat(), format); },
        [&] { cursor.insertText(QString(QChar::LineSeparator), format); });
}

qsizetype find_text(QStringView haystack, QStringView needle, qsizetype from, int options)
{
    if (needle.isEmpty() || from < 0 || from >= haystack.size())
        return -1;
    const Qt::CaseSensitivity cs =
        (options & k_find_match_case) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool whole = options & k_find_whole_word;
    qsizetype pos = from;
    while (true) {
        pos = haystack.indexOf(needle, pos, cs);
        if (pos < 0)
            return -1;
        if (!whole)
            return pos;
        const qsizetype end = pos + needle.size();
        const bool clear_before = pos == 0 || !is_word_char(haystack[pos - 1]);
        const bool clear_after = end >= haystack.size() || !is_word_char(haystack[end]);
        if (clear_before && clear_after)
            return pos;
        ++pos;
    }
}

} // namespace mosswick::richtext
