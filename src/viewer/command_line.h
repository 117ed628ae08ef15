#pragma once

// Command-line splitting as the viewer's start-up procedures know it. Pure:
// no widgets, no state.

#include <QString>
#include <QStringList>

namespace mosswick {

// The program's arguments as GetCommandLine receives them: joined by single
// blanks (the first element, the program itself, left out).
QString command_line_of(const QStringList& arguments_after_program);

// Splits a command line into words at blanks and tabs (quotes have no
// special meaning). Element 0 is always empty; elements 1 to n hold the n
// words, n at most max_args (10 by default; a negative value counts as 0);
// later words are dropped.
QStringList GetCommandLine(const QString& command_line, int max_args = 10);

} // namespace mosswick
