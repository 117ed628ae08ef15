// Times the maintenance actions over catalogues of 25,000, 50,000, 100,000
// and 1,000,000 rows through the main window:
//  - "Load List": the management grid filled and painted (target: 100,000
//    rows in under a second);
//  - "Renumber pages" by file name (every row moves) and deleting the first
//    picture (every row but one moves), each beside the engine's shell
//    running the same statements on a copy in the same run (target: the
//    renumbering of 1,000,000 rows within 1.5x of the shell);
//  - deleting the last picture (nothing else moves; target under 100 ms);
//  - the verify pass over the same catalogues and a listed folder of 5,000
//    files.
// Growth is shown as the median at each size against the median at 25,000
// scaled up in proportion; at 100,000 rows it must stay within twice that.
// Each figure is taken five times, every edit on a fresh copy of the same
// catalogue, and each result checked (the shell's copy must end as ours).
// Run by hand: bench-maintenance [--dir FOLDER] [--up-to ROWS] [--tsv].
// Needs no display.

#include "support/window_controls.h"
#include "support/list_gestures.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "support/bench_window.h"
#include "support/shell_peer.h"
#include "core/edition.h"
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
#include <QLocale>
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

constexpr double k_renumber_max_ratio = 1.5;
constexpr double k_max_growth = 2.0;
constexpr int k_small_rows = 25000;
constexpr int k_target_rows = 100000;

QString rows_text(qint64 rows)
{
    return QLocale(QLocale::English).toString(rows);
}

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
        st.bind_all({QStringLiteral("p%1.jpg").arg(key, 7, 10, QLatin1Char('0')),
                     i % 3 == 0 ? QVariant(QStringLiteral("m%1.avi").arg(i)) : QVariant(), QStringLiteral("note %1").arg(i),
                     (i + 5) / 6, i});
        if (store::Error ie = st.run()) {
            std::fprintf(stderr, "insert: %s\n", qPrintable(ie.text));
            return {};
        }
    }
    if (store::Error ce = t.commit()) {
        std::fprintf(stderr, "commit: %s\n", qPrintable(ce.text));
        return {};
    }
    return path;
}

