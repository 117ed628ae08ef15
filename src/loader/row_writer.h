#pragma once

#include "platform/picture/picture.h"
#include "platform/store/connection.h"

#include <QString>
#include <QVariant>

// Writing new picture rows: the duplicate test and the insert, prepared once
// and reused for every picture of a load.
namespace mosswick::loader {

// A row to add. Invalid QVariants are Null; inside_path names the picture
// file whose bytes go into dbpic (empty: the picture stays a file).
struct NewPicture {
    QVariant movfile;
    QString picfile;
    QVariant note;
    QVariant reference;
    QVariant addnote;
    qint64 numpic = 0;
    qint64 numpage = 0;
    QString inside_path;
};

// Why a picture may not be stored inside the catalogue; Ok when it may.
enum class InsideVerdict { Ok, TypeRefused, Unusable, NotPlainFile };

struct InsideCheck {
    InsideVerdict verdict = InsideVerdict::Ok;
    picture::PictureStatus status = picture::PictureStatus::Ok;   // when Unusable
    qint64 bytes = 0;                                              // file size when Ok
};

// Checks a picture before its bytes are stored: its name must not be a
// refused type, and its content must be a bmp, gif or jpg picture whose
// header reads (an empty, missing or undecodable file is Unusable). A link
// (symbolic, or a second name of a file) or any other entry that is not a
// regular file of its own is NotPlainFile: only a picture file itself is ever
// copied into the catalogue.
InsideCheck check_inside(const QString& path, const QString& name);

// The message for a picture that cannot be stored inside.
QString inside_refusal_message(const InsideCheck& check);

class RowWriter {
public:
    explicit RowWriter(store::Connection& conn);

    // Why the statements could not be prepared; ok when they were.
    const store::Error& error() const { return m_error; }

    // True when some row already has this picture file name.
    bool is_catalogued(const QString& picfile, store::Error& error);

    // Adds the row, and the picture's bytes when asked, all or nothing.
    store::Error add(const NewPicture& row);

private:
    store::Connection& m_conn;
    store::Statement m_find;
    store::Statement m_insert;
    int m_columns = 0;
    store::Error m_error;
};

} // namespace mosswick::loader
