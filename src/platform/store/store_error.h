#pragma once

#include <QString>

namespace mosswick::store {

// Why a store call failed; callers pick messages and recovery by kind.
enum class ErrorKind {
    None,
    Engine,        // the database engine refused; code is its result code
    WrongPassword, // an encrypted catalogue and no key we know opens it
    NotCatalogue,  // not an SQLite file, or an SQLite file without our table
    JetFile,       // an Access (Jet) database file
    UnsafeSchema,  // extra tables, views, triggers or unexpected definitions
    Corrupt,       // the integrity check failed
    FileNotFound,  // code 53
    FileExists,    // code 58
    FileAccess,    // code 75
    PathNotFound,  // code 76
    Limit,         // a value breaks a column rule (length, Null not allowed)
    FileChanged,   // a file changed size while it was copied
    EmptyFile,     // a 0-byte file where content is needed
};

// The error codes the program shows for file problems.
inline constexpr int k_err_file_not_found = 53;
inline constexpr int k_err_file_exists = 58;
inline constexpr int k_err_path_file_access = 75;
inline constexpr int k_err_path_not_found = 76;

// The engine's code for a write a key or rule refused (a number held twice).
inline constexpr int k_engine_constraint = 19;

struct [[nodiscard]] Error {
    ErrorKind kind = ErrorKind::None;
    int code = 0;   // positive; shown as "Error N - text"
    QString text;

    bool ok() const { return kind == ErrorKind::None; }
    explicit operator bool() const { return !ok(); }

    static Error none() { return {}; }
};

// Builds an error of a kind with its usual code.
Error make_error(ErrorKind kind, const QString& text);

// The engine's error of a write (result code and text). A catalogue that can
// no longer be written (its folder made read-only, the file moved away, the
// disk gone) says so in plain words, with the engine's text in brackets.
Error engine_write_error(int code, const QString& engine_text);

} // namespace mosswick::store
