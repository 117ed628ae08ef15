#pragma once

// Command-line splitting and the sampled preview shrink, shared by the
// viewer and the light edition's main window. Pure: no widgets, no state.

#include <QImage>
#include <QString>
#include <QStringList>

namespace mosswick {

// Printed in the box when ViewImage cannot draw.
inline const QString k_no_preview_text = QStringLiteral("No Preview Available");

// The program's arguments as GetCommandLine receives them: joined by single
// blanks (the first element, the program itself, left out).
QString command_line_of(const QStringList& arguments_after_program);

// Splits a command line into words at blanks and tabs (quotes have no
// special meaning). Element 0 is always empty; elements 1 to n hold the n
// words, n at most max_args (10 by default; a negative value counts as 0);
// later words are dropped.
QStringList GetCommandLine(const QString& command_line, int max_args = 10);

struct ViewImageResult {
    bool drawn = false;  // false: the "No Preview Available" path was taken
    int width = 0;       // the drawn picture's width in pixels (0 when not drawn)
    int height = 0;      // its height in pixels
    QImage target;       // the box, its twips at 15 per pixel, transparent where nothing was set
};

// Fits source (its size in twips is source_width x source_height, 15 twips a
// pixel) into a box of box_width x box_height twips by averaging sampled
// pixels: the smaller of the two ratios scales it (a smaller picture is
// enlarged), every stride-th position of a window around each sample centre
// is read, positions outside the source are skipped, and the picture is
// centred in the box. Only columns and rows 1 to size - 1 are drawn. A zero
// or negative size, or a result too large to compute, prints
// k_no_preview_text centred in the target instead.
ViewImageResult ViewImage(const QImage& source, qint32 source_width, qint32 source_height,
                          qint32 box_width, qint32 box_height);

} // namespace mosswick
