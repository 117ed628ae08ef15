#include "platform/richtext/rtf_reader.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_parser_p.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <climits>

namespace mosswick::richtext {

namespace {

using detail::CharState;
using detail::ListKind;
using detail::ParaState;
using detail::Tables;

ListStyle style_of(ListKind kind)
{
    switch (kind) {
    case ListKind::Bullet: return ListStyle::Bullet;
    case ListKind::Decimal: return ListStyle::Decimal;
    case ListKind::LowerAlpha: return ListStyle::LowerAlpha;
    case ListKind::UpperAlpha: return ListStyle::UpperAlpha;
    case ListKind::LowerRoman: return ListStyle::LowerRoman;
    case ListKind::UpperRoman: return ListStyle::UpperRoman;
    default: return ListStyle::None;
    }
}

// Builds the document from what the parser reads.
class DocumentBuilder final : public detail::ParserSink {
public:
    explicit DocumentBuilder(QTextCursor& cursor, const KeepGoing& keep_going = {})
        : m_cursor(cursor), m_keep_going(keep_going)
    {
    }

    bool keep_going() override { return !m_keep_going || m_keep_going(); }

    void text(const QString& run, const CharState& ch, const Tables& tables) override
    {
        m_cursor.insertText(run, format(ch, tables));
    }

    void line_break(const CharState& ch, const Tables& tables) override
    {
        m_cursor.insertText(QString(QChar::LineSeparator), format(ch, tables));
    }

    void open_paragraph() override
    {
        m_cursor.insertBlock(QTextBlockFormat(), m_format);
    }

    void close_paragraph(const ParaState& para, ListKind list, const CharState& ch,
                         const Tables& tables) override
    {
        const ParagraphIndents indents{para.left_twips, para.first_twips, para.right_twips};
        m_cursor.setBlockFormat(make_block_format(para.align, indents, list != ListKind::None));
        m_cursor.setBlockCharFormat(format(ch, tables));
        attach_list(list, para.ilvl, para.list_id);
    }

private:
    const QTextCharFormat& format(const CharState& ch, const Tables& tables)
    {
        if (m_have_format && ch == m_state && tables.version == m_version)
            return m_format;
        const detail::FontEntry* font = tables.font_of(ch);
        m_format = make_char_format(font ? font->name : QString(), ch.half_points / 2.0,
                                    tables.colour_of(ch), ch.bold, ch.italic, ch.underline, ch.strike);
        m_state = ch;
        m_version = tables.version;
        m_have_format = true;
        return m_format;
    }

    // Consecutive paragraphs of one kind and level form one list, so that
    // numbers count on and Enter in the box continues the list.
    void attach_list(ListKind kind, int level, int id)
    {
        const QTextBlock block = m_cursor.block();
        if (kind == ListKind::None) {
            m_list = nullptr;
            return;
        }
        if (m_list && m_list_kind == kind && m_list_level == level && m_list_id == id
            && m_list_block + 1 == block.blockNumber()
            && m_list->count() < list_chunk_size(kind == ListKind::Bullet)) {
            m_list->add(block);
        } else {
            m_list = m_cursor.createList(make_list_format(style_of(kind)));
            m_list_kind = kind;
            m_list_level = level;
            m_list_id = id;
        }
        m_list_block = block.blockNumber();
    }

    QTextCursor& m_cursor;
    KeepGoing m_keep_going;   // a copy: the default argument is a temporary
    QTextCharFormat m_format;
    CharState m_state;
    int m_version = -1;
    bool m_have_format = false;
    QTextList* m_list = nullptr;
    ListKind m_list_kind = ListKind::None;
    int m_list_level = 0;
    int m_list_id = 0;
    int m_list_block = -1;
};

// Empties a document for a load: no undo history, the default font kept.
class LoadScope {
public:
    explicit LoadScope(QTextDocument& doc)
        : m_doc(doc), m_undo(doc.isUndoRedoEnabled()), m_font(doc.defaultFont()), m_cursor(&doc)
    {
        m_doc.setUndoRedoEnabled(false);
        m_doc.clear();
        m_doc.setDefaultFont(m_font);
        m_cursor = QTextCursor(&m_doc);
        m_cursor.beginEditBlock();
    }
    ~LoadScope()
    {
        m_cursor.endEditBlock();
        m_doc.setUndoRedoEnabled(m_undo);
        m_doc.setModified(false);
    }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

