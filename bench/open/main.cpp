// Times a catalogue of a million rows with ~300-byte RTF notes through the
// main window, as a user meets it:
//  - Open DB until "Database opened." with page 1 shown, cold (the
//    catalogue's pages dropped from the file cache with posix_fadvise first;
//    target under 1 s) and warm (target under 300 ms);
//  - the integrity check that runs behind the shown page, warm (the whole
//    file read into the file cache first), for information;
//  - deleting the last picture (nothing else moves; target under 100 ms);
//  - deleting a middle picture (half the rows move), beside the engine's
//    shell running the same statements on a copy in the same run (target:
//    within 1.5x of the shell and under 2 s), with the memory it adds;
//  - reopening that catalogue after a clean close until writes are allowed,
//    cold (target under 1 s: no check of the whole file is needed).
// The catalogue is made once and kept under the build folder; the middle
// deletes work on two copies of it, removed at the end.
// Run by hand: bench-open [--dir FOLDER] [--tsv]. Needs no display.

#include "support/window_controls.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "support/bench_window.h"
#include "support/big_catalogue.h"
#include "support/memory.h"
#include "support/page_cache.h"
#include "support/shell_peer.h"

#include "core/edition.h"
#include "frame/frm_browser.h"
#include "maintenance/renumber.h"
#include "platform/store/checked_files.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

using namespace mosswick;
using namespace benchsupport;

namespace {

constexpr double k_cold_target_ms = 1000;
constexpr double k_warm_target_ms = 300;
constexpr double k_delete_target_ms = 100;
constexpr double k_middle_target_ms = 2000;
constexpr double k_middle_max_ratio = 1.5;
constexpr double k_reopen_target_ms = 1000;

const QString k_cold_open = QStringLiteral("open 1,000,000 rows, cold, to page 1");
const QString k_warm_open = QStringLiteral("open 1,000,000 rows, warm, to page 1");
const QString k_check_behind = QStringLiteral("open and integrity check behind the page, warm");
const QString k_delete_last = QStringLiteral("delete the last picture of 1,000,000");
const QString k_delete_middle = QStringLiteral("delete a middle picture of 1,000,000");
const QString k_middle_memory = QStringLiteral("delete a middle picture of 1,000,000, memory added (MB)");
const QString k_reopen = QStringLiteral("reopen 1,000,000 rows after a clean close, to writes allowed");

class Bench {
public:
    Bench(Report& report, BenchDialogs& dialogs, const QString& path)
        : m_report(report), m_dialogs(dialogs), m_path(path)
    {
        m_window.Form_Load({});
        m_window.resize(1280, 800);
        m_window.show();
    }

    void close_catalogue()
    {
        if (m_window.session().db_open())
            ctl(m_window).mnuDb->trigger();   // also stops a running check
    }
    void open_catalogue(const QString& path)
    {
        m_dialogs.next_file = path;
        ctl(m_window).mnuDb->trigger();
    }
    bool writable()
    {
        return m_window.session().db_open() && !m_window.session().db_read_only() && ctl(m_window).delete_picture->isEnabled();
    }

    void opens()
    {
        auto check_opened = [&](const QString& figure) {
            m_report.check_for({figure}, QStringLiteral("page 1 of %1 rows shown").arg(k_big_rows),
                               m_window.session().db_open() &&
                                   m_window.message_text().startsWith(QStringLiteral("Database opened.")) &&
                                   m_window.session().picture_count() == k_big_rows &&
                                   !ctl(m_window).Label5[6]->text().isEmpty() &&
                                   ctl(m_window).Label29->text() == QString::number((k_big_rows + 5) / 6),
                               m_window.message_text());
        };
        // Each run: closed (which stops the check behind the page), then opened.
        auto open_runs = [&](const QString& figure, bool cold) {
            return time_runs(
                [&] {
                    open_catalogue(m_path);
                    check_opened(figure);
                },
                [&] {
                    close_catalogue();
                    if (cold)
                        m_report.check_for({figure}, QStringLiteral("file cache dropped"), drop_from_cache(m_path));
                });
        };
        m_report.figure(k_cold_open, open_runs(k_cold_open, true), k_cold_target_ms);
        m_report.figure(k_warm_open, open_runs(k_warm_open, false), k_warm_target_ms);
    }

