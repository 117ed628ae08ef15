#include "platform/picture/preview.h"

#include "platform/picture/picture.h"
#include "platform/ui/vb.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace mosswick::picture {

namespace {

constexpr double k_twips_per_pixel = ui::k_twips_per_pixel;

void print_no_preview(QImage& target)
{
    if (target.isNull())
        return;
    QPainter painter(&target);
    const QFontMetrics metrics(painter.font());
    const int w = metrics.horizontalAdvance(k_no_preview_text);
    const int h = metrics.height();
    const QRect box(target.width() / 2 - w / 2, target.height() / 2 - h / 2, w, h);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, k_no_preview_text);
}

} // namespace

ViewImageResult ViewImage(const QImage& source, qint32 source_width, qint32 source_height,
                          qint32 box_width, qint32 box_height)
{
    ViewImageResult result;
    const QSize canvas(ui::twips_to_px(std::max(0, box_width)), ui::twips_to_px(std::max(0, box_height)));
    if (!canvas.isEmpty() && !exceeds_allocation_limit(canvas)) {
        result.target = QImage(canvas, QImage::Format_ARGB32);
        result.target.fill(Qt::transparent);
    }
    if (source_width <= 0 || source_height <= 0 || box_width <= 0 || box_height <= 0
        || result.target.isNull()) {
        print_no_preview(result.target);
        return result;
    }

    // The smaller ratio, so the whole picture fits (a small one is enlarged).
    const double ratio_x = double(box_width) / source_width;
    const double ratio_y = double(box_height) / source_height;
    const double scale = ratio_y > ratio_x ? ratio_x : ratio_y;
    const double width_twips = std::nearbyint(source_width * scale);
    const double height_twips = std::nearbyint(source_height * scale);
    if (width_twips > std::numeric_limits<qint32>::max()
        || height_twips > std::numeric_limits<qint32>::max()) {
        print_no_preview(result.target);
        return result;
    }

    // Distance in source pixels between two target pixels, and the window
    // around each sample centre; single precision, as the routine always was.
    const float step = float(1.0 / scale);
    const float half = step <= 1.0f ? step / 2.0f : (step - 1.0f) / 2.0f;
    const int stride = int(ui::round_half_even(step - step / 4.0f)) + 1;
    const int width = ui::twips_to_px(width_twips);
    const int height = ui::twips_to_px(height_twips);
    const int ox = int(ui::round_half_even((box_width / k_twips_per_pixel - width) / 2.0));
    const int oy = int(ui::round_half_even((box_height / k_twips_per_pixel - height) / 2.0));
    const int lo = int(ui::round_half_even(-half));
    const int hi = int(ui::round_half_even(half));

    const QImage src = source.convertToFormat(QImage::Format_RGB32);
    for (int r = 1; r <= height - 1; ++r) {
        for (int c = 1; c <= width - 1; ++c) {
            qint64 red = 0;
            qint64 green = 0;
            qint64 blue = 0;
            qint64 count = 0;
            qint64 position = 0;
            const int cx = int(ui::round_half_even(float(c) * step - half));
            const int cy = int(ui::round_half_even(float(r) * step - half));
            // Only the part of the window inside the source is visited (outside
            // it there is no colour to read), so a huge claimed size costs
            // nothing; the sample positions count the whole window.
            const int i_first = std::max(lo, -cx);
            const int i_last = std::min(hi, src.width() - 1 - cx);
            const int j_first = std::max(lo, -cy);
            const int j_last = std::min(hi, src.height() - 1 - cy);
            const qint64 window = qint64(hi) - lo + 1;
            for (int i = i_first; i <= i_last; ++i) {
                for (int j = j_first; j <= j_last; ++j) {
                    position = (qint64(i) - lo) * window + (qint64(j) - lo);
                    if (position % stride != 0)
                        continue;
                    const int px = cx + i;
                    const int py = cy + j;
                    const QRgb p = reinterpret_cast<const QRgb*>(src.constScanLine(py))[px];
                    red += qRed(p);
                    green += qGreen(p);
                    blue += qBlue(p);
                    ++count;
                }
            }
            if (count == 0)
                continue;
            const int tx = c + ox - 1;
            const int ty = r + oy - 1;
            if (tx < 0 || ty < 0 || tx >= canvas.width() || ty >= canvas.height())
                continue;
            result.target.setPixel(tx, ty, qRgb(int(ui::round_half_even(double(red) / count)),
                                                int(ui::round_half_even(double(green) / count)),
                                                int(ui::round_half_even(double(blue) / count))));
        }
    }
    result.drawn = true;
    result.width = width;
    result.height = height;
    return result;
}

} // namespace mosswick::picture
