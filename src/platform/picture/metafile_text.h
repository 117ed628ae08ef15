#pragma once

// Internal to the metafile player: 8-bit text of a font's character set.

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace mosswick::picture::metafile {

// Decodes bytes in the code page of a font's character set. byte_dx, when
// as long as the bytes, is turned into one advance per UTF-16 code unit
// (a character's bytes' advances summed on its first unit) in *dx.
QString decode_ansi(QByteArrayView bytes, int charset, const std::vector<double>& byte_dx, std::vector<double>* dx);

} // namespace mosswick::picture::metafile
