#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <functional>

class QTextDocument;

namespace mosswick::richtext {

// True when a stored note is RTF, that is when it starts with "{\rtf";
// anything else is plain text.
bool is_rtf(QStringView note);

// Replaces the document's content by what the RTF shows: fonts (names
// verbatim), sizes, colours, bold, italic, underline, strike-through,
// alignment, indents, bullets and numbered lists, tabs, line breaks and
// paragraphs. Never throws; malformed or truncated input gives its best
// text. Leaves the document unmodified and without undo history.
void read_rtf(QStringView rtf, QTextDocument& doc);

// Asked now and then while a long note is read; false stops the reading.
using KeepGoing = std::function<bool()>;

// Replaces the document's content by a stored note: RTF is read, anything
// else becomes plain text in the given formats. When keep_going says stop,
// the document is left empty and false returned.
bool read_note(QStringView note, QTextDocument& doc, const QTextCharFormat& plain_char_format,
               const QTextBlockFormat& plain_block_format, const KeepGoing& keep_going = {});

// RTF text from the bytes of an RTF file or clipboard item: ASCII kept,
// every other byte written as a \'hh escape so that it is decoded by the
// document's code page (the bytes after \binN are kept as they are).
QString rtf_from_bytes(QByteArrayView bytes);

} // namespace mosswick::richtext
