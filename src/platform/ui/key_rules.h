#pragma once

#include <QString>

#include <functional>
#include <optional>

class QKeyEvent;
class QLineEdit;

namespace mosswick::ui {

// The code a key press types, as the boxes' key handlers see it: 13 for
// Return or Enter, 8 for Backspace, else the one character typed. Nothing for
// editing shortcuts (Ctrl, Alt or Meta held: select all, copy, cut, paste,
// undo go to the box untouched), for keys that type nothing, and for Tab.
std::optional<int> typed_code(const QKeyEvent& key);

class PlainTextBox;

// Makes a paste meet the rule typing meets: a pasted text holding a
// character the box refuses is refused whole (the box keeps its text) and
// refused() says why. Covers the paste shortcuts and every other way text
// arrives without typing (context menu, drop).
void refuse_pastes(QLineEdit* box, std::function<bool(QChar)> accepts, std::function<void()> refused);
// The same for a multi-line box.
void refuse_pastes(PlainTextBox* box, std::function<bool(QChar)> accepts, std::function<void()> refused);

} // namespace mosswick::ui
