// Times the maintenance actions over large catalogues through the main window:
//  - "Load List": the management grid filled and painted with 25,000, 50,000
//    and 100,000 rows (target: 100,000 rows in under a second);
//  - "Renumber pages" by file name and the keep-order renumbering of a
//    picture delete, at the same sizes (target: linear growth);
//  - the verify pass over the same catalogues and a listed folder of 5,000
//    files (target: linear growth).
// Growth is judged by the time per row: at 100,000 rows it must stay within
// twice the time per row at 25,000.
// Run by hand: bench-maintenance [--dir FOLDER]. Needs no display.

#include "support/bench_dialogs.h"
#include "catalogue/edition.h"
#include "catalogue/frm_browser.h"
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
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

using namespace mosswick;

namespace {

using benchsupport::BenchDialogs;

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

double ms_since(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

struct Times {
    int rows = 0;
    double grid_ms = 0;
    double renumber_ms = 0;
    double delete_ms = 0;
    double verify_ms = 0;
};

Times run(const QString& root, int rows, const QString& listed)
{
    Times times;
    times.rows = rows;
    const QString folder = root + QStringLiteral("/c%1").arg(rows);
    const QString catalogue = make_catalogue(folder, rows);
    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    w.resize(1280, 800);
    w.show();
    g_dialogs->next_file = catalogue;
    w.mnuDb_Click();
    if (!w.db_open) {
        std::fprintf(stderr, "open: %s\n", qPrintable(w.message_text()));
        return times;
    }
    w.SSTab_main->setCurrentIndex(2);
    QElapsedTimer t;
    t.start();
    w.load_list->click();
    w.mgm_pic->viewport()->repaint();
    times.grid_ms = ms_since(t);
    std::printf("  %7d rows  grid   %8.1f ms  (%s)\n", rows, times.grid_ms, qPrintable(w.message_text()));

    t.restart();
    w.renumber_pages->click();
    times.renumber_ms = ms_since(t);
    std::printf("  %7d rows  renumber by name %8.1f ms  (%s)\n", rows, times.renumber_ms, qPrintable(w.message_text()));

    w.Text15->setText(QStringLiteral("1"));
    t.restart();
    w.delete_picture->click();
    times.delete_ms = ms_since(t);
    std::printf("  %7d rows  delete + renumber %7.1f ms  (%s)\n", rows, times.delete_ms, qPrintable(w.message_text()));

    w.Dir_ImportDir_DblClick(listed);
    t.restart();
    w.verify_loaded_pictures->click();
    times.verify_ms = ms_since(t);
    std::printf("  %7d rows  verify %8.1f ms  (%s; %d / %d / %d lines)\n", rows, times.verify_ms,
                qPrintable(w.message_text()), w.List1->count(), w.List2->count(), w.List3->count());
    std::fflush(stdout);
    w.mnuDb_Click();
    return times;
}

bool linear(const char* what, double small_ms, int small_rows, double big_ms, int big_rows)
{
    const double per_small = small_ms / small_rows;
    const double per_big = big_ms / big_rows;
    const bool ok = per_big <= 2.0 * per_small + 1e-3;
    std::printf("%-20s %.2f us/row at %d rows, %.2f us/row at %d rows: %s\n", what, per_small * 1000, small_rows,
                per_big * 1000, big_rows, ok ? "linear (met)" : "NOT LINEAR");
    return ok;
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

    std::vector<Times> all;
    for (int rows : {25000, 50000, 100000})
        all.push_back(run(root, rows, listed));

    const Times& small = all.front();
    const Times& big = all.back();
    bool ok = true;
    const bool grid_ok = big.grid_ms < 1000.0;
    std::printf("%-20s %.1f ms for %d rows: %s\n", "grid", big.grid_ms, big.rows,
                grid_ok ? "under 1 s (met)" : "OVER 1 s");
    ok &= grid_ok;
    ok &= linear("renumber", small.renumber_ms, small.rows, big.renumber_ms, big.rows);
    ok &= linear("delete + renumber", small.delete_ms, small.rows, big.delete_ms, big.rows);
    ok &= linear("verify", small.verify_ms, small.rows, big.verify_ms, big.rows);
    std::printf("%s\n", ok ? "all targets met" : "some targets missed");
    return ok ? 0 : 1;
}
