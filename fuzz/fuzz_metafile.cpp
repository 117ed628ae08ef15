// The metafile player on any input, as an EMF and as a WMF: it must refuse
// or draw, never crash, hang or allocate without bound; and the picture
// layer's measuring must agree with it about what is a metafile.

#include "fuzz_common.h"

#include "platform/picture/metafile.h"
#include "platform/picture/picture_io.h"

#include <QImage>

using namespace mosswick::picture;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    start_application(argc, argv);
    init_picture_layer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const PictureFormat format : {PictureFormat::Emf, PictureFormat::Wmf}) {
        const MetafileHeader header = read_metafile_header(bytes, bytes.size(), format);
        metafile_looks_truncated(bytes, bytes.size(), format);
        // Small targets keep runs fast; the natural size's shape is kept.
        QSize target(64, 48);
        if (header.status == PictureStatus::Ok)
            target = header.size.boundedTo(QSize(96, 96));
        const RenderedMetafile r = render_metafile(bytes, format, target);
        if (r.play.ok() && r.image.size() != target)
            fail("a drawn metafile has the wrong size", QString::number(target.width()),
                 QString::number(r.image.width()));
        if (r.play.ok() && header.status != PictureStatus::Ok && header.status != PictureStatus::TooLarge)
            fail("drawn although its header was refused", QString(), QString());
    }
    // As the layer meets a picture's bytes: sniffed, then measured (other
    // formats have their own target).
    if (!is_metafile(detail::sniff_format(bytes.left(64))))
        return 0;
    const PictureInfo info = measure_picture(PictureSource::bytes(bytes));
    if (info.ok() && is_metafile(info.format) && info.size.isEmpty())
        fail("a measured metafile has no size", QString(), QString());
    return 0;
}
