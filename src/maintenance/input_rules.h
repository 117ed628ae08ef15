#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// What the maintenance boxes accept: picture and page numbers, file names.
namespace mosswick::maintenance {

inline constexpr const char* k_msg_digits_only = "Characters supported 0 1 2 3 4 5 6 7 8 9";
inline constexpr const char* k_msg_bad_name_characters = "Characters not supported \\ / * ? < > | \"";

// True when a number box takes a typed character: the digits and Backspace,
// and '*' in the delete-page box (star_allowed).
bool number_key_accepted(int key, bool star_allowed);

// True when a file-name box takes a typed character: all but
// " \ / : * ? < > |.
bool file_name_key_accepted(int key);

// The text without the characters a number box refuses (for pasted text).
QString without_refused_number_characters(QStringView text, bool star_allowed);

// The text without the characters a file-name box refuses.
QString without_refused_name_characters(QStringView text);

// A number typed in a number box: one or more digits, leading zeros allowed,
// nothing else. nullopt for anything else, and for numbers too large to be
// any picture's or page's (beyond 18 digits).
std::optional<qint64> parse_typed_number(QStringView text);

// A file name split at its last dot for the rename boxes: the base name and
// the extension, without the dot. A name without a dot is all base name.
struct SplitName {
    QString base;
    QString extension;
};
SplitName split_at_last_dot(const QString& name);

} // namespace mosswick::maintenance
