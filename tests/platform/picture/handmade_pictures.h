#pragma once

// Picture files written byte by byte, for the formats and variants Qt cannot
// write: RLE bitmaps, GIF, multi-image ICO, CMYK JPEG, metafiles, and headers
// that lie about their size.

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <functional>
#include <vector>

namespace handmade {

// A 4 x 2 bitmap compressed with RLE8 (bpp 8) or RLE4 (bpp 4). Palette:
// index 0 blue, index 1 green. Bottom row all green; top row two blue then
// two green.
QByteArray rle_bmp(int bpp);

// A GIF of frames of one colour each (the first frame is what a decoder
// shows), width x height, 8-bit codes so no bit packing is needed.
QByteArray gif(int width, int height, const std::vector<QColor>& frame_colours);

// An ICO holding the given pictures, each stored as PNG.
QByteArray ico(const std::vector<QImage>& images);

// An 8 x 8 CMYK JPEG with an Adobe marker, a red-ish colour.
QByteArray cmyk_jpeg();

// Headers of an enhanced metafile and of a placeable Windows metafile.
QByteArray emf_header();
QByteArray wmf_header();

// A PNG of a single IHDR claiming width x height, valid CRC, no pixel data.
QByteArray png_header_only(quint32 width, quint32 height);

// A 24-bit BMP header claiming width x height, with no pixel data.
QByteArray bmp_header_only(qint32 width, qint32 height);

// Pictures made in memory: colour(x, y) at every pixel, or one colour.
QImage painted(QSize size, const std::function<QRgb(int x, int y)>& colour);
QImage filled(QSize size, QColor colour, QImage::Format format = QImage::Format_RGB32);

// Encodes an image with Qt's writer ("jpg", "png", ...); progressive JPEG
// when asked.
QByteArray encode(const QImage& image, const char* format, bool progressive = false);

} // namespace handmade
