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
    // The target is laid out in logical pixels; the drawing is made at this
    // many device pixels per logical pixel (the screen's devicePixelRatio).
    qreal device_pixel_ratio = 1.0;
};

struct RenderResult {
    PictureStatus status = PictureStatus::Undecodable;
    PictureFormat format = PictureFormat::Unknown;
    QSize natural_size;  // the header's size, filled whenever it could be read
    QSize logical_size;  // the target, in logical pixels
    // The target in device pixels (device_pixels(target, ratio)), carrying
    // the ratio as its devicePixelRatio; null unless Ok with a non-empty target.
    QImage image;
    bool ok() const { return status == PictureStatus::Ok; }
};

// Decodes and draws one picture at its target size with its quality code.
// A jpg is decoded scaled (the decoder itself reduces, so no full-size
// picture ever exists): code 6 to the smallest size at or above the target,
// then one smooth scale; codes 1 to 5 to at least twice the target, then
// their own kernel. Decodes running at once share a memory budget, so a page
// of huge pictures of other formats decodes a few at a time. An empty target
// gives Ok with a null image after reading the header only. A target above
// the allocation limit gives TooLarge.
RenderResult render_picture(const RenderRequest& request);

// Starts rendering all requests in parallel on the layer's own thread pool;
// future i holds the result of request i. Each decode owns its request, so a
// future may outlive what the caller had. Lets a caller draw each result as
// soon as it is ready.
std::vector<QFuture<RenderResult>> start_rendering(std::vector<RenderRequest> requests);

// Renders all requests in parallel on the layer's own thread pool and
// returns the results in request order. Blocks until all are done.
std::vector<RenderResult> render_pictures(const std::vector<RenderRequest>& requests);

} // namespace mosswick::picture
