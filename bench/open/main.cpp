// Times a catalogue of a million rows with ~300-byte RTF notes through the
// main window, as a user meets it:
//  - Open DB until "Database opened." with page 1 shown, cold (the
//    catalogue's pages dropped from the file cache with posix_fadvise first;
//    target under 1 s) and warm (target under 300 ms);
//  - deleting the last picture (target under 100 ms);
//  - the integrity check that runs behind the shown page, for information.
// The catalogue is made once and kept under the build folder.
// Run by hand: bench-open [--dir FOLDER]. Needs no display.

#include "support/window_controls.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "support/big_catalogue.h"

#include "catalogue/edition.h"
#include "frame/frm_browser.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

using namespace mosswick;
using namespace benchsupport;

namespace {

constexpr double k_cold_target_ms = 1000;
constexpr double k_warm_target_ms = 300;
constexpr double k_delete_target_ms = 100;

// Drops the file's pages from the kernel's cache (written back first).
bool drop_from_cache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::fdatasync(fd);
    const bool ok = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchDialogs* dialogs = install_bench_dialogs();
    QString folder = QStringLiteral(MOSSWICK_BENCH_CACHE);
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == "--dir")
            folder = QString::fromLocal8Bit(argv[i + 1]);

    const QString path = big_catalogue(folder);
    if (path.isEmpty())
        return 2;
    const qint64 rows = k_big_rows;
    Report report;

    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    w.resize(1280, 800);
    w.show();
    auto close_catalogue = [&] {
        if (w.session().db_open)
            w.mnuDb_Click();   // also stops a running check
    };
    auto open_catalogue = [&] {
        dialogs->next_file = path;
        w.mnuDb_Click();
    };
    auto check_opened = [&](const char* how) {
        report.check(QStringLiteral("%1 open shows page 1 of %2 rows").arg(QLatin1String(how)).arg(rows),
                     w.session().db_open && w.message_text().startsWith(QStringLiteral("Database opened.")) &&
                         w.session().picture_count == rows && w.page_view().cells_on_page() == 6 &&
                         ctl(w).Label29->text() == QString::number((rows + 5) / 6),
                     w.message_text());
    };

    // Each run: closed (which stops the check behind the page), then opened.
    auto open_runs = [&](const char* how, bool cold) {
        return time_runs(
            [&] {
                open_catalogue();
                check_opened(how);
            },
            [&] {
                close_catalogue();
                if (cold)
                    report.check(QStringLiteral("file cache dropped"), drop_from_cache(path));
            });
    };
    report.figure(QStringLiteral("open 1,000,000 rows, cold, to page 1"), open_runs("cold", true), k_cold_target_ms);
    report.figure(QStringLiteral("open 1,000,000 rows, warm, to page 1"), open_runs("warm", false), k_warm_target_ms);

    // The check behind the page: once, warm, for information.
    close_catalogue();
    QElapsedTimer t;
    t.start();
    open_catalogue();
    // The check's bar moves while it runs: the last value it showed.
    int last_shown = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (w.integrity_check_running())
            last_shown = ctl(w).check_progress->value();
    });
    sampler.start(50);
    report.check(QStringLiteral("integrity check ended"), wait_for_integrity_check(w));
    sampler.stop();
    std::printf("the check's bar last showed %.1f %% before the check ended\n", last_shown / 10.0);
    report.check(QStringLiteral("the check's bar moved"), last_shown > 0);
    report.info(QStringLiteral("open and integrity check behind the page"), {ms_since(t)});
    report.check(QStringLiteral("writes allowed after the check"), !w.session().db_read_only && ctl(w).delete_picture->isEnabled(),
                 w.message_text());

    std::vector<double> deletes;
    for (int i = 0; i < k_runs && ctl(w).delete_picture->isEnabled(); ++i) {
        const qint64 last = rows - i;
        ctl(w).Text15->setText(QString::number(last));
        t.restart();
        ctl(w).delete_picture->click();
        deletes.push_back(ms_since(t));
        store::Error e;
        const qint64 count = w.session().db_conn->record_count(e);
        const qint64 top = w.session().db_conn->max_numpic(e).toLongLong();
        report.check(QStringLiteral("last picture deleted"),
                     w.message_text() == QStringLiteral("Picture deleted.") && count == last - 1 && top == last - 1 &&
                         w.session().picture_count == last - 1 && !e,
                     QStringLiteral("%1; %2 rows, largest number %3").arg(w.message_text()).arg(count).arg(top));
    }
    report.figure(QStringLiteral("delete the last picture of 1,000,000"), deletes, k_delete_target_ms);
    // The cached catalogue gets its rows back.
    if (w.session().db_conn && !deletes.empty()) {
        const bool restored = add_big_rows(*w.session().db_conn, rows - qint64(deletes.size()) + 1, rows);
        store::Error e;
        report.check(QStringLiteral("catalogue restored"), restored && w.session().db_conn->record_count(e) == rows);
    }
    close_catalogue();
    return report.finish();
}
