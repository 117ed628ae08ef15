#pragma once

#include "platform/store/connection.h"

#include <QString>

namespace testsupport {

struct CatalogueSpec {
    int pictures = 0;                        // rows numbered 1..n, six to a page
    mosswick::store::Schema schema = mosswick::store::Schema::Full;
    mosswick::store::Protection protection;
    bool write_files = false;                // also write data/<picfile> pictures
    int width = 120;                         // size of the written pictures
    int height = 80;
    QString name = QStringLiteral("catalogue.mdb");
};

// Makes a catalogue in folder with rows named pic001.jpg ...; returns its path
// (empty on failure, with a test failure recorded).
QString make_catalogue(const QString& folder, const CatalogueSpec& spec);

// The name make_catalogue gives picture number n.
QString picture_name(int n);

} // namespace testsupport
