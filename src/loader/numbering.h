#pragma once

#include "platform/store/connection.h"

// The picture number and page a new picture receives: loaders always append
// after the last picture, six pictures to a page.
namespace mosswick::loader {

struct PictureSlot {
    qint64 numpic = 1;
    qint64 numpage = 1;
    int position = 1;   // place on the page, 1..6

    bool operator==(const PictureSlot&) const = default;
};

// What the catalogue says about its end: whether it is empty, its largest
// picture and page numbers and how many rows the largest page holds.
struct CatalogueEnd {
    bool empty = true;
    qint64 max_numpic = 0;
    qint64 max_numpage = 0;
    qint64 rows_on_last_page = 0;
};

// The slot after the catalogue's end. A last page holding 6 rows or more
// counts as full, so a new picture never joins a page that is already full.
PictureSlot slot_after(const CatalogueEnd& end);

// The slot of the picture after one placed in slot.
PictureSlot advance(const PictureSlot& slot);

// Reads the catalogue's end (three indexed queries).
CatalogueEnd read_catalogue_end(store::Connection& conn, store::Error& error);

// The slot for the next new picture of the open catalogue.
PictureSlot next_picture_slot(store::Connection& conn, store::Error& error);

} // namespace mosswick::loader
