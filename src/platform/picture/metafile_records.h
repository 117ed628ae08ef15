#pragma once

// Internal to the metafile player: the record loop both formats share.

#include "platform/picture/metafile.h"
#include "platform/picture/metafile_canvas.h"

namespace mosswick::picture::metafile {

struct RecordHead {
    quint32 type = 0;
    qint64 length = 0;   // in bytes, the record's own header included
    bool end = false;    // the end-of-file record
    bool valid = true;   // a length (and, first, a type) the format allows
};

// Plays the records from pos while a record header (header_size bytes) is
// left: head(pos) reads a record's header, handle(type, record) draws it.
// announced is the file size the header gives: a file shorter than that
// which stops early is Truncated.
template <class Head, class Handle>
MetafilePlay play_records(const Bytes& data, qint64 pos, qint64 header_size, qint64 announced, Canvas& canvas,
                          Head head, Handle handle)
{
    MetafilePlay result;
    const qint64 size = data.size();
    const PictureStatus cut = announced > size ? PictureStatus::Truncated : PictureStatus::Undecodable;
    bool ended = false;
    while (size - pos >= header_size) {
        if (result.records >= k_max_records) {
            result.status = PictureStatus::Undecodable;
            return result;
        }
        ++result.records;
        const RecordHead h = head(pos);
        if (h.end) {
            ended = true;
            break;
        }
        if (!h.valid) {
            result.status = PictureStatus::Undecodable;  // a zero length would never move on
            return result;
        }
        if (h.length > size - pos) {
            result.status = cut;
            return result;
        }
        const Bytes r = data.sub(pos, h.length);
        handle(h.type, r);
        result.status = canvas.verdict(r);
        if (result.status != PictureStatus::Ok)
            return result;
        pos += h.length;
    }
    canvas.finish();
    result.skipped = canvas.skipped();
    result.status = !ended && announced > size ? PictureStatus::Truncated : PictureStatus::Ok;
    return result;
}

} // namespace mosswick::picture::metafile
