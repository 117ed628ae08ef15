#include "platform/richtext/rich_format.h"

#include <QTextBlock>
#include <QTextList>

#include <cmath>

namespace mosswick::richtext {

namespace {

qreal twips_to_pixels(int twips)
{
    return qreal(twips) / k_twips_per_pixel;
}

int pixels_to_twips(qreal pixels)
{
    return int(std::lround(pixels * k_twips_per_pixel));
}

// What the margins show for a paragraph's twips: no negative margins, and a
// first line never further left than the page edge; a bullet takes the
// first-line indent's place.
struct ScreenIndents {
    qreal left;
    qreal first;
    qreal right;
};

ScreenIndents on_screen(const ParagraphIndents& t, bool listed)
{
    const int left = std::max(t.left_twips, 0);
    const int first = listed ? 0 : std::max(t.first_twips, -left);
    return {twips_to_pixels(left), twips_to_pixels(first), twips_to_pixels(std::max(t.right_twips, 0))};
}

bool same(qreal a, qreal b)
{
    return std::abs(a - b) < 0.01;
}

} // namespace

QString clean_font_name(const QString& name)
{
    QString clean;
    clean.reserve(name.size());
    for (QChar c : name)
        if (c.unicode() >= 0x20)
            clean.append(c);
    clean.truncate(k_max_font_name_length);
    return clean.trimmed();
}

void set_font_name(QTextCharFormat& format, const QString& name)
{
    format.setFontFamilies(QStringList{name});
}

QString reset_font_name()
{
    return QStringLiteral("Comic Sans MS");
}

QTextCharFormat reset_char_format()
{
    return make_char_format(reset_font_name(), k_reset_font_size, QColor(Qt::black), false, false,
                            false, false);
}

QTextBlockFormat reset_block_format()
{
    return make_block_format(k_align_left, ParagraphIndents{}, false);
}

QFont default_document_font()
{
    QFont font(reset_font_name());
    font.setPointSizeF(k_reset_font_size);
    return font;
}

QTextCharFormat make_char_format(const QString& font_name, qreal point_size, const QColor& colour,
                                 bool bold, bool italic, bool underline, bool strike)
{
    QTextCharFormat f;
    if (!font_name.isEmpty())
        set_font_name(f, font_name);
    if (point_size > 0)
        f.setFontPointSize(point_size);
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    f.setFontStrikeOut(strike);
    if (colour.isValid())
        f.setForeground(colour);
    return f;
}

QTextBlockFormat make_block_format(int align, const ParagraphIndents& indents, bool listed)
{
    QTextBlockFormat f;
    switch (align) {
    case k_align_right: f.setAlignment(Qt::AlignRight); break;
    case k_align_centre: f.setAlignment(Qt::AlignHCenter); break;
    case 3: f.setAlignment(Qt::AlignJustify); break;
    default: f.setAlignment(Qt::AlignLeft); break;
    }
    const ScreenIndents s = on_screen(indents, listed);
    f.setLeftMargin(s.left);
    f.setTextIndent(s.first);
    f.setRightMargin(s.right);
    if (indents.left_twips != 0)
        f.setProperty(k_left_twips_property, indents.left_twips);
    if (indents.first_twips != 0)
        f.setProperty(k_first_twips_property, indents.first_twips);
    if (indents.right_twips != 0)
        f.setProperty(k_right_twips_property, indents.right_twips);
    return f;
}

ParagraphIndents indents_of(const QTextBlockFormat& format, bool listed)
{
    ParagraphIndents kept;
    kept.left_twips = format.intProperty(k_left_twips_property);
    kept.first_twips = format.intProperty(k_first_twips_property);
    kept.right_twips = format.intProperty(k_right_twips_property);
    const ScreenIndents s = on_screen(kept, listed);
    if (same(s.left, format.leftMargin()) && same(s.first, format.textIndent())
        && same(s.right, format.rightMargin()))
        return kept;
    // Margins changed since the twips were kept (or there were none).
    ParagraphIndents now;
    now.left_twips = pixels_to_twips(format.leftMargin());
    now.first_twips = listed ? kept.first_twips : pixels_to_twips(format.textIndent());
    now.right_twips = pixels_to_twips(format.rightMargin());
    return now;
}

ListStyle list_style_of(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    if (!list)
        return ListStyle::None;
    switch (list->format().style()) {
    case QTextListFormat::ListDecimal: return ListStyle::Decimal;
    case QTextListFormat::ListLowerAlpha: return ListStyle::LowerAlpha;
    case QTextListFormat::ListUpperAlpha: return ListStyle::UpperAlpha;
    case QTextListFormat::ListLowerRoman: return ListStyle::LowerRoman;
    case QTextListFormat::ListUpperRoman: return ListStyle::UpperRoman;
    default: return ListStyle::Bullet;
    }
}

int list_chunk_size(bool bulleted)
{
    return bulleted ? 64 : 500;
}

QTextListFormat make_list_format(ListStyle style)
{
    QTextListFormat f;
    switch (style) {
    case ListStyle::Decimal: f.setStyle(QTextListFormat::ListDecimal); break;
    case ListStyle::LowerAlpha: f.setStyle(QTextListFormat::ListLowerAlpha); break;
    case ListStyle::UpperAlpha: f.setStyle(QTextListFormat::ListUpperAlpha); break;
    case ListStyle::LowerRoman: f.setStyle(QTextListFormat::ListLowerRoman); break;
    case ListStyle::UpperRoman: f.setStyle(QTextListFormat::ListUpperRoman); break;
    default: f.setStyle(QTextListFormat::ListDisc); break;
    }
    // The paragraph's own left margin places the item, as in RTF.
    f.setIndent(0);
    return f;
}

int alignment_code(Qt::Alignment alignment)
{
    const Qt::Alignment h = alignment & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        return 3;
    if (h & Qt::AlignHCenter)
        return k_align_centre;
    if (h & Qt::AlignRight)
        return k_align_right;
    return k_align_left;
}

QString font_name_of(const QTextCharFormat& format, const QFont& fallback)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    // Formats made elsewhere (a pasted fragment) may name a single family.
    const QString family = format.property(QTextFormat::FontFamily).toString();
    if (!family.isEmpty())
        return family;
    return fallback.family();
}

qreal font_size_of(const QTextCharFormat& format, const QFont& fallback)
{
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        return format.fontPointSize();
    const qreal size = fallback.pointSizeF();
    return size > 0 ? size : 12.0;
}

bool has_explicit_colour(const QTextCharFormat& format)
{
    return format.hasProperty(QTextFormat::ForegroundBrush)
           && format.foreground().style() != Qt::NoBrush;
}

QColor colour_of(const QTextCharFormat& format)
{
    if (!has_explicit_colour(format))
        return QColor(Qt::black);
    QColor c = format.foreground().color();
    c.setAlpha(255);
    return c.toRgb();
}

bool is_bold(const QTextCharFormat& format)
{
    return format.fontWeight() > QFont::Medium;
}

bool is_underlined(const QTextCharFormat& format)
{
    return format.fontUnderline()
           || (format.hasProperty(QTextFormat::TextUnderlineStyle)
               && format.underlineStyle() != QTextCharFormat::NoUnderline);
}

} // namespace mosswick::richtext
