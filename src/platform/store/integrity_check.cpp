#include "platform/store/integrity_check.h"

#include "platform/store/connection.h"
#include "platform/store/sqlite.h"

#include <algorithm>

namespace mosswick::store {

namespace {

// How many engine steps between two looks at the stop flag: small enough to
// stop within a few milliseconds, large enough to cost nothing.
constexpr int k_steps_between_looks = 1000;
// Findings quoted in the message; the rest only makes it longer.
constexpr int k_findings_quoted = 3;

struct Watch {
    sqlite3* db = nullptr;
    const std::function<bool(int)>* keep_going = nullptr;
    qint64 expected_reads = 1;
    int start_misses = 0;
    bool stopped = false;
};

int cache_misses(sqlite3* db)
{
    int current = 0;
    int high = 0;
    sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_MISS, &current, &high, 0);
    return current;
}

// Called by the engine now and then, also inside its page-by-page walk.
int on_progress(void* context)
{
    auto* watch = static_cast<Watch*>(context);
    if (!*watch->keep_going)
        return 0;
    // Pages read so far against the pages the check reads in all.
    const qint64 reads = cache_misses(watch->db) - watch->start_misses;
    const int permille = int(std::clamp<qint64>(reads * 1000 / watch->expected_reads, 0, 990));
    if (!(*watch->keep_going)(permille)) {
        watch->stopped = true;
        return 1;
    }
    return 0;
}

} // namespace

IntegrityResult check_integrity(Connection& conn, const std::function<bool(int permille)>& keep_going)
{
    sqlite3* db = conn.handle();
    IntegrityResult result;
    if (!db) {
        result.error = make_error(ErrorKind::Engine, QStringLiteral("No catalogue is open."));
        return result;
    }
    Watch watch;
    watch.db = db;
    watch.keep_going = &keep_going;
    {
        Error e;
        const qint64 pages = conn.scalar(QStringLiteral("PRAGMA page_count"), {}, e).toLongLong();
        const qint64 cached = conn.scalar(QStringLiteral("PRAGMA cache_size"), {}, e).toLongLong();
        const qint64 cache_pages = cached < 0 ? -cached * 1024 / 4096 : cached;
        // The tree walk reads every page; the row walk that follows reads the
        // table again unless it still sits in the page cache.
        watch.expected_reads = std::max<qint64>(1, pages > cache_pages ? 2 * pages : pages);
    }
    watch.start_misses = cache_misses(db);
    sqlite3_progress_handler(db, k_steps_between_looks, &on_progress, &watch);

    Statement st(db, QStringLiteral("PRAGMA quick_check(%1)").arg(k_findings_quoted));
    QStringList findings;
    // The engine breaks some findings into lines: a status line shows one.
    while (st.step())
        findings << st.text(0).split(u'\n', Qt::SkipEmptyParts);
    const Error error = st.error();
    sqlite3_progress_handler(db, 0, nullptr, nullptr);

    if (watch.stopped || (error && error.code == SQLITE_INTERRUPT)) {
        result.outcome = IntegrityOutcome::Stopped;
        return result;
    }
    if (error) {
        // The engine's own words for damage it met on the way.
        if (error.code == SQLITE_CORRUPT || error.code == SQLITE_NOTADB) {
            result.outcome = IntegrityOutcome::Damaged;
            result.detail = error.text;
        } else {
            result.error = error;
        }
        return result;
    }
    if (findings == QStringList{QStringLiteral("ok")}) {
        result.outcome = IntegrityOutcome::Passed;
        return result;
    }
    result.outcome = IntegrityOutcome::Damaged;
    result.detail = findings.isEmpty() ? QStringLiteral("no answer from the check") : findings.join(QStringLiteral("; "));
    return result;
}

QString integrity_problem(const IntegrityResult& result)
{
    switch (result.outcome) {
    case IntegrityOutcome::Damaged:
        return QStringLiteral("The catalogue is damaged (%1). It stays open Read-Only: nothing was written to it.")
            .arg(result.detail);
    case IntegrityOutcome::Failed:
        return QStringLiteral("The catalogue could not be checked (Error %1 - %2). It stays open Read-Only: nothing "
                              "was written to it.")
            .arg(result.error.code)
            .arg(result.error.text);
    case IntegrityOutcome::Passed:
    case IntegrityOutcome::Stopped:
        break;
    }
    return {};
}

} // namespace mosswick::store
