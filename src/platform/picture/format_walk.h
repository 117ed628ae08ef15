#pragma once

// Internal to the picture layer: walking the block structure of gif and jpg
// data to tell a whole picture from one cut short, where the decoders
// themselves accept both.

#include <QByteArrayView>
#include <QIODevice>
#include <QRect>

namespace mosswick::picture::detail {

struct GifWalk {
    bool ran_out = false;         // the data ends before the first image's data does
    bool has_image = false;       // an image descriptor was read
    QRect first;                  // the first image's place on the logical screen
    bool first_complete = false;  // its data blocks end within the file
};

// Walks a gif of total bytes from its header to the end of its first
// image's data (the frame shown); what follows, trailer included, is not
// needed. Reads block headers only.
GifWalk walk_gif(QIODevice* device, qint64 total);

// True for a jpg frame header (SOF0 to SOF15).
inline bool is_jpeg_frame(int code)
{
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// True when the scans of a sequential, Huffman-coded jpg hold every block
// of every component (the picture's rows all decode), whatever follows. A
// progressive, arithmetic-coded or malformed file gives false.
bool jpeg_blocks_complete(QByteArrayView jpg);

} // namespace mosswick::picture::detail
