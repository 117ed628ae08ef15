#include "platform/richtext/selection_format.h"

#include "platform/richtext/rich_format.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace mosswick::richtext {

namespace {

// Collects one property over many formats, remembering a mismatch.
template <class T>
class Agreement {
public:
    void add(const T& value)
    {
        if (!m_seen) {
            m_value = value;
            m_seen = true;
        } else if (!(m_value == value)) {
            m_mixed = true;
        }
    }
    std::optional<T> result() const
    {
        if (!m_seen || m_mixed)
            return std::nullopt;
        return m_value;
    }

private:
    T m_value{};
    bool m_seen = false;
    bool m_mixed = false;
};

struct FormatAgreement {
    Agreement<QString> font_name;
    Agreement<qreal> font_size;
    Agreement<QRgb> colour;
    Agreement<bool> bold;
    Agreement<bool> italic;
    Agreement<bool> underline;
    Agreement<bool> strike;

    void add(const QTextCharFormat& f, const QFont& default_font)
    {
        font_name.add(font_name_of(f, default_font));
        font_size.add(font_size_of(f, default_font));
        colour.add(colour_of(f).rgb());
        bold.add(is_bold(f));
        italic.add(f.fontItalic());
        underline.add(is_underlined(f));
        strike.add(f.fontStrikeOut());
    }

    SelectionFormat result() const
    {
        SelectionFormat s;
        s.font_name = font_name.result();
        s.font_size = font_size.result();
        if (const auto rgb = colour.result())
            s.colour = QColor::fromRgb(*rgb);
        s.bold = bold.result();
        s.italic = italic.result();
        s.underline = underline.result();
        s.strike = strike.result();
        return s;
    }
};

} // namespace

SelectionFormat selection_format(const QTextCursor& cursor, const QTextCharFormat& typing_format,
                                 const QFont& default_font)
{
    FormatAgreement agreement;
    bool any = false;
    if (cursor.hasSelection()) {
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        const QTextDocument* doc = cursor.document();
        for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                if (!frag.isValid() || frag.position() + frag.length() <= start || frag.position() >= end)
                    continue;
                agreement.add(frag.charFormat(), default_font);
                any = true;
            }
        }
    }
    if (!any)
        agreement.add(typing_format, default_font);
    return agreement.result();
}

std::vector<QTextBlock> selected_blocks(const QTextCursor& cursor)
{
    std::vector<QTextBlock> blocks;
    const QTextDocument* doc = cursor.document();
    if (!doc)
        return blocks;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock b = doc->findBlock(start); b.isValid(); b = b.next()) {
        if (b.position() > end || (b.position() == end && end > start))
            break;
        blocks.push_back(b);
    }
    return blocks;
}

std::optional<int> selection_alignment(const QTextCursor& cursor)
{
    Agreement<int> agreement;
    for (const QTextBlock& b : selected_blocks(cursor)) {
        const int code = alignment_code(b.blockFormat().alignment());
        agreement.add(code == 3 ? k_align_left : code);
    }
    return agreement.result();
}

bool apply_alignment(const QTextCursor& cursor, int code)
{
    Qt::Alignment alignment;
    switch (code) {
    case k_align_left: alignment = Qt::AlignLeft; break;
    case k_align_right: alignment = Qt::AlignRight; break;
    case k_align_centre: alignment = Qt::AlignHCenter; break;
    default: return false;
    }
    QTextBlockFormat f;
    f.setAlignment(alignment);
    QTextCursor edit(cursor);
    edit.beginEditBlock();
    for (const QTextBlock& b : selected_blocks(cursor)) {
        QTextCursor c(b);
        c.mergeBlockFormat(f);
    }
    edit.endEditBlock();
    return true;
}

std::optional<bool> selection_bullet(const QTextCursor& cursor)
{
    Agreement<bool> agreement;
    for (const QTextBlock& b : selected_blocks(cursor))
        agreement.add(list_style_of(b) == ListStyle::Bullet);
    return agreement.result();
}

void apply_bullet(const QTextCursor& cursor, bool on)
{
    const std::vector<QTextBlock> blocks = selected_blocks(cursor);
    if (blocks.empty())
        return;
    QTextCursor edit(cursor);
    edit.beginEditBlock();
    QTextList* list = nullptr;
    if (on) {
        const QTextBlock above = blocks.front().previous();
        if (above.isValid() && list_style_of(above) == ListStyle::Bullet)
            list = above.textList();
        if (list && list->count() >= list_chunk_size(true))
            list = nullptr;
    }
    for (const QTextBlock& b : blocks) {
        const bool bulleted = list_style_of(b) == ListStyle::Bullet;
        if (on && bulleted) {
            list = b.textList(); // already bulleted: later blocks continue its list
            continue;
        }
        if (QTextList* old = b.textList())
            old->remove(b);
        const QTextBlockFormat old_format = b.blockFormat();
        ParagraphIndents indents = indents_of(old_format, false);
        if (on) {
            indents.left_twips = k_bullet_left_twips;
            indents.first_twips = k_bullet_first_twips;
        } else {
            indents.left_twips = 0;
            indents.first_twips = 0;
        }
        QTextCursor c(b);
        c.setBlockFormat(make_block_format(alignment_code(old_format.alignment()), indents, on));
        if (!on)
            continue;
        if (list && list->count() < list_chunk_size(true))
            list->add(b);
        else
            list = c.createList(make_list_format(ListStyle::Bullet));
    }
    edit.endEditBlock();
}

} // namespace mosswick::richtext