struct Times {
    std::vector<double> grid, renumber, renumber_shell, delete_first, delete_first_shell, delete_last, verify;
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

// Every row's number and page, in brief.
QString digest(store::Connection& conn)
{
    store::Error e;
    return conn
        .scalar(QStringLiteral("SELECT count(*) || ' ' || total(numpic * (rowid % 1000003)) || ' ' || "
                               "total(numpage * (rowid % 999983)) FROM demopicture"),
                {}, e)
        .toString();
}

QString digest_of(const QString& path)
{
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    return conn ? digest(*conn) : QString();
}

// The shell knows no collation of ours: for the plain ASCII names of these
// catalogues its NOCASE orders alike.
QStringList for_the_shell(QStringList statements)
{
    for (QString& s : statements)
        s.replace(QLatin1String("COLLATE mw_fold"), QLatin1String("COLLATE NOCASE"));
    return statements;
}

// The figures of one size.
struct Names {
    QString grid, renumber, delete_first, delete_last, verify;
    explicit Names(int rows)
    {
        const QString size = rows_text(rows) + QStringLiteral(" rows");
        grid = QStringLiteral("grid, %1").arg(size);
        renumber = QStringLiteral("renumber by name, %1").arg(size);
        delete_first = QStringLiteral("delete the first picture, %1").arg(size);
        delete_last = QStringLiteral("delete the last picture, %1").arg(size);
        verify = QStringLiteral("verify, %1").arg(size);
    }
};

void run(const QString& root, int rows, const QString& listed, const QString& shell, Report& report)
{
    const Names names(rows);
    Times times;
    const QString folder = root + QStringLiteral("/c%1").arg(rows);
    const QString pristine = make_catalogue(folder, rows);
    const QString catalogue = folder + "/working.mdb";
    const QString shell_copy = folder + "/shell.mdb";
    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    w.resize(1280, 800);
    w.show();
    // Every edit starts from the same catalogue: a fresh copy, opened and checked.
    auto fresh = [&] {
        if (w.session().db_open())
            ctl(w).mnuDb->trigger();
        QFile::remove(catalogue);
        QFile::copy(pristine, catalogue);
        g_dialogs->next_file = catalogue;
        ctl(w).mnuDb->trigger();
        wait_for_integrity_check(w);
        ctl(w).SSTab_main->setCurrentIndex(2);
    };
    // The shell does what the window did, on a fresh copy of its own, and
    // must leave its copy as the window left ours.
    auto shell_does = [&](const QString& figure, const QStringList& statements, std::vector<double>& peer) {
        if (shell.isEmpty())
            return;
        QFile::remove(shell_copy);
        QFile::copy(pristine, shell_copy);
        const double ms = shell_run(shell, shell_copy, for_the_shell(statements));
        if (report.check_for({figure}, QStringLiteral("the shell ran the same statements"), ms >= 0))
            peer.push_back(ms);
        report.check_for({figure}, QStringLiteral("the shell's copy ends as ours"),
                         digest_of(shell_copy) == digest(*w.session().db_conn()));
    };
    // Times a click with the statements it runs traced.
    auto timed_click = [&](QPushButton* button, QStringList& statements) {
        const StatementTrace trace(w.session().db_conn()->handle());
        QElapsedTimer t;
        t.start();
        button->click();
        const double ms = ms_since(t);
        statements = trace.statements();
        return ms;
    };
    fresh();
    if (!report.check(QStringLiteral("%1 rows open for writing").arg(rows), w.session().db_open() && !w.session().db_read_only(),
                      w.message_text()))
        return;
    const QString second = name_at(*w.session().db_conn(), 2);
    const QString expected_grid = QStringLiteral("Grid loaded: %1 records listed.").arg(rows);

    times.grid = time_runs([&] {
        ctl(w).load_list->click();
        ctl(w).mgm_pic->viewport()->repaint();
        report.check_for({names.grid}, QStringLiteral("every row listed"),
                         w.message_text() == expected_grid && ctl(w).mgm_pic->model()->rowCount() == rows,
                         w.message_text());
    });

    for (int i = 0; i < k_runs; ++i) {
        fresh();
        QStringList statements;
        times.renumber.push_back(timed_click(ctl(w).renumber_pages, statements));
        // By name: p0000000.jpg first, p<N-1> last.
        report.check_for({names.renumber}, QStringLiteral("renumbered by name"),
                         numbered_in_order(*w.session().db_conn(), rows) &&
                             name_at(*w.session().db_conn(), 1) == "p0000000.jpg" &&
                             name_at(*w.session().db_conn(), rows) ==
                                 QStringLiteral("p%1.jpg").arg(rows - 1, 7, 10, QLatin1Char('0')),
                         w.message_text());
        shell_does(names.renumber, statements, times.renumber_shell);
    }

    for (int i = 0; i < k_runs; ++i) {
        fresh();
        ctl(w).Text15->setText(QStringLiteral("1"));
        QStringList statements;
        times.delete_first.push_back(timed_click(ctl(w).delete_picture, statements));
        report.check_for({names.delete_first}, QStringLiteral("first picture deleted"),
                         w.message_text() == "Picture deleted." && numbered_in_order(*w.session().db_conn(), rows - 1) &&
                             name_at(*w.session().db_conn(), 1) == second,
                         w.message_text());
        shell_does(names.delete_first, statements, times.delete_first_shell);
    }

    fresh();
    for (int deleted = 1; deleted <= k_runs; ++deleted) {
        ctl(w).Text15->setText(QString::number(rows - deleted + 1));
        QElapsedTimer t;
        t.start();
        ctl(w).delete_picture->click();
        times.delete_last.push_back(ms_since(t));
        report.check_for({names.delete_last}, QStringLiteral("last picture deleted"),
                         w.message_text() == "Picture deleted." &&
                             numbered_in_order(*w.session().db_conn(), rows - deleted),
                         w.message_text());
    }

    fresh();
    testsupport::open_folder(ctl(w).Dir_ImportDir, listed);
    // The listed folder: p<3i>.jpg for i < 5000 (all catalogued) and m<i>.avi
    // for even i; the catalogue's movies are m<i>.avi for every third row i.
    int movies_listed_and_catalogued = 0;
    for (int i = 6; i < 5000; i += 6)
        ++movies_listed_and_catalogued;
    const int not_loaded = 2500 - movies_listed_and_catalogued;
    const int missing = (rows - 5000) + (rows / 3 - movies_listed_and_catalogued);
    times.verify = time_runs([&] {
        ctl(w).verify_loaded_pictures->click();
        report.check_for({names.verify}, QStringLiteral("verify lists"),
                     ctl(w).List1->count() == not_loaded && ctl(w).List2->count() == missing && ctl(w).List3->count() == 0,
                     QStringLiteral("%1 / %2 / %3 lines, expected %4 / %5 / 0")
                         .arg(ctl(w).List1->count())
                         .arg(ctl(w).List2->count())
                         .arg(ctl(w).List3->count())
                         .arg(not_loaded)
                         .arg(missing));
    });
    ctl(w).mnuDb->trigger();
    for (const QString& f : {catalogue, shell_copy, pristine})
        QFile::remove(f);

    if (rows == k_target_rows)
        report.figure(names.grid, times.grid, 1000.0);
    else
        report.info(names.grid, times.grid);
    if (rows == 1000000)
        report.against(names.renumber, times.renumber, times.renumber_shell, k_renumber_max_ratio);
    else
        report.info(names.renumber, times.renumber, "ms", times.renumber_shell);
    report.info(names.delete_first, times.delete_first, "ms", times.delete_first_shell);
    report.figure(names.delete_last, times.delete_last, 100.0);
    report.info(names.verify, times.verify);
}

} // namespace

