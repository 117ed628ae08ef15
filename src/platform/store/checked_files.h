#pragma once

#include <QString>

#include <optional>

namespace mosswick::store {

// Which file a path names and the state it is in, as stat(2) gives them.
// Any write changes the times (and the change time cannot be set back by a
// program), a replaced or copied file has another inode.
struct FileState {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified_ns = 0;   // since the epoch
    qint64 changed_ns = 0;

    bool operator==(const FileState&) const = default;
    // The same file, in whatever state.
    bool same_file(const FileState& other) const { return device == other.device && inode == other.inode; }
};

// The state of the file at path (links followed); nullopt when it cannot be
// read or is not a regular file.
std::optional<FileState> file_state(const QString& path);

// Waits (a few milliseconds at most) until a change made to the file from
// now on would give it later times than state has, so that a record of
// state cannot match a file changed after it. False when that cannot be
// had at once (a file system that keeps times in whole seconds, changed
// within the last two): such a state is not to be recorded.
bool later_changes_show(const FileState& state);

// The catalogue files this program found sound, each with the state it was
// in then: a catalogue found in that same state again need not have its
// whole file checked. A small file in the user's settings, shared by both
// editions, one entry per catalogue, rewritten whole by an atomic rename.
// It decides nothing but skipping the check: a missing, damaged or
// unreadable record only means the check runs.
class CheckedCatalogues {
public:
    // Entries beyond this many are dropped, the oldest first.
    static constexpr int k_max_entries = 300;

    // The record in the user's configuration folder (XDG_CONFIG_HOME).
    static QString default_path();

    explicit CheckedCatalogues(QString record_path = default_path());

    // True when the catalogue at path was recorded in exactly this state.
    bool unchanged(const QString& path, const FileState& state) const;
    // Records the catalogue at path in state as the newest entry. False when
    // the record could not be written.
    bool record(const QString& path, const FileState& state) const;
    // Drops the catalogue's entry, if any. False when the record could not
    // be written.
    bool forget(const QString& path) const;

    const QString& record_path() const { return m_path; }

private:
    QString m_path;
};

} // namespace mosswick::store
