// Times the batch load through the main window, as a user runs it:
//  - 5,000 small generated JPEGs, half of them with a .avi or .txt companion,
//    loaded by name ("OUT") into an empty catalogue, with 1,000 and 2,500 of
//    them too so that the growth shows;
//  - the same 5,000 into a catalogue that holds 50,000 rows;
//  - the same 5,000 stored inside the catalogue ("IN"), then 5,000 small
//    photographs (about 50 KB) and 200 larger JPEGs stored inside, for the
//    throughput in MB/s.
// Targets: 5,000 OUT in under 10 s, growing linearly (the time per file at
// 5,000 within twice that at 1,000); IN at 50 MB/s or more for photographs
// (the kilobyte-sized JPEGs are timed per file, without a rate target). Each figure is
// taken five times, each time into a fresh catalogue, and the rows and the
// summary of every run are checked; after every IN run each row's stored
// bytes are compared with the file it was loaded from. Every picture is a
// picture of its own (no two files alike, checked) and a file of its own: the
// loader rightly refuses a file with a second name, so no folder links them.
// Run by hand: bench-loader [--dir FOLDER] [--only out|notes|big|in-small|in-photo|in-large] [--tsv]
// (default: all runs, in a temporary folder; also in-photo).
// Needs no display: it runs on the offscreen platform.

#include "support/window_controls.h"
#include "support/list_gestures.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "support/bench_window.h"
#include "core/edition.h"
#include "frame/frm_browser.h"
#include "loader/list_boxes.h"
#include "platform/store/connection.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <thread>

using namespace mosswick;

namespace {

using benchsupport::BenchDialogs;
using namespace benchsupport;

BenchDialogs* g_dialogs = nullptr;

QByteArray jpeg_bytes(int w, int h, int seed, bool noisy)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng{quint32(seed)};
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = noisy ? int(rng.bounded(64)) : 0;
            line[x] = qRgb((x * 255 / w + seed + n) & 255, (y * 255 / h + seed / 256 + n) & 255, (seed * 37 + n) & 255);
        }
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG", noisy ? 92 : 80);
    return out;
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray hash_of(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Writes count pictures, path_of(i) made by make(i), on every core; returns
// their total bytes and whether no two are alike.
qint64 write_pictures(int count, const std::function<QString(int)>& path_of, const std::function<QByteArray(int)>& make,
                      bool& distinct)
{
    const int workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<QByteArray> hashes(size_t(count) + 1);
    std::vector<qint64> bytes(size_t(workers), 0);
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            for (int i = 1 + w; i <= count; i += workers) {
                const QByteArray b = make(i);
                write(path_of(i), b);
                hashes[size_t(i)] = hash_of(b);
                bytes[size_t(w)] += b.size();
            }
        });
    for (std::thread& t : threads)
        t.join();
    distinct = std::set<QByteArray>(hashes.begin() + 1, hashes.end()).size() == size_t(count);
    qint64 total = 0;
    for (qint64 b : bytes)
        total += b;
    return total;
}

// Rows whose stored picture is not the bytes of the file they were loaded
// from (in folder); -1 when the catalogue cannot be read.
qint64 stored_unlike_source(store::Connection& conn, const QString& folder)
{
    store::Error e;
    qint64 unlike = 0;
    auto st = conn.prepare("SELECT numpic, picfile FROM demopicture");
    while (st.step()) {
        QFile source(folder + u'/' + st.text(1));
        const QByteArray stored = conn.read_picture_bytes(st.integer(0), e);
        if (e || !source.open(QIODevice::ReadOnly))
            return -1;
        unlike += stored.isEmpty() || hash_of(stored) != hash_of(source.readAll()) ? 1 : 0;
    }
    return st.error() ? -1 : unlike;
}

// n pictures named pic00001.jpg ..., copies of those in source; every second
// one has a companion, alternately a movie and a note file. Returns the
// pictures' total bytes.
qint64 make_folder(const QString& folder, int n, const QString& source)
{
    QDir().mkpath(folder);
    qint64 bytes = 0;
    for (int i = 1; i <= n; ++i) {
        const QString base = QStringLiteral("%1/pic%2").arg(folder).arg(i, 5, 10, QLatin1Char('0'));
        const QString from = QStringLiteral("%1/pic%2.jpg").arg(source).arg(i, 5, 10, QLatin1Char('0'));
        QFile::copy(from, base + ".jpg");
        bytes += QFileInfo(base + ".jpg").size();
        if (i % 4 == 0)
            write(base + ".avi", "movie");
        else if (i % 4 == 2)
            write(base + ".txt", "A note about picture " + QByteArray::number(i));
    }
    return bytes;
}

