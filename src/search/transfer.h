#pragma once

#include "platform/store/connection.h"

#include <QString>

#include <functional>

// Moving a picture between the catalogue and a file in the catalogue's own
// folder: a stored picture is exported (written to a file, then removed from
// its record), a picture file is imported (its bytes stored in the record).
namespace mosswick::search {

// The import/export grid's row the move acts on, as the grid shows it.
struct TransferRow {
    QString numpic;    // column 0
    QString state;     // column 3: "IN" (stored) or "OUT"
    QString picfile;   // column 4
};

enum class TransferStatus {
    Exported,
    Imported,
    Declined,      // No to the replace question: nothing changed
    FileMissing,   // import: no such file in the catalogue's folder
    Refused,       // a rule or an out-of-date row stopped the move; message says why
    Failed,        // a file or database error ("Error N - text"); nothing changed
};

struct TransferResult {
    TransferStatus status = TransferStatus::Failed;
    QString message;   // for the message panel; empty for a completed move, Declined and FileMissing
    QString path;      // the file written or read
};

// The export's write size: 20000 bytes for a picture larger than 10000
// bytes, else 10000.
qint64 export_chunk_size(qint64 size);

// The exported file's name: the file name without its last "." and what
// follows (the whole name when it has none), then ".bmp".
QString export_file_name(const QString& picfile);

// True for the types never stored in the catalogue (png, tif, rle, ico,
// wmf, emf), by the lower-cased text after the last ".".
bool import_type_refused(const QString& picfile);

// True when a file name can only name a visible file directly in a folder:
// not empty, no '/', no NUL, not starting with '.'.
bool plain_file_name(const QString& name);

// Asked before an existing file is replaced; true means replace it.
using ConfirmReplace = std::function<bool(const QString& path)>;

// Moves the row's picture in the direction its state gives. The row is first
// checked against the catalogue (number, file name and state); an export
// writes the whole file under a temporary name and puts it in place only
// with the record's change, so no partial file is ever left; an import
// refuses a missing, empty or undecodable file. Any failure leaves the
// record and the folder as they were.
TransferResult transfer_picture(store::Connection& conn, const TransferRow& row, const QString& db_folder,
                                const ConfirmReplace& confirm_replace);

} // namespace mosswick::search
