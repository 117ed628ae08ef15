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

// Damages the table page of a plain catalogue that holds a row with the text
// marker (its cell count made impossible): the header, the schema and every
// other page stay sound, so only a check of the whole file finds it. False
// when no such page was found.
bool damage_table_page_holding(const QString& path, const QString& marker);

} // namespace testsupport
