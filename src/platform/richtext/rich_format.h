#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>
#include <QTextListFormat>

class QTextBlock;

namespace mosswick::richtext {

// Fixed conversion of the layer: 15 twips to one logical pixel.
inline constexpr int k_twips_per_pixel = 15;

// The reset format of a note box: Comic Sans MS 8 pt, black, plain.
inline constexpr qreal k_reset_font_size = 8.0;

// The reset font's name, "Comic Sans MS".
QString reset_font_name();

// Alignment codes of the rich-text box (SelAlignment).
inline constexpr int k_align_left = 0;
inline constexpr int k_align_right = 1;
inline constexpr int k_align_centre = 2;

// Indents of the paragraph bullet the box applies: the bullet at the margin,
// the text one half inch in.
inline constexpr int k_bullet_left_twips = 720;
inline constexpr int k_bullet_first_twips = -720;

// Block-format properties that keep a paragraph's RTF indents in twips. On
// screen a bullet replaces the first-line indent, so the twips are kept
// apart from Qt's margins to be written back unchanged.
enum IndentProperty : int {
    k_left_twips_property = QTextFormat::UserProperty + 0x5201,
    k_first_twips_property,
    k_right_twips_property,
};

// Most items one QTextList holds. Qt marks every item of a list for layout
// whenever one is added, which makes building a long list quadratic, so long
// lists are made of consecutive lists of this many items: invisible for
// bullets; numbering restarts after this many items.
int list_chunk_size(bool bulleted);

// Paragraph list styles the layer reads and writes.
enum class ListStyle { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct ParagraphIndents {
    int left_twips = 0;
    int first_twips = 0;
    int right_twips = 0;
    friend bool operator==(const ParagraphIndents&, const ParagraphIndents&) = default;
};

// The reset character format (Comic Sans MS 8, black, plain).
QTextCharFormat reset_char_format();

// The reset paragraph format (left-aligned, no indent, no bullet).
QTextBlockFormat reset_block_format();

// The font the layer shows documents in by default (the reset font).
QFont default_document_font();

// A character format with every property the layer round-trips set
// explicitly; an invalid colour means the automatic (window text) colour.
QTextCharFormat make_char_format(const QString& font_name, qreal point_size, const QColor& colour,
                                 bool bold, bool italic, bool underline, bool strike);

// A paragraph format from RTF values: alignment code 0 left, 1 right,
// 2 centre, 3 justified; indents in twips.
QTextBlockFormat make_block_format(int align, const ParagraphIndents& indents, bool listed);

// The RTF indents of a paragraph, from the kept twips when they still match
// the margins on screen, else from the margins.
ParagraphIndents indents_of(const QTextBlockFormat& format, bool listed);

// The list style of a paragraph (None when it is in no list).
ListStyle list_style_of(const QTextBlock& block);

// A list format for a style, drawn at the paragraph's own indent.
QTextListFormat make_list_format(ListStyle style);

// Alignment code (0 left, 1 right, 2 centre, 3 justified) of Qt flags.
int alignment_code(Qt::Alignment alignment);

// Longest font name kept (longer names are cut).
inline constexpr qsizetype k_max_font_name_length = 255;

// A font name as the layer keeps it: without control characters, at most
// k_max_font_name_length characters, no surrounding blanks.
QString clean_font_name(const QString& name);

// Sets a format's font name, kept verbatim whatever face the screen uses.
void set_font_name(QTextCharFormat& format, const QString& name);

// Font name of a format, verbatim; fallback's family when it has none.
QString font_name_of(const QTextCharFormat& format, const QFont& fallback);

// Point size of a format; fallback's size when it has none.
qreal font_size_of(const QTextCharFormat& format, const QFont& fallback);

// Colour of a format; black for the automatic colour.
QColor colour_of(const QTextCharFormat& format);

// Whether a format has an explicit (non-automatic) colour.
bool has_explicit_colour(const QTextCharFormat& format);

// Whether a format is bold (heavier than medium).
bool is_bold(const QTextCharFormat& format);

// Whether a format is underlined, in any underline style.
bool is_underlined(const QTextCharFormat& format);

} // namespace mosswick::richtext
