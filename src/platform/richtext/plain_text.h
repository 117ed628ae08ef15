#pragma once

#include <QString>
#include <QStringView>
#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;

namespace mosswick::richtext {

// Plain text follows one convention throughout the layer, that of the
// Windows rich-text box: paragraphs are separated by "\r\n", and a line break
// inside a paragraph is reported as "\r\n" too. There is no "\r\n" after the
// last paragraph.
inline constexpr QStringView k_paragraph_separator = u"\r\n";

// The text a rich-text box shows for a stored note, RTF or plain text,
// without building a document (the note search's hot path). Equal to
// plain_text_of() of the document read_note() builds; a null or empty note
// gives an empty text. Never throws.
QString extract_plain_text(QStringView note);

// The text of a whole document, as the rich-text box's Text reports it.
QString plain_text_of(const QTextDocument& doc);

// The text of a cursor's selection, in the same convention.
QString plain_text_of_selection(const QTextCursor& cursor);

// Inserts plain text at the cursor in the given character format, the way
// the box takes typed or pasted text: "\r\n", "\r", "\n" and U+2029 start a
// paragraph (with the current paragraph's format), "\v" and U+2028 break
// the line; NUL is dropped and characters Qt reserves become U+FFFD.
void insert_plain_text(QTextCursor& cursor, QStringView text, const QTextCharFormat& format);

// Find options of the box (their values are the box's own).
inline constexpr int k_find_whole_word = 2;
inline constexpr int k_find_match_case = 4;
inline constexpr int k_find_no_highlight = 8;

// Position of the first occurrence of needle in haystack at or after from,
// or -1. Without k_find_match_case the comparison ignores case; with
// k_find_whole_word a match must not touch a letter, digit or underscore
// on either side. An empty needle is never found.
qsizetype find_text(QStringView haystack, QStringView needle, qsizetype from, int options);

} // namespace mosswick::richtext
