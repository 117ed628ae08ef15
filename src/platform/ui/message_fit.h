#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace mosswick::ui {

// Width of a text as it would be drawn (pixels, or characters in tests).
using MeasureText = std::function<int(const QString&)>;

// The character that stands for what was left out.
inline constexpr QChar k_ellipsis = QChar(0x2026);

// Fits a status message into a width so that its reason stays readable:
// the paths in it give way first (the longest first), down to their file
// name and then further; the words of the message are never cut. A message
// that still does not fit shows its start, up to the end of a word, and an
// ellipsis. A text that fits is returned as it is. Paths are found by their
// look; those given in paths are taken whole wherever they occur, blanks
// and all.
QString fit_message(const QString& text, int width, const MeasureText& measure, const QStringList& paths = {});

} // namespace mosswick::ui
