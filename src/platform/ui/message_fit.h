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
// folder paths in it lose their middle first (the file name at their end
// is kept longest), and only a message that still does not fit loses the
// middle of its text. The start and the end of the sentence always show.
// A text that fits is returned as it is. Paths are found by their look;
// those given in paths are taken whole wherever they occur, blanks and all.
QString fit_message(const QString& text, int width, const MeasureText& measure, const QStringList& paths = {});

} // namespace mosswick::ui
