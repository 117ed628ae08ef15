#pragma once

#include <QFont>
#include <QString>

class QTextDocument;
class QTextDocumentFragment;

namespace mosswick::richtext {

// Writes a document as RTF 1.x the way the rich-text box stores notes:
// \ansi\ansicpg1252, a font table with the names verbatim, a colour table
// of the explicit colours, sizes in half points, \b \i \ul \strike,
// alignment, \fi \li \ri indents, \pn bullets (and \pn numbering) with their
// \pntext fallback, \tab, \line and one \par per paragraph. Characters
// outside cp1252 are written as \uN? escapes. The output is plain ASCII and
// depends only on the document, so writing twice gives the same text.
QString write_rtf(const QTextDocument& doc);

// Writes a piece of a document (a selection), with default_font for
// characters that have no font of their own.
QString write_rtf(const QTextDocumentFragment& fragment, const QFont& default_font);

} // namespace mosswick::richtext
