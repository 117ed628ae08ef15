#include "platform/richtext/rtf_writer.h"

#include "platform/richtext/code_pages.h"
#include "platform/richtext/rich_format.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace mosswick::richtext {

namespace {

constexpr char k_hex[] = "0123456789abcdef";

struct RunProps {
    int font = 0;
    int half_points = 24;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
};

struct ParaProps {
    int align = 0;
    ParagraphIndents indents;
    ListStyle list = ListStyle::None;
    const QTextList* list_object = nullptr;
    friend bool operator==(const ParaProps&, const ParaProps&) = default;
};

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc), m_default(doc.defaultFont()) {}

    QString write()
    {
        collect();
        m_out.reserve(m_doc.characterCount() * 2 + 256);
        header();
        body();
        m_out.append(u"}\r\n");
        return m_out;
    }

private:
    // ---- tables ----------------------------------------------------------

    int font_index(const QString& name)
    {
        const auto it = m_font_index.constFind(name);
        if (it != m_font_index.constEnd())
            return it.value();
        const int index = int(m_fonts.size());
        m_fonts.append(name);
        m_font_index.insert(name, index);
        return index;
    }

    int colour_index(const QColor& c)
    {
        const QRgb rgb = c.rgb() & 0xFFFFFF;
        const auto it = m_colour_index.constFind(rgb);
        if (it != m_colour_index.constEnd())
            return it.value();
        m_colours.push_back(rgb);
        const int index = int(m_colours.size()); // \cf0 is the automatic colour
        m_colour_index.insert(rgb, index);
        return index;
    }

    RunProps props_of(const QTextCharFormat& f)
    {
        RunProps r;
        r.font = font_index(font_name_of(f, m_default));
        const long half = std::lround(font_size_of(f, m_default) * 2);
        r.half_points = int(std::clamp<long>(half, 1, 3276));
        r.colour = has_explicit_colour(f) ? colour_index(colour_of(f)) : 0;
        r.bold = is_bold(f);
        r.italic = f.fontItalic();
        r.underline = is_underlined(f);
        r.strike = f.fontStrikeOut();
        return r;
    }

    // Tables list fonts and colours in order of first use, so the output
    // depends only on the document.
    void collect()
    {
        bool bullets = false;
        for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
            if (list_style_of(b) == ListStyle::Bullet)
                bullets = true;
            if (b.length() <= 1) {
                props_of(b.charFormat());
                continue;
            }
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().isValid())
                    props_of(it.fragment().charFormat());
        }
        if (m_fonts.isEmpty())
            font_index(font_name_of(QTextCharFormat(), m_default));
        if (bullets)
            m_symbol_font = font_index(QStringLiteral("Symbol"));
    }

    void header()
    {
        m_out.append(u"{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
        for (qsizetype i = 0; i < m_fonts.size(); ++i) {
            const bool symbol = m_fonts[i] == u"Symbol";
            m_out.append(u"{\\f");
            m_out.append(QString::number(i));
            m_out.append(symbol ? u"\\fnil\\fcharset2 " : u"\\fnil\\fcharset0 ");
            append_font_name(m_fonts[i]);
            m_out.append(u";}");
        }
        m_out.append(u"}\r\n");
        if (!m_colours.empty()) {
            m_out.append(u"{\\colortbl ;");
            for (QRgb rgb : m_colours) {
                m_out.append(QStringLiteral("\\red") + QString::number(qRed(rgb)));
                m_out.append(QStringLiteral("\\green") + QString::number(qGreen(rgb)));
                m_out.append(QStringLiteral("\\blue") + QString::number(qBlue(rgb)));
                m_out.append(u';');
            }
            m_out.append(u"}\r\n");
        }
        m_out.append(u"\\viewkind4\\uc1");
    }

    void append_font_name(const QString& name)
    {
        for (QChar c : clean_font_name(name)) {
            if (c == u';')
                m_out.append(u"\\'3b");
            else
                append_char(c);
        }
        m_need_delim = false;
    }

    // ---- body ------------------------------------------------------------

    ParaProps para_of(const QTextBlock& b) const
    {
        ParaProps p;
        p.list = list_style_of(b);
        // Consecutive bullet lists look and read back as one list; numbered
        // lists restart their numbers, so a new one rewrites \pn.
        p.list_object = p.list == ListStyle::Bullet ? nullptr : b.textList();
        p.align = alignment_code(b.blockFormat().alignment());
        p.indents = indents_of(b.blockFormat(), p.list != ListStyle::None);
        return p;
    }

    void body()
    {
        bool first = true;
        ParaProps previous;
        for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
            const ParaProps p = para_of(b);
            const bool changed = first || !(p == previous);
            if (changed) {
                control(u"\\pard");
                switch (p.align) {
                case k_align_right: control(u"\\qr"); break;
                case k_align_centre: control(u"\\qc"); break;
                case 3: control(u"\\qj"); break;
                default: break;
                }
            }
            if (p.list != ListStyle::None) {
                // A numbered list right after another of its style would
                // read back as its continuation.
                const bool restart = changed && !first && p.list != ListStyle::Bullet
                                     && p.list == previous.list && p.list_object != previous.list_object;
                list_item(b, p, changed, restart);
            }
            if (changed) {
                if (p.indents.first_twips != 0)
                    control(u"\\fi", p.indents.first_twips);
                if (p.indents.left_twips != 0)
                    control(u"\\li", p.indents.left_twips);
                if (p.indents.right_twips != 0)
                    control(u"\\ri", p.indents.right_twips);
            }
            if (b.length() <= 1) {
                run(props_of(b.charFormat()));
            } else {
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextFragment frag = it.fragment();
                    if (!frag.isValid())
                        continue;
                    run(props_of(frag.charFormat()));
                    append_text(frag.text());
                }
            }
            m_out.append(u"\\par\r\n");
            m_need_delim = false;
            previous = p;
            first = false;
        }
    }

    // The \pntext fallback before every item, and the \pn destination where
    // the paragraph properties are (re)written, as the box writes them.
    void list_item(const QTextBlock& b, const ParaProps& p, bool with_pn, bool restart)
    {
        if (p.list == ListStyle::Bullet) {
            m_out.append(QStringLiteral("{\\pntext\\f") + QString::number(m_symbol_font) + QStringLiteral("\\'B7\\tab}"));
            if (with_pn)
                m_out.append(QStringLiteral("{\\*\\pn\\pnlvlblt\\pnf") + QString::number(m_symbol_font)
                             + QStringLiteral("\\pnindent0{\\pntxtb\\'B7}}"));
            m_need_delim = false;
            return;
        }
        const int font = b.length() > 1 && b.begin().fragment().isValid()
                             ? props_of(b.begin().fragment().charFormat()).font
                             : props_of(b.charFormat()).font;
        m_out.append(QStringLiteral("{\\pntext\\f") + QString::number(font));
        m_need_delim = true;
        append_text(b.textList() ? b.textList()->itemText(b) : QString());
        m_out.append(u"\\tab}");
        m_need_delim = false;
        if (!with_pn)
            return;
        const char16_t* style = u"\\pndec";
        switch (p.list) {
        case ListStyle::LowerAlpha: style = u"\\pnlcltr"; break;
        case ListStyle::UpperAlpha: style = u"\\pnucltr"; break;
        case ListStyle::LowerRoman: style = u"\\pnlcrm"; break;
        case ListStyle::UpperRoman: style = u"\\pnucrm"; break;
        default: break;
        }
        m_out.append(QStringLiteral("{\\*\\pn\\pnlvlbody\\pnf") + QString::number(font) + QStringLiteral("\\pnindent0\\pnstart1"));
        if (restart)
            m_out.append(u"\\pnrestart");
        m_out.append(QStringView(style));
        m_out.append(u"{\\pntxta.}}");
    }

    void run(const RunProps& r)
    {
        const bool all = !m_have_run;
        if (all || r.colour != m_run.colour)
            control(u"\\cf", r.colour);
        if (all || r.font != m_run.font)
            control(u"\\f", r.font);
        if (all || r.half_points != m_run.half_points)
            control(u"\\fs", r.half_points);
        if ((all && r.bold) || (!all && r.bold != m_run.bold))
            control(r.bold ? u"\\b" : u"\\b0");
        if ((all && r.italic) || (!all && r.italic != m_run.italic))
            control(r.italic ? u"\\i" : u"\\i0");
        if ((all && r.underline) || (!all && r.underline != m_run.underline))
            control(r.underline ? u"\\ul" : u"\\ulnone");
        if ((all && r.strike) || (!all && r.strike != m_run.strike))
            control(r.strike ? u"\\strike" : u"\\strike0");
        m_run = r;
        m_have_run = true;
    }

    void control(QStringView word)
    {
        m_out.append(word);
        m_need_delim = true;
    }

    void control(QStringView word, int value)
    {
        m_out.append(word);
        m_out.append(QString::number(value));
        m_need_delim = true;
    }

    void append_text(const QString& text)
    {
        for (QChar c : text) {
            switch (c.unicode()) {
            case '\t': control(u"\\tab"); break;
            case QChar::LineSeparator: control(u"\\line"); break;
            default: append_char(c); break;
            }
        }
    }

    void append_char(QChar c)
    {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            m_out.append(u'\\');
            m_out.append(c);
            m_need_delim = false;
            return;
        }
        if (u >= 0x20 && u < 0x7F) {
            if (m_need_delim)
                m_out.append(u' ');
            m_out.append(c);
            m_need_delim = false;
            return;
        }
        const int byte = (u < 0x20 || u == 0x7F) ? int(u) : cp1252_byte(u);
        if (byte >= 0) {
            m_out.append(u"\\'");
            m_out.append(QLatin1Char(k_hex[byte >> 4]));
            m_out.append(QLatin1Char(k_hex[byte & 15]));
        } else {
            // \uN takes a signed 16-bit number; '?' is the one fallback character.
            m_out.append(u"\\u");
            m_out.append(QString::number(u > 32767 ? int(u) - 65536 : int(u)));
            m_out.append(u'?');
        }
        m_need_delim = false;
    }

    const QTextDocument& m_doc;
    QFont m_default;
    QStringList m_fonts;
    QHash<QString, int> m_font_index;
    std::vector<QRgb> m_colours;
    QHash<QRgb, int> m_colour_index;
    int m_symbol_font = 0;
    QString m_out;
    bool m_need_delim = false;
    RunProps m_run;
    bool m_have_run = false;
};

} // namespace

QString write_rtf(const QTextDocument& doc)
{
    Writer writer(doc);
    return writer.write();
}

QString write_rtf(const QTextDocumentFragment& fragment, const QFont& default_font)
{
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    doc.setDefaultFont(default_font);
    QTextCursor cursor(&doc);
    cursor.insertFragment(fragment);
    return write_rtf(doc);
}

} // namespace mosswick::richtext
