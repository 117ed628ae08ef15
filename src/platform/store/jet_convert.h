#pragma once

// Catalogues of the old Access (Jet 4.0) format become catalogues of ours.
// The file is read with libmdb by a program of its own (mosswick-jet-reader),
// so that a damaged file can never crash or stall the program; rows stream
// through a pipe into a new catalogue written beside the original, which
// then takes its name.

#include "platform/store/connection.h"
#include "platform/store/store_error.h"

#include <QString>

#include <functional>

namespace mosswick::store {

// What the first page of a Jet file says.
struct JetHeader {
    enum class Kind { Jet4, Jet3, Unknown, NotJet, Unreadable };
    Kind kind = Kind::Unreadable;
    quint32 version = 0;
    QString password;      // the database password; empty when there is none
    bool encoded = false;  // pages encoded by "Encrypt Database"
};

JetHeader read_jet_header(const QString& path);

// The refusal for a file that is no Jet 4.0 file; none() for Jet 4.0.
Error jet_header_error(const QString& path, const JetHeader& header);

// Jet passwords compare exactly (case and every character).
bool jet_password_matches(const JetHeader& header, const QString& typed);

// The protection the converted catalogue gets: the Jet password becomes its
// key; an encoded file without a password becomes an encrypt-only one.
Protection jet_protection(const JetHeader& header);

// Where the original goes: NAME.access.mdb beside it, or NAME.access-2.mdb
// and so on when that name is taken. Never an existing file.
QString jet_backup_path(const QString& path);

struct JetConversion {
    QString backup_path;   // where the original's bytes now are
    int column_count = 0;  // 5, 7 or 9, as in the original
    qint64 rows = 0;
};

// Called after every row with the rows copied so far; returning
// false stops the conversion (nothing is left behind).
using JetProgress = std::function<bool(qint64 rows)>;

// Where the reader program is: beside the running program (where it is
// installed), or for a program run from the build tree the build's own.
QString jet_reader_program();

// The reader program a conversion starts (jet_reader_program() when empty)
// and how long it may stay silent before it is stopped as stalled.
struct JetReader {
    QString program;
    int idle_limit_ms = 15000;
};

// Converts the Jet 4.0 catalogue at path. On success the new catalogue has
// the original's name and the original's bytes are at result.backup_path;
// on any failure or stop the original is where it was and no file is left.
Error convert_jet_catalogue(const QString& path, const Protection& protection, JetConversion& result,
                            const JetProgress& progress = {}, const JetReader& reader = {});

} // namespace mosswick::store
