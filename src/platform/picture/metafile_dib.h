#pragma once

// Internal to the metafile player: the device-independent bitmaps stored in
// metafile records (uncompressed and bit-field rows, JPEG and PNG bodies).
// Palette, 24-bit and plain 32-bit rows go to Qt's BMP reader behind a file
// header of ours; 16-bit, bit-field and alpha rows are unpacked here. The
// pixel rows must lie inside the record.

#include "platform/picture/metafile_bytes.h"

#include <QImage>

namespace mosswick::picture::metafile {

enum class DibStatus { Ok, Bad, Unsupported, TooLarge };

// Decodes a bitmap from its info block (header, masks, colour table) and its
// rows. palette_indices: the colour table holds palette indices, which we
// show as greys. pixel_budget is lowered by the pixels decoded; a bitmap
// beyond it or beyond the allocation limit is TooLarge.
// keep_alpha: 32-bit rows carry premultiplied alpha (a blended transfer).
QImage decode_dib(const Bytes& info, const Bytes& bits, bool palette_indices, qint64* pixel_budget,
                  DibStatus* status, bool keep_alpha = false);

// A packed bitmap: the info block directly followed by the rows.
QImage decode_packed_dib(const Bytes& packed, bool palette_indices, qint64* pixel_budget, DibStatus* status);

} // namespace mosswick::picture::metafile
