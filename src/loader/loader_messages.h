#pragma once

#include <QString>

// The loader's status-bar texts that are built from counts.
namespace mosswick::loader {

// "Listed 12 pictures & 3 movies." / "Listed 5 pictures, no movies found." /
// "No pictures found." for no pictures. others is the number of files of the
// folder that are not pictures.
QString count_message(qint64 pictures, qint64 others);

// "Loading picture[ & movie], press the 'Cancel' button to abort."
QString loading_message(bool with_movie);

// "Pic# 7 at the pag# 2."
QString slot_caption(qint64 numpic, qint64 numpage);

// "3 pictures processed. 2 loaded. There are errors." and its variants.
QString batch_summary(qint64 listed, qint64 loaded, bool errors);

// The phase 2/2 start message naming the number of listed pictures.
QString phase2_message(qint64 pictures);

inline constexpr const char* k_msg_phase1 = "File length verification, phase 1/2 started, please wait...";
inline constexpr const char* k_msg_stopped = "File loading stopped.";
inline constexpr const char* k_msg_no_pictures_to_load = "No pictures to load.";
// The reference box refuses the double quote, typed or pasted.
inline constexpr const char* k_msg_quote_refused = "Character not supported \"";
inline constexpr const char* k_msg_own_folder =
    "Do not use the database directory when load TXT or RTF content in the note fields. Use a temp directory instead.";

} // namespace mosswick::loader