    QTextCursor& cursor() { return m_cursor; }

private:
    QTextDocument& m_doc;
    bool m_undo;
    QFont m_font;
    QTextCursor m_cursor;
};

} // namespace

bool is_rtf(QStringView note)
{
    return note.startsWith(u"{\\rtf");
}

void read_rtf(QStringView rtf, QTextDocument& doc)
{
    LoadScope scope(doc);
    DocumentBuilder builder(scope.cursor());
    detail::parse_rtf(rtf, builder);
}

bool read_note(QStringView note, QTextDocument& doc, const QTextCharFormat& plain_char_format,
               const QTextBlockFormat& plain_block_format, const KeepGoing& keep_going)
{
    bool complete = true;
    {
        LoadScope scope(doc);
        QTextCursor& cursor = scope.cursor();
        if (is_rtf(note)) {
            DocumentBuilder builder(cursor, keep_going);
            complete = detail::parse_rtf(note, builder);
        } else {
            cursor.setBlockFormat(plain_block_format);
            cursor.setBlockCharFormat(plain_char_format);
            // Plain text goes in by pieces, so that a long note can be stopped;
            // a piece never ends inside a CR LF or a surrogate pair.
            qsizetype at = 0;
            while (at < note.size() && complete) {
                qsizetype end = std::min(note.size(), at + detail::k_parse_check_interval);
                if (end < note.size() && (note[end - 1] == u'\r' || note[end - 1].isHighSurrogate()))
                    ++end;
                insert_plain_text(cursor, note.sliced(at, end - at), plain_char_format);
                at = end;
                complete = at >= note.size() || !keep_going || keep_going();
            }
        }
    }
    if (!complete)
        doc.clear();
    return complete;
}

QString rtf_from_bytes(QByteArrayView bytes)
{
    static const char hex[] = "0123456789abcdef";
    QString out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80) {
            out.append(u"\\'");
            out.append(QLatin1Char(hex[b >> 4]));
            out.append(QLatin1Char(hex[b & 15]));
            ++i;
            continue;
        }
        out.append(QLatin1Char(char(b)));
        ++i;
        if (b != '\\' || i >= n)
            continue;
        // Keep an escaped character with its backslash, and the data of
        // \binN unchanged: the parser skips exactly N characters there.
        const char next = bytes[i];
        const bool letter = (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z');
        if (!letter) {
            if (static_cast<unsigned char>(next) < 0x80) {
                out.append(QLatin1Char(next));
                ++i;
            }
            continue;
        }
        qsizetype word_end = i;
        while (word_end < n && ((bytes[word_end] >= 'a' && bytes[word_end] <= 'z')
                                || (bytes[word_end] >= 'A' && bytes[word_end] <= 'Z')))
            ++word_end;
        const bool is_bin = word_end - i == 3 && bytes.sliced(i, 3) == QByteArrayView("bin");
        out.append(QLatin1StringView(bytes.data() + i, word_end - i));
        i = word_end;
        if (!is_bin)
            continue;
        long long count = 0;
        while (i < n && bytes[i] >= '0' && bytes[i] <= '9') {
            if (count < INT_MAX)
                count = count * 10 + (bytes[i] - '0');
            out.append(QLatin1Char(bytes[i]));
            ++i;
        }
        if (i < n && bytes[i] == ' ') {
            out.append(QLatin1Char(' '));
            ++i;
        }
        const qsizetype take = qsizetype(std::min<long long>(count, n - i));
        out.append(QLatin1StringView(bytes.data() + i, take));
        i += take;
    }
    return out;
}

} // namespace mosswick::richtext
