#pragma once

// Internal to the metafile player: paths cut down to the part of the target
// they can colour. The rasteriser walks every row an edge spans, seen or
// not, so a single point far outside the picture would cost time in
// proportion to its distance.

#include <QPainterPath>
#include <QRectF>

namespace mosswick::picture::metafile {

// The path (target pixels) cut to window for a fill. Every subpath is taken
// as closed, as a fill takes it, and keeps its winding number at every point
// of window more than two pixels inside its edge, so the fill there is the
// same under either rule. A path whose curves would take too long to cut is
// returned whole.
QPainterPath clip_for_fill(const QPainterPath& path, const QRectF& window);

// The path cut to window for a stroke: closed subpaths as for a fill, open
// ones cut where they leave window and taken up again where they come back.
// What is removed or added lies outside window or within two pixels of its
// edge, so window must keep the pen's reach (its width, joins and caps) off
// what is seen.
QPainterPath clip_for_stroke(const QPainterPath& path, const QRectF& window);

} // namespace mosswick::picture::metafile
