#include "platform/picture/decode_plan.h"

#include "platform/picture/draw.h"
#include "platform/picture/metafile.h"

namespace mosswick::picture::detail {

namespace {

// The size a jpg decoder delivers when asked to reduce by m/8: the smallest
// such size still at or above `at_least`. Invalid when only a full decode
// reaches it. Rounding down makes Qt pick exactly m/8 (it takes the ceiling
// of 8 / factor), so at most a one-pixel correction follows.
QSize jpeg_decode_size(QSize natural, QSize at_least)
{
    if (natural.width() <= 8 || natural.height() <= 8)
        return {};
    for (int m = 1; m < 8; ++m) {
        const QSize s(int(qint64(natural.width()) * m / 8), int(qint64(natural.height()) * m / 8));
        if (s.width() >= at_least.width() && s.height() >= at_least.height())
            return s;
    }
    return {};
}

qint64 pixels(QSize s)
{
    return qint64(s.width()) * qint64(s.height());
}

} // namespace

DecodePlan plan_decode(const Probe& probe, QSize target, int quality)
{
    DecodePlan plan;
    if (is_metafile(probe.format))
        plan.scaled = target;  // a vector picture is drawn at the target, at every code
    if (probe.format == PictureFormat::Jpeg) {
        const int margin = quality == k_quality_thumbnail ? 1 : 2;
        plan.scaled = jpeg_decode_size(probe.size, QSize(target.width() * margin, target.height() * margin));
    }
    const QSize decoded = plan.scaled.isValid() ? plan.scaled : probe.size;
    // The decoded picture, the halvings of the smooth codes and the
    // resampler's row buffer come to about 1.4 times the decoded picture.
    plan.bytes = pixels(decoded) * 4 * 14 / 10;
    // A progressive jpg keeps the coefficients of every component at full
    // size until its last scan, whatever size it is decoded at.
    if (probe.progressive)
        plan.bytes += pixels(probe.size) * 6;
    return plan;
}

} // namespace mosswick::picture::detail
