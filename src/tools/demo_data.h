#pragma once

#include <QString>

namespace mosswick::demo {

// Makes a small demo catalogue in folder (made when missing): demo.mdb and a
// data/ folder of generated pictures, notes and one movie-like companion
// file. Returns the catalogue's path, or empty with the reason in error (an
// existing demo.mdb is never replaced).
QString make_demo_catalogue(const QString& folder, QString& error);

} // namespace mosswick::demo
