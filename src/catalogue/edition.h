#pragma once

#include "platform/store/schema.h"

#include <QString>

namespace mosswick {

// What differs between the programs built from this code base; chosen in
// each program's main() and handed down.
struct Edition {
    bool full = true;                 // false: the light edition
    store::Schema schema = store::Schema::Full;
    QString program_title;            // title of untitled message boxes
    QString design_caption;           // main window caption at start
    QString closed_caption;           // main window caption after a close
    QString about_version;
    QString load_log_name;            // batch load's error log, in the catalogue folder
    int number_box_length = 10;       // max length of the picture/page number boxes

    static Edition enhanced();
    static Edition light();
};

} // namespace mosswick
