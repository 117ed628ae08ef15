#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Which files are pictures, which may be stored inside the catalogue and
// which file belongs to a picture. Names are bare file names, no folder.
namespace mosswick::files {

// Longest picture or movie file name a row can hold, in characters.
inline constexpr int k_name_limit = 255;

// bmp, gif, jpg, png, tif, emf, wmf, rle, ico.
const QStringList& picture_extensions();

// png, tif, rle, ico, wmf, emf: loaded by name only, never stored inside.
const QStringList& blob_refused_extensions();

// The pattern of the picture list.
inline constexpr const char* k_picture_pattern = "*.bmp;*.jpg;*.gif;*.png;*.tif;*.emf;*.wmf;*.rle;*.ico";

// True when the name has a dot.
bool has_dot(QStringView name);

// The lower-cased text after the last dot; the whole name lower-cased when
// there is no dot.
QString extension_of(QStringView name);

// The text before the last dot, case kept; the whole name when there is no dot.
QStringView base_name_of(QStringView name);

// True when the name's extension is one of picture_extensions().
bool is_picture_extension(QStringView name);

// True when the name's extension is one of blob_refused_extensions().
bool is_blob_refused(QStringView name);

// True when candidate is a companion of picture: it has a dot, its extension
// is no picture type and its base name equals the picture's exactly.
bool is_companion_of(QStringView candidate, QStringView picture);

// True for the note file types a batch load can read: txt and rtf.
bool is_note_file(QStringView name);

// True when the name is longer than k_name_limit characters.
bool name_too_long(QStringView name);

// "The picture file name: <name>, is <n> bytes, picture file name cannot exceed 255 bytes."
QString picture_name_message(const QString& name);

// "The movie file name: <name>, is <n> bytes, movie file name cannot exceed 255 bytes."
QString movie_name_message(const QString& name);

// The refusal of a picture type for storage inside the catalogue.
QString blob_refused_message();

} // namespace mosswick::files
