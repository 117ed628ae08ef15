#include "light/view_image.h"

#include "platform/picture/preview.h"

#include <QLabel>
#include <QPixmap>

namespace mosswick::light {

void ViewImage(const QString&, QLabel* picTemp, QLabel* picTarget, qint32& x1, qint32& y1, qint32 x, qint32 y)
{
    if (!picTemp || !picTarget)
        return;
    const QImage source = picTemp->pixmap().toImage();
    const picture::ViewImageResult r =
        picture::ViewImage(source, source.isNull() ? 0 : x1, source.isNull() ? 0 : y1, x, y);
    picTarget->setPixmap(QPixmap::fromImage(r.target));
    if (!r.drawn) {
        picTemp->clear();
        return;
    }
    x1 = r.width;
    y1 = r.height;
}

} // namespace mosswick::light