QString make_catalogue(const QString& folder, int rows)
{
    QDir().mkpath(folder + "/data");
    const QString path = folder + "/catalogue.mdb";
    if (store::Error e = store::Connection::create(path, store::Schema::Full, {})) {
        std::fprintf(stderr, "create: %s\n", qPrintable(e.text));
        return {};
    }
    if (rows == 0)
        return path;
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    store::Transaction t(*conn);
    auto st = conn->prepare("INSERT INTO demopicture (picfile, note, numpage, numpic) VALUES (?1, ?2, ?3, ?4)");
    for (int i = 1; i <= rows; ++i) {
        st.bind_all({QStringLiteral("old%1.jpg").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("note %1").arg(i),
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

struct Run {
    double list_ms = 0;
    double load_ms = 0;
    QString message;
    qint64 rows = 0;
    qint64 unlike_source = 0;   // stored pictures unlike their files (IN)
};

// Opens the catalogue in a fresh window, lists the folder and clicks "Load pictures".
Run run_window(const QString& catalogue, const QString& folder, bool inside, bool notes_in)
{
    Run r;
    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    g_dialogs->next_file = catalogue;
    ctl(w).mnuDb->trigger();
    if (!w.session().db_open()) {
        r.message = w.message_text();
        return r;
    }
    // Nothing is loaded before the check behind the page has passed.
    wait_for_integrity_check(w);
    // The way down to the folder untimed: the timed double click lists it.
    testsupport::open_folder(ctl(w).Dir_ImportDir, QFileInfo(folder).path());
    QElapsedTimer t;
    t.start();
    testsupport::open_folder(ctl(w).Dir_ImportDir, folder);
    r.list_ms = double(t.nsecsElapsed()) / 1e6;
    ctl(w).Option4[inside ? 0 : 1]->setChecked(true);
    (notes_in ? ctl(w).OptionFL[0] : ctl(w).OptionFL[1])->click();
    t.restart();
    ctl(w).load_pictures->click();
    r.load_ms = double(t.nsecsElapsed()) / 1e6;
    r.message = w.message_text();
    r.rows = w.session().picture_count();
    if (inside)
        r.unlike_source = w.session().db_conn() ? stored_unlike_source(*w.session().db_conn(), folder) : -1;
    return r;
}

// Five runs of one load, each into a fresh catalogue from make(run); every
// run must end with expected_rows rows and a summary without errors.
struct Measured {
    std::vector<double> load_ms;
    std::vector<double> list_ms;
};

Measured measure(Report& report, const QString& what, int files, qint64 expected_rows,
                 const std::function<QString(int run)>& make, const QString& folder, bool inside, bool notes_in,
                 qint64 bytes = 0)
{
    Measured m;
    bool stored = true;
    for (int i = 0; i < k_runs; ++i) {
        const Run r = run_window(make(i), folder, inside, notes_in);
        m.load_ms.push_back(r.load_ms);
        m.list_ms.push_back(r.list_ms);
        stored &= report.check_for(
            {what}, QStringLiteral("rows and summary"),
            r.rows == expected_rows &&
                r.message.startsWith(QStringLiteral("%1 pictures processed. %2 loaded.").arg(files).arg(files)) &&
                !r.message.contains(QStringLiteral("error")),
            QStringLiteral("%1 (rows %2, expected %3)").arg(r.message).arg(r.rows).arg(expected_rows));
        if (inside)
            stored &= report.check_for({what}, QStringLiteral("every stored picture is its file's bytes"),
                                       r.unlike_source == 0, QStringLiteral("%1 unlike").arg(r.unlike_source));
    }
    report.info(what + QStringLiteral(": list"), m.list_ms);
    // A load that did not store the pictures has no rate.
    if (bytes > 0 && stored) {
        std::vector<double> rates;
        for (double ms : m.load_ms)
            rates.push_back(double(bytes) / 1e6 / (ms / 1000.0));
        report.say("%-52s slowest %6.1f MB/s  median %6.1f MB/s\n", qPrintable(what + QStringLiteral(": rate")),
                   min_of(rates), median_of(rates));
    }
    return m;
}

// The IN rate's target as a time: bytes at 50 MB/s.
double at_50_mb_per_s(qint64 bytes)
{
    return double(bytes) / 50e6 * 1000.0;
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
    QString only;   // one run: out, notes, big, in-small, in-photo, in-large
    for (int i = 1; i + 1 < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == "--dir")
            root = QString::fromLocal8Bit(argv[i + 1]);
        if (QString::fromLocal8Bit(argv[i]) == "--only")
            only = QString::fromLocal8Bit(argv[i + 1]);
    }
    auto wanted = [&](const char* name) { return only.isEmpty() || only == QLatin1String(name); };

    constexpr int k_files = 5000;
    const QString source = root + "/source";
    QDir().mkpath(source);
    QElapsedTimer t;
    t.start();
    bool distinct = false;
    const qint64 small_bytes = write_pictures(
        k_files, [&](int i) { return QStringLiteral("%1/pic%2.jpg").arg(source).arg(i, 5, 10, QLatin1Char('0')); },
        [](int i) { return jpeg_bytes(64, 48, i, false); }, distinct);
    report.check(QStringLiteral("the small JPEGs are pictures of their own"), distinct);
    report.say("generated %d JPEGs of %.1f KB on average in %.1f s\n\n", k_files, double(small_bytes) / k_files / 1024,
               double(t.elapsed()) / 1000);

    auto empty_in = [&](const QString& dir) {
        return [dir](int run) { return make_catalogue(QStringLiteral("%1/run%2").arg(dir).arg(run), 0); };
    };

    // By name into an empty catalogue, at three sizes.
    auto out_figure = [](int n) { return QStringLiteral("OUT, empty catalogue, %1 pictures").arg(n); };
    for (int n : {1000, 2500, k_files}) {
        if (!wanted("out"))
            break;
        const QString dir = QStringLiteral("%1/out-%2").arg(root).arg(n);
        make_folder(dir + "/pictures", n, source);
        const Measured m = measure(report, out_figure(n), n, n, empty_in(dir), dir + "/pictures", false, false);
        if (n == k_files)
            report.figure(out_figure(n), m.load_ms, 10000.0);
        else
            report.info(out_figure(n), m.load_ms);
    }
    if (wanted("out"))
        report.growth(QStringLiteral("OUT, empty catalogue, growth from 1,000 to 5,000 pictures"), out_figure(k_files),
                      k_files, out_figure(1000), 1000, 2.0);
    if (wanted("notes")) {
        const QString dir = root + "/out-notes";
        make_folder(dir + "/pictures", k_files, source);
        const QString what = QStringLiteral("OUT, notes imported (.txt into the note)");
        report.figure(what, measure(report, what, k_files, k_files, empty_in(dir), dir + "/pictures", false, true).load_ms,
                      10000.0);
    }
    if (wanted("big")) {
        const QString dir = root + "/out-50000";
        t.restart();
        const QString pristine = make_catalogue(dir + "/pristine", 50000);
        report.say("(catalogue of 50,000 rows made in %.1f s)\n", double(t.elapsed()) / 1000);
        make_folder(dir + "/pictures", k_files, source);
        auto copy = [&](int run) {
            const QString folder = QStringLiteral("%1/run%2").arg(dir).arg(run);
            QDir().mkpath(folder + "/data");
            QFile::copy(pristine, folder + "/catalogue.mdb");
            return folder + "/catalogue.mdb";
        };
        const QString what = QStringLiteral("OUT, catalogue of 50,000 rows");
        report.figure(what, measure(report, what, k_files, 50000 + k_files, copy, dir + "/pictures", false, false).load_ms,
                      10000.0);
    }
    if (wanted("in-small")) {
        const QString dir = root + "/in-small";
        const qint64 bytes = make_folder(dir + "/pictures", k_files, source);
        // Files of about a kilobyte measure the cost per file, not a rate:
        // the 50 MB/s target is for photographs (below).
        const QString what = QStringLiteral("IN, small JPEGs");
        report.info(what, measure(report, what, k_files, k_files, empty_in(dir), dir + "/pictures", true, false, bytes).load_ms);
    }
    // Photographs stored inside: count noisy JPEGs of width x height, each
    // a picture of its own, at 50 MB/s or more.
    auto photographs = [&](const QString& name, int count, int width, int height, int seed, const QString& what) {
        const QString dir = root + u'/' + name;
        QDir().mkpath(dir + "/pictures");
        bool distinct = false;
        const qint64 bytes = write_pictures(
            count, [&](int i) { return QStringLiteral("%1/pictures/%2%3.jpg").arg(dir, name).arg(i, 5, 10, QLatin1Char('0')); },
            [=](int i) { return jpeg_bytes(width, height, seed + i, true); }, distinct);
        report.check_for({what}, QStringLiteral("every picture one of its own"), distinct);
        report.say("(%s: %.1f KB each)\n", qPrintable(what), double(bytes) / count / 1024);
        report.figure(what, measure(report, what, count, count, empty_in(dir), dir + "/pictures", true, false, bytes).load_ms,
                      at_50_mb_per_s(bytes));
    };
    // Small photographs: 320 x 240 with detail, about 50 KB each.
    if (wanted("in-photo"))
        photographs(QStringLiteral("photo"), k_files, 320, 240, 11, QStringLiteral("IN, small photographs"));
    // Photographs are larger: 200 noisy JPEGs of about half a megabyte.
    if (wanted("in-large"))
        photographs(QStringLiteral("large"), 200, 1024, 768, 7, QStringLiteral("IN, large JPEGs"));
    return report.finish();
}