int main(int argc, char** argv)
{
    Report report(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_dialogs = benchsupport::install_bench_dialogs();

    QTemporaryDir temp;
    QString root = temp.path();
    int up_to = 1000000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == "--dir")
            root = QString::fromLocal8Bit(argv[i + 1]);
        if (QString::fromLocal8Bit(argv[i]) == "--up-to")
            up_to = QString::fromLocal8Bit(argv[i + 1]).toInt();
    }
    const QString shell = find_shell();
    report.say("the peer: %s\n", shell.isEmpty() ? "none (neither sqlcipher nor sqlite3 installed)" : qPrintable(shell));
    report.check(QStringLiteral("a shell to run the same statements"), !shell.isEmpty());

    // A listed folder: some pictures named like rows, some not, some movies.
    const QString listed = root + "/listed";
    QDir().mkpath(listed);
    for (int i = 0; i < 5000; ++i) {
        QFile(QStringLiteral("%1/p%2.jpg").arg(listed).arg(i * 3, 7, 10, QLatin1Char('0'))).open(QIODevice::WriteOnly);
        if (i % 2 == 0)
            QFile(QStringLiteral("%1/m%2.avi").arg(listed).arg(i)).open(QIODevice::WriteOnly);
    }

    std::vector<int> sizes;
    for (int rows : {k_small_rows, 50000, k_target_rows, 1000000})
        if (rows <= std::max(up_to, k_small_rows)) {
            run(root, rows, listed, shell, report);
            sizes.push_back(rows);
        }

    const Names small(k_small_rows);
    for (const int rows : sizes) {
        if (rows == k_small_rows)
            continue;
        const Names big(rows);
        const std::optional<double> limit = rows == k_target_rows ? std::optional<double>(k_max_growth) : std::nullopt;
        const QString span = QStringLiteral("from %1 to %2 rows").arg(rows_text(k_small_rows), rows_text(rows));
        report.growth(QStringLiteral("renumber by name, growth %1").arg(span), big.renumber, rows, small.renumber,
                      k_small_rows, limit);
        report.growth(QStringLiteral("delete the first picture, growth %1").arg(span), big.delete_first, rows,
                      small.delete_first, k_small_rows, limit);
        report.growth(QStringLiteral("verify, growth %1").arg(span), big.verify, rows, small.verify, k_small_rows, limit);
    }
    return report.finish();
}
