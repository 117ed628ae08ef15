#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace mosswick::richtext {

// Largest note file read; a larger file is refused rather than loaded.
inline constexpr qint64 k_max_note_file_bytes = 64 * 1024 * 1024;

// Text of a plain note file: UTF-8 when the bytes are valid UTF-8 (a
// leading byte-order mark dropped), UTF-16 when the file starts with a
// UTF-16 byte-order mark, else Windows-1252.
QString decode_text_file(QByteArrayView bytes);

// A note file's content as a note value: an RTF file (starting with
// "{\rtf") as RTF text (see rtf_from_bytes), any other file decoded as
// decode_text_file says.
QString decode_note_file(QByteArrayView bytes);

// Whether a note file may be reached through a link: a file the user picked
// may; a companion found in a folder someone sent may not, neither through a
// symbolic link nor as a second name (a hard link) of another file.
enum class NoteLinks { Follow, Refuse };

// Reads a note file (.txt or .rtf) as decode_note_file says; nullopt and a
// message naming the file when it cannot be read, is not a regular file (or,
// with NoteLinks::Refuse, is a symbolic link or has more than one name) or is
// too large.
std::optional<QString> read_note_file(const QString& path, QString* error_message = nullptr,
                                      NoteLinks links = NoteLinks::Follow);

} // namespace mosswick::richtext
