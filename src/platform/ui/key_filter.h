#pragma once

#include <QString>

// The key filters of the window's text boxes, applied to whole pasted texts
// so that a paste cannot put in what typing may not.
namespace mosswick::ui {

enum class KeyFilter {
    None,
    NoDoubleQuote,    // reference boxes: the double quote is refused
    FileName,         // file-name boxes: \ / : * ? < > | and the double quote
    Digits,           // number boxes: 0 to 9
    DigitsOrStar,     // the delete-page box: 0 to 9 and *
};

// True when the filter lets the character through.
bool accepts(KeyFilter filter, QChar c);

// True when the filter lets every character of a text through: a pasted
// text is taken whole or not at all.
bool accepts_text(KeyFilter filter, QStringView text);

} // namespace mosswick::ui
