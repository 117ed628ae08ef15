#pragma once

// Rendering pictures straight from their source to a target size: one at a
// time, or a batch decoded in parallel (the six thumbnails of a page) whose
// results come back in request order for the window's thread to draw.

#include "platform/picture/draw.h"
#include "platform/picture/picture.h"

#include <QFuture>

#include <functional>
#include <vector>

namespace mosswick::picture {

// Chooses the target pixel size from the picture's natural pixel size. It
// runs on worker threads, so it must only compute (fit_to_box does).
using TargetForSize = std::function<QSize(QSize natural)>;

struct RenderRequest {
    PictureSource source;
    QSize target;               // the target size when target_for is empty
    TargetForSize target_for;   // otherwise the target is target_for(natural size)
    int quality = k_quality_thumbnail;
};

struct RenderResult {
    PictureStatus status = PictureStatus::Undecodable;
    PictureFormat format = PictureFormat::Unknown;
    QSize natural_size;  // the header's size, filled whenever it could be read
    QImage image;        // exactly the target size; null unless Ok with a non-empty target
    bool ok() const { return status == PictureStatus::Ok; }
};

// Decodes and draws one picture at its target size with its quality code.
// Code 6 decodes scaled (jpg: the decoder itself reduces, so no full-size
// picture ever exists) to the smallest size at or above the target, then
// scales smoothly to exactly the target. An empty target gives Ok with a
// null image after reading the header only. A target above the allocation
// limit gives TooLarge.
RenderResult render_picture(const RenderRequest& request);

// Starts rendering all requests in parallel on the layer's own thread pool;
// future i holds the result of request i. The requests must outlive the
// futures. Lets a caller draw each result as soon as it is ready.
std::vector<QFuture<RenderResult>> start_rendering(const std::vector<RenderRequest>& requests);

// Renders all requests in parallel on the layer's own thread pool and
// returns the results in request order. Blocks until all are done.
std::vector<RenderResult> render_pictures(const std::vector<RenderRequest>& requests);

} // namespace mosswick::picture
