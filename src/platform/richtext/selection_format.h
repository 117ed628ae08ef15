#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>

#include <optional>
#include <vector>

class QTextCursor;

namespace mosswick::richtext {

// The character formatting of a selection as the rich-text box reports it:
// a property is nullopt when the selected characters differ in it (the
// box's Null for a mixed selection).
struct SelectionFormat {
    std::optional<QString> font_name;
    std::optional<qreal> font_size;
    std::optional<QColor> colour;  // black stands for the automatic colour
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<bool> strike;
};

// Formatting of the selected characters; with no selection (or only
// paragraph ends selected), of typing_format, the format typing would use.
SelectionFormat selection_format(const QTextCursor& cursor, const QTextCharFormat& typing_format,
                                 const QFont& default_font);

// The paragraphs a selection touches: the cursor's paragraph without a
// selection; a selection ending at the very start of a paragraph does not
// touch that paragraph.
std::vector<QTextBlock> selected_blocks(const QTextCursor& cursor);

// Alignment code (0 left, 1 right, 2 centre) of the selected paragraphs;
// nullopt when they differ. Justified paragraphs report 0, as the box does.
std::optional<int> selection_alignment(const QTextCursor& cursor);

// Sets the alignment (0 left, 1 right, 2 centre) of the selected paragraphs;
// false, and nothing changed, for any other code.
bool apply_alignment(const QTextCursor& cursor, int code);

// Whether the selected paragraphs are bulleted; nullopt when they differ.
std::optional<bool> selection_bullet(const QTextCursor& cursor);

// Bullets the selected paragraphs (bullet at the margin, text half an inch
// in, joining a bullet list just above) or removes their bullets and
// indents.
void apply_bullet(const QTextCursor& cursor, bool on);

} // namespace mosswick::richtext
