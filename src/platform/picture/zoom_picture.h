#pragma once

// A decoded picture kept for repeated drawing at changing sizes (the zoom
// window's slider, the viewer).
//
// Speed: the smooth codes (4, 5 and 6) draw from a reduced copy instead of
// the full picture. The copy is made once, with code 5, at twice the largest
// target (declared, or else the first smooth drawing's target: in the zoom
// window that is the fitted first draw, the largest the slider allows); below
// it come 2 x 2 averaged halvings. A drawing uses the smallest of these still
// at least twice the target in both directions, so it reads 2 to 4 source
// pixels per target pixel and direction, whatever the picture's size. Codes
// 1 to 3 sample the full picture, which costs only what the target costs.
// Copies are made on first need and kept; drawings use several threads over
// row bands. Not thread-safe: one owner thread.

#include "platform/picture/draw.h"
#include "platform/picture/picture.h"

#include <vector>

namespace mosswick::picture {

class ZoomPicture {
public:
    // Nothing loaded: status Undecodable, draws nothing.
    ZoomPicture() = default;
    // Loads and decodes the picture (ico: its largest image).
    explicit ZoomPicture(const PictureSource& source);
    // Takes a picture decoded elsewhere (a screenshot); a null image gives
    // status Undecodable.
    explicit ZoomPicture(const QImage& image);

    PictureStatus status() const { return m_status; }
    PictureFormat format() const { return m_format; }
    bool ok() const { return m_status == PictureStatus::Ok; }
    // Natural size in pixels; empty unless ok().
    QSize natural_size() const { return m_levels.empty() ? QSize() : m_levels.front().size(); }
    // The full decoded picture; null unless ok().
    QImage image() const { return m_levels.empty() ? QImage() : m_levels.front(); }

    // Declares the largest target later drawings will ask for (the free work
    // area), so the reduced copy is made at twice that size. Drops copies
    // made for another size.
    void set_largest_target(QSize largest);

    // Draws the whole picture into exactly target pixels with the quality
    // code (other codes as 2). Null when not ok(), the target is empty or
    // memory runs out.
    QImage draw(QSize target, int quality);

private:
    const QImage& level_for(QSize target);
    QSize next_level_size(size_t level) const;

    PictureStatus m_status = PictureStatus::Undecodable;
    PictureFormat m_format = PictureFormat::Unknown;
    std::vector<QImage> m_levels;  // [0] the full picture, [1] the copy, then halvings
    QSize m_largest;
};

} // namespace mosswick::picture