    // The check behind the page: once, warm, for information.
    void check_behind()
    {
        close_catalogue();
        m_report.check_for({k_check_behind}, QStringLiteral("the whole file read into the cache"), read_into_cache(m_path));
        QElapsedTimer t;
        t.start();
        open_catalogue(m_path);
        m_report.check_for({k_check_behind}, QStringLiteral("the check runs on a catalogue not recorded"),
                           m_window.integrity_check_running());
        // The check's bar moves while it runs: the last value it showed.
        int last_shown = 0;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (m_window.integrity_check_running())
                last_shown = ctl(m_window).check_progress->value();
        });
        sampler.start(50);
        const bool ended = wait_for_integrity_check(m_window);
        const double ms = ms_since(t);
        sampler.stop();
        m_report.check_for({k_check_behind}, QStringLiteral("integrity check ended"), ended);
        m_report.say("the check's bar last showed %.1f %% before the check ended\n", last_shown / 10.0);
        m_report.check_for({k_check_behind}, QStringLiteral("the check's bar moved"), last_shown > 0);
        m_report.check_for({k_check_behind}, QStringLiteral("writes allowed after the check"), writable(),
                           m_window.message_text());
        m_report.info(k_check_behind, {ms});
    }

    void delete_last()
    {
        std::vector<double> deletes;
        for (int i = 0; i < k_runs && ctl(m_window).delete_picture->isEnabled(); ++i) {
            const qint64 last = k_big_rows - i;
            ctl(m_window).Text15->setText(QString::number(last));
            QElapsedTimer t;
            t.start();
            ctl(m_window).delete_picture->click();
            deletes.push_back(ms_since(t));
            store::Error e;
            const qint64 count = m_window.session().db_conn()->record_count(e);
            const qint64 top = m_window.session().db_conn()->max_numpic(e).toLongLong();
            m_report.check_for({k_delete_last}, QStringLiteral("last picture deleted"),
                               m_window.message_text() == QStringLiteral("Picture deleted.") && count == last - 1 &&
                                   top == last - 1 && m_window.session().picture_count() == last - 1 && !e,
                               QStringLiteral("%1; %2 rows, largest number %3")
                                   .arg(m_window.message_text())
                                   .arg(count)
                                   .arg(top));
        }
        m_report.figure(k_delete_last, deletes, k_delete_target_ms);
        // The cached catalogue gets its rows back.
        if (m_window.session().db_conn() && !deletes.empty()) {
            const bool restored = add_big_rows(*m_window.session().db_conn(), k_big_rows - qint64(deletes.size()) + 1, k_big_rows);
            store::Error e;
            m_report.check(QStringLiteral("catalogue restored"),
                           restored && m_window.session().db_conn()->record_count(e) == k_big_rows);
        }
        close_catalogue();
    }

    // Deletes a middle picture of a copy in the window and has the shell run
    // the same statements on another copy; then reopens the first after its
    // clean close.
    void middle_and_reopen(const QString& folder)
    {
        const QString ours = folder + QStringLiteral("/middle-ours.mdb");
        const QString theirs = folder + QStringLiteral("/middle-shell.mdb");
        const auto remove_copies = [&] {
            for (const QString& f : {ours, theirs})
                QFile::remove(f);
        };
        remove_copies();
        const qint64 size = QFileInfo(m_path).size();
        if (!m_report.check(QStringLiteral("room for two copies of the catalogue in %1").arg(folder),
                            QStorageInfo(folder).bytesAvailable() > 2 * size + size / 4))
            return;
        if (!m_report.check(QStringLiteral("two copies made"), QFile::copy(m_path, ours) && QFile::copy(m_path, theirs)))
            return;
        const QString shell = find_shell();
        m_report.say("the peer: %s\n", shell.isEmpty() ? "none (neither sqlcipher nor sqlite3 installed)" : qPrintable(shell));
        m_report.check_for({k_delete_middle}, QStringLiteral("a shell to run the same statements"), !shell.isEmpty());

        open_catalogue(ours);
        m_report.check_for({k_delete_middle, k_middle_memory, k_reopen}, QStringLiteral("the copy opened and checked"),
                           wait_for_integrity_check(m_window) && writable(), m_window.message_text());
        std::vector<double> mine;
        std::vector<double> peer;
        std::vector<double> added_mb;
        bool peaks_reset = true;
        for (int i = 0; i < k_runs && writable(); ++i) {
            store::Connection& conn = *m_window.session().db_conn();
            const qint64 count = m_window.session().picture_count();
            const qint64 middle = count / 2;
            store::Error e;
            const QString next = conn.scalar(QStringLiteral("SELECT picfile FROM demopicture WHERE numpic = ?1"), {middle + 1}, e).toString();
            ctl(m_window).Text15->setText(QString::number(middle));
            const bool peak = start_peak();
            const double before_mb = status_mb("VmRSS");
            QStringList statements;
            {
                const StatementTrace trace(conn.handle());
                QElapsedTimer t;
                t.start();
                ctl(m_window).delete_picture->click();
                mine.push_back(ms_since(t));
                statements = trace.statements();
            }
            peaks_reset &= peak;
            if (peak)
                added_mb.push_back(status_mb("VmHWM") - before_mb);
            qint64 dense_count = 0;
            const bool dense = numbers_dense(conn, dense_count, e);
            const QString now = conn.scalar(QStringLiteral("SELECT picfile FROM demopicture WHERE numpic = ?1"), {middle}, e).toString();
            m_report.check_for({k_delete_middle}, QStringLiteral("middle picture deleted"),
                               m_window.message_text() == QStringLiteral("Picture deleted.") && dense &&
                                   dense_count == count - 1 && m_window.session().picture_count() == count - 1 &&
                                   now == next && !e,
                               QStringLiteral("%1; %2 rows").arg(m_window.message_text()).arg(dense_count));
            if (!shell.isEmpty()) {
                const double ms = shell_run(shell, theirs, statements);
                if (m_report.check_for({k_delete_middle}, QStringLiteral("the shell ran the %1 statements").arg(statements.size()),
                                       ms >= 0))
                    peer.push_back(ms);
            }
            if (i == 0)
                m_report.say("one delete: %lld statements\n", static_cast<long long>(statements.size()));
        }
        if (!peer.empty())
            m_report.check_for({k_delete_middle}, QStringLiteral("the shell's copy ends as ours"), same_rows(ours, theirs));
        m_report.check_for({k_middle_memory}, QStringLiteral("the kernel resets the peak memory (/proc/self/clear_refs)"),
                           peaks_reset);
        m_report.against(k_delete_middle, mine, peer, k_middle_max_ratio, k_middle_target_ms);
        m_report.info(k_middle_memory, added_mb, "MB");

        // Closed cleanly: recorded, and opened again without a check.
        close_catalogue();
        const std::optional<store::FileState> state = store::file_state(ours);
        m_report.check_for({k_reopen}, QStringLiteral("the clean close recorded the catalogue"),
                           state && store::CheckedCatalogues().unchanged(ours, *state));
        int checked = 0;
        const std::vector<double> reopen = time_runs(
            [&] {
                open_catalogue(ours);
                checked += m_window.integrity_check_running() ? 1 : 0;
                wait_for_integrity_check(m_window);
            },
            [&] {
                close_catalogue();
                m_report.check_for({k_reopen}, QStringLiteral("file cache dropped"), drop_from_cache(ours));
            });
        m_report.check_for({k_reopen}, QStringLiteral("writes allowed after the reopening"), writable(),
                           m_window.message_text());
        m_report.check_for({k_reopen}, QStringLiteral("no reopening needed the check"), checked == 0,
                           QStringLiteral("%1 did").arg(checked));
        m_report.figure(k_reopen, reopen, k_reopen_target_ms);
        close_catalogue();
        remove_copies();
    }

