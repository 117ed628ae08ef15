// Times the maintenance actions over large catalogues through the main window:
//  - "Load List": the management grid filled and painted with 25,000, 50,000
//    and 100,000 rows (target: 100,000 rows in under a second);
//  - "Renumber pages" by file name, and deleting the first picture (every
//    row moves), at the same sizes (target: linear growth);
//  - deleting the last picture (nothing else moves; target under 100 ms);
//  - the verify pass over the same catalogues and a listed folder of 5,000
//    files (target: linear growth).
// Growth is judged by the median time per row: at 100,000 rows it must stay
// within twice the time per row at 25,000. Each figure is taken five times,
// every edit on a fresh copy of the same catalogue, and each result checked.
// Run by hand: bench-maintenance [--dir FOLDER]. Needs no display.

#include "support/window_controls.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "catalogue/edition.h"
#include "frame/frm_browser.h"
#include "loader/list_boxes.h"
#include "maintenance/grid_model.h"
#include "platform/store/connection.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

using namespace mosswick;

namespace {

using benchsupport::BenchDialogs;
using namespace benchsupport;

BenchDialogs* g_dialogs = nullptr;

QString make_catalogue(const QString& folder, int rows)
{
    QDir().mkpath(folder + "/data");
    const QString path = folder + "/catalogue.mdb";
    // Never delete a file the user may care about: a catalogue found there stays.
    if (QFile::exists(path)) {
        std::fprintf(stderr, "%s exists already; choose an empty folder\n", qPrintable(path));
        return {};
    }
    if (store::Error e = store::Connection::create(path, store::Schema::Full, {})) {
        std::fprintf(stderr, "create: %s\n", qPrintable(e.text));
        return {};
    }
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    store::Transaction t(*conn);
    auto st = conn->prepare(
        "INSERT INTO demopicture (picfile, movfile, note, numpage, numpic) VALUES (?1, ?2, ?3, ?4, ?5)");
    for (int i = 1; i <= rows; ++i) {
        // Names in an order unlike the numbers, so that renumbering by name moves rows.
        const int key = int((qint64(i) * 7919) % rows);
        st.bind_all({QStringLiteral("p%1.jpg").arg(key, 6, 10, QLatin1Char('0')),
                     i % 3 == 0 ? QVariant(QStringLiteral("m%1.avi").arg(i)) : QVariant(), QStringLiteral("note %1").arg(i),
                     (i + 5) / 6, i});
        if (store::Error ie = st.run()) {
            std::fprintf(stderr, "insert: %s\n", qPrintable(ie.text));
            return {};
        }
    }
    t.commit();
    return path;
}

struct Times {
    int rows = 0;
    std::vector<double> grid, renumber, delete_first, delete_last, verify;
};

// Where the catalogue of a run stands: numbers 1..N without a gap, six to a page.
bool numbered_in_order(store::Connection& conn, qint64 rows)
{
    store::Error e;
    const QVariant bad = conn.scalar(
        "SELECT count(*) FROM demopicture WHERE numpic IS NULL OR numpic < 1 OR numpic > ?1 OR numpage <> (numpic + 5) / 6",
        {rows}, e);
    return !e && bad.toLongLong() == 0 && conn.record_count(e) == rows && conn.max_numpic(e).toLongLong() == rows;
}

QString name_at(store::Connection& conn, qint64 numpic)
{
    store::Error e;
    return conn.scalar("SELECT picfile FROM demopicture WHERE numpic = ?1", {numpic}, e).toString();
}

Times run(const QString& root, int rows, const QString& listed, Report& report)
{
    Times times;
    times.rows = rows;
    const QString folder = root + QStringLiteral("/c%1").arg(rows);
    const QString pristine = make_catalogue(folder, rows);
    const QString catalogue = folder + "/working.mdb";
    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    w.resize(1280, 800);
    w.show();
    // Every edit starts from the same catalogue: a fresh copy, opened and checked.
    auto fresh = [&] {
        if (w.session().db_open)
            w.mnuDb_Click();
        QFile::remove(catalogue);
        QFile::copy(pristine, catalogue);
        g_dialogs->next_file = catalogue;
        w.mnuDb_Click();
        wait_for_integrity_check(w);
        ctl(w).SSTab_main->setCurrentIndex(2);
    };
    fresh();
    if (!report.check(QStringLiteral("%1 rows open for writing").arg(rows), w.session().db_open && !w.session().db_read_only,
                      w.message_text()))
        return times;
    const QString second = name_at(*w.session().db_conn, 2);
    const QString expected_grid = QStringLiteral("Grid loaded: %1 records listed.").arg(rows);
    const QString size = QStringLiteral("%1 rows").arg(rows);

    times.grid = time_runs([&] {
        ctl(w).load_list->click();
        ctl(w).mgm_pic->viewport()->repaint();
        report.check(size + " grid", w.message_text() == expected_grid && ctl(w).mgm_pic->model()->rowCount() == rows,
                     w.message_text());
    });
    report.info(size + ": grid", times.grid);

    times.renumber = time_runs(
        [&] {
            ctl(w).renumber_pages->click();
            // By name: p000000.jpg first, p<N-1> last.
            report.check(size + " renumbered by name",
                         numbered_in_order(*w.session().db_conn, rows) && name_at(*w.session().db_conn, 1) == "p000000.jpg" &&
                             name_at(*w.session().db_conn, rows) == QStringLiteral("p%1.jpg").arg(rows - 1, 6, 10, QLatin1Char('0')),
                         w.message_text());
        },
        fresh);
    report.info(size + ": renumber by name", times.renumber);

    times.delete_first = time_runs(
        [&] {
            ctl(w).Text15->setText(QStringLiteral("1"));
            ctl(w).delete_picture->click();
            report.check(size + " first picture deleted",
                         w.message_text() == "Picture deleted." && numbered_in_order(*w.session().db_conn, rows - 1) &&
                             name_at(*w.session().db_conn, 1) == second,
                         w.message_text());
        },
        fresh);
    report.info(size + ": delete the first picture", times.delete_first);

    fresh();
    int deleted = 0;
    times.delete_last = time_runs([&] {
        ctl(w).Text15->setText(QString::number(rows - deleted));
        ctl(w).delete_picture->click();
        ++deleted;
        report.check(size + " last picture deleted",
                     w.message_text() == "Picture deleted." && numbered_in_order(*w.session().db_conn, rows - deleted),
                     w.message_text());
    });
    report.figure(size + ": delete the last picture", times.delete_last, 100.0);

    fresh();
    w.loader().Dir_ImportDir_DblClick(listed);
    // The listed folder: p<3i>.jpg for i < 5000 (all catalogued) and m<i>.avi
    // for even i; the catalogue's movies are m<i>.avi for every third row i.
    int movies_listed_and_catalogued = 0;
    for (int i = 6; i < 5000; i += 6)
        ++movies_listed_and_catalogued;
    const int not_loaded = 2500 - movies_listed_and_catalogued;
    const int missing = (rows - 5000) + (rows / 3 - movies_listed_and_catalogued);
    times.verify = time_runs([&] {
        ctl(w).verify_loaded_pictures->click();
        report.check(size + " verify lists",
                     ctl(w).List1->count() == not_loaded && ctl(w).List2->count() == missing && ctl(w).List3->count() == 0,
                     QStringLiteral("%1 / %2 / %3 lines, expected %4 / %5 / 0")
                         .arg(ctl(w).List1->count())
                         .arg(ctl(w).List2->count())
                         .arg(ctl(w).List3->count())
                         .arg(not_loaded)
                         .arg(missing));
    });
    report.info(size + ": verify", times.verify);
    w.mnuDb_Click();
    return times;
}

bool linear(Report& report, const char* what, const std::vector<double>& small_ms, int small_rows,
            const std::vector<double>& big_ms, int big_rows)
{
    const double per_small = median_of(small_ms) / small_rows;
    const double per_big = median_of(big_ms) / big_rows;
    const bool ok = per_big <= 2.0 * per_small + 1e-3;
    std::printf("%-30s median %.2f us/row at %d rows, %.2f us/row at %d rows: %s\n", what, per_small * 1000,
                small_rows, per_big * 1000, big_rows, ok ? "linear (met)" : "NOT LINEAR (MISSED)");
    return report.check(QStringLiteral("%1 grows linearly").arg(QLatin1String(what)), ok);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_dialogs = benchsupport::install_bench_dialogs();

    QTemporaryDir temp;
    QString root = temp.path();
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == "--dir")
            root = QString::fromLocal8Bit(argv[i + 1]);

    // A listed folder: some pictures named like rows, some not, some movies.
    const QString listed = root + "/listed";
    QDir().mkpath(listed);
    for (int i = 0; i < 5000; ++i) {
        QFile(QStringLiteral("%1/p%2.jpg").arg(listed).arg(i * 3, 6, 10, QLatin1Char('0'))).open(QIODevice::WriteOnly);
        if (i % 2 == 0)
            QFile(QStringLiteral("%1/m%2.avi").arg(listed).arg(i)).open(QIODevice::WriteOnly);
    }

    Report report;
    std::vector<Times> all;
    for (int rows : {25000, 50000, 100000})
        all.push_back(run(root, rows, listed, report));

    const Times& small = all.front();
    const Times& big = all.back();
    report.figure(QStringLiteral("grid of %1 rows").arg(big.rows), big.grid, 1000.0);
    linear(report, "renumber", small.renumber, small.rows, big.renumber, big.rows);
    linear(report, "delete the first picture", small.delete_first, small.rows, big.delete_first, big.rows);
    linear(report, "verify", small.verify, small.rows, big.verify, big.rows);
    return report.finish();
}
