#pragma once

#include "platform/store/connection.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// The verify pass: compares the folder the loader lists with the catalogue
// and lists files no row names, rows whose files are missing, and picture /
// movie pairs more than one row holds. Reads only. No widgets.
namespace mosswick::maintenance {

inline constexpr const char* k_duplicate_separator = "-------------------------";
inline constexpr const char* k_no_movie = "no movie.";

struct VerifyRequest {
    QString picture_folder;   // the picture list's folder
    QStringList pictures;     // the picture list, in list order
    QString files_folder;     // the all-files list's folder
    QStringList all_files;    // the all-files list, in list order
};

struct VerifyHooks {
    // A phase starts: 1 with the bar's maximum (nullopt: leave it as it
    // is), 2 with the number of rows.
    std::function<void(int phase, std::optional<qint64> maximum)> phase_started;
    // After each counted item of a phase, with the bar's new value; false stops.
    std::function<bool(qint64 value)> advance;
};

enum class VerifyOutcome { Done, Stopped, Failed };

struct VerifyResult {
    VerifyOutcome outcome = VerifyOutcome::Done;
    int phase = 1;              // the phase the pass ended in
    QStringList not_loaded;     // files of the folder that no row names
    QStringList missing;        // picfile / movfile of rows whose file is not there
    QStringList duplicates;     // three lines per duplicated pair
    store::Error error;

    bool errors_found() const { return !not_loaded.isEmpty() || !missing.isEmpty() || !duplicates.isEmpty(); }
};

// Runs both phases. Phase 1 looks up every listed picture by picfile and
// every other listed file that has a dot by movfile; phase 2 probes each
// row's picture and movie in the lists' folders and groups equal pairs. A
// file that is there but cannot be opened ends the pass with its error.
// The lists hold what was found up to a stop or an error.
VerifyResult run_verify_pass(store::Connection& conn, const VerifyRequest& request, const VerifyHooks& hooks);

// The progress bar's maximum for phase 1: the all-files count when there is
// one, else the picture count, else nothing (the bar is left as it is).
std::optional<qint64> phase1_maximum(qint64 pictures, qint64 all_files);

// One row's picture / movie pair as the verify pass compares it.
struct PicturePair {
    std::optional<QString> picfile;   // nullopt for Null
    QString movfile;                  // "" for Null or no movie
};

// For each pair that more than one row holds, counted over all rows, the
// group of lines picfile, movfile (or "no movie."), separator, placed at
// the pair's first row in the given order up to row `upto` (exclusive).
// Rows without a picfile are never duplicates.
class DuplicateGroups {
public:
    explicit DuplicateGroups(const std::vector<PicturePair>& rows);
    // The lines to add when the pass reaches row i (empty for most rows).
    QStringList lines_at(size_t i) const;

private:
    const std::vector<PicturePair>& m_rows;
    std::vector<bool> m_first_of_group;
};

} // namespace mosswick::maintenance
