#pragma once

#include <QString>

class QLabel;

namespace mosswick::light {

// Draws picTemp's picture (x1 by y1 twips) into picTarget (x by y twips) by
// averaging sampled pixels, centred; x1 and y1 come back as the drawn size in
// pixels. When it cannot draw, picTarget shows "No Preview Available" and
// picTemp is cleared. strFile is not used.
void ViewImage(const QString& strFile, QLabel* picTemp, QLabel* picTarget, qint32& x1, qint32& y1, qint32 x,
               qint32 y);

} // namespace mosswick::light
