// The picture layer on any bytes, as a picture stored in a catalogue or a
// file someone sent: measuring, loading and drawing at every quality must
// never crash, read out of bounds or overflow, and what it draws must have
// exactly the size asked for.

#include "fuzz_common.h"

#include "platform/picture/draw.h"
#include "platform/picture/picture.h"
#include "platform/picture/render.h"
#include "platform/picture/zoom_picture.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <algorithm>

using namespace mosswick::picture;

namespace {

// Decoding is only tried up to this many pixels: larger headers are measured
// (where the overflows were), but drawing them a dozen ways under the
// sanitizers takes seconds (a 4 x 62977 RLE bitmap: 20 s) and finds nothing
// a small picture would not.
constexpr qint64 k_decode_limit = 300 * 300;

void expect_size(const QImage& image, QSize target, const char* what)
{
    if (!image.isNull() && image.size() != target)
        fail(what, QStringLiteral("%1x%2").arg(target.width()).arg(target.height()),
             QStringLiteral("%1x%2").arg(image.width()).arg(image.height()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    start_application(argc, argv);
    init_picture_layer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PictureSource source = PictureSource::bytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const PictureInfo info = measure_picture(source);
    if (info.ok() && exceeds_allocation_limit(info.size))
        fail("a picture over the limit measured Ok", QString::number(info.size.width()),
             QString::number(info.size.height()));
    if (!info.ok() || qint64(info.size.width()) * info.size.height() > k_decode_limit)
        return 0;

    const Picture picture = load_picture(source);
    if (picture.ok() && picture.image.isNull())
        fail("a picture loaded Ok without an image", format_name(picture.format), {});

    // Every quality code, the fast thumbnail included, at a small size and
    // at one enlarging a small picture (kept small, for speed).
    const QSize natural = info.size;
    const QSize larger(std::min(natural.width() + 3, 97), std::min(natural.height() + 1, 61));
    for (const QSize target : {QSize(7, 5), larger}) {
        for (int quality = 1; quality <= 6; ++quality) {
            RenderRequest request;
            request.source = source;
            request.target = target;
            request.quality = quality;
            const RenderResult r = render_picture(request);
            if (r.ok())
                expect_size(r.image, target, "a drawing of another size than asked");
        }
    }

    const ZoomPicture zoom(source, QSize(40, 30), 5);
    if (zoom.ok()) {
        for (int quality = 1; quality <= 6; ++quality)
            expect_size(zoom.draw(QSize(13, 9), quality), QSize(13, 9), "a zoom drawing of another size than asked");
    }
    return 0;
}