private:
    // The numbers and pages of both copies, row for row.
    bool same_rows(const QString& a, const QString& b)
    {
        QString digest[2];
        const QString files[2] = {a, b};
        for (int i = 0; i < 2; ++i) {
            store::Error e;
            auto conn = store::Connection::open(files[i], {}, e);
            if (!conn)
                return false;
            digest[i] = conn->scalar(QStringLiteral("SELECT count(*) || ' ' || total(numpic * (rowid % 1000003)) || ' ' || "
                                                    "total(numpage * (rowid % 999983)) FROM demopicture"),
                                     {}, e)
                            .toString();
        }
        m_report.say("rows of both copies: %s / %s\n", qPrintable(digest[0]), qPrintable(digest[1]));
        return !digest[0].isEmpty() && digest[0] == digest[1];
    }

    Report& m_report;
    BenchDialogs& m_dialogs;
    QString m_path;
    frmBrowser m_window{Edition::enhanced()};
};

} // namespace

int main(int argc, char** argv)
{
    Report report(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchDialogs* dialogs = install_bench_dialogs();
    QString folder = QStringLiteral(MOSSWICK_BENCH_CACHE);
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == "--dir")
            folder = QString::fromLocal8Bit(argv[i + 1]);

    const QString path = big_catalogue(folder, k_big_rows, report.text());
    if (path.isEmpty())
        return 2;
    Bench bench(report, *dialogs, path);
    bench.opens();
    bench.check_behind();
    bench.delete_last();
    bench.middle_and_reopen(folder);
    return report.finish();
}
