// Times the batch load through the main window, as a user runs it:
//  - 5,000 small generated JPEGs, half of them with a .avi or .txt companion,
//    loaded by name ("OUT") into an empty catalogue, with 1,000 and 2,500 of
//    them too so that the growth shows;
//  - the same 5,000 into a catalogue that holds 50,000 rows;
//  - the same 5,000 stored inside the catalogue ("IN"), then 5,000 small
//    photographs (about 50 KB) and 200 larger JPEGs stored inside, for the
//    throughput in MB/s.
// Run by hand: bench-loader [--dir FOLDER] [--only out|notes|big|in-small|in-photo|in-large]
// (default: all runs, in a temporary folder; also in-photo).
// Needs no display: it runs on the offscreen platform.

#include "support/bench_dialogs.h"
#include "catalogue/edition.h"
#include "catalogue/frm_browser.h"
#include "loader/list_boxes.h"
#include "platform/store/connection.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QBuffer>
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
#include <unistd.h>

using namespace mosswick;

namespace {

using benchsupport::BenchDialogs;

BenchDialogs* g_dialogs = nullptr;

QByteArray jpeg_bytes(int w, int h, int seed, bool noisy)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng{quint32(seed)};
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = noisy ? int(rng.bounded(64)) : 0;
            line[x] = qRgb((x * 255 / w + seed + n) & 255, (y * 255 / h + n) & 255, (seed * 37 + n) & 255);
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

// n pictures named pic00001.jpg ...; every second one has a companion,
// alternately a movie and a note file. Returns the pictures' total bytes.
qint64 make_folder(const QString& folder, int n, const QString& source)
{
    QDir().mkpath(folder);
    qint64 bytes = 0;
    for (int i = 1; i <= n; ++i) {
        const QString base = QStringLiteral("%1/pic%2").arg(folder).arg(i, 5, 10, QLatin1Char('0'));
        const QString from = QStringLiteral("%1/pic%2.jpg").arg(source).arg(i, 5, 10, QLatin1Char('0'));
        // Hard links: one set of pictures serves every folder.
        if (::link(QFile::encodeName(from).constData(), QFile::encodeName(base + ".jpg").constData()) != 0)
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
    t.commit();
    return path;
}

struct Run {
    double list_ms = 0;
    double load_ms = 0;
    QString message;
    qint64 rows = 0;
};

// Opens the catalogue in a fresh window, lists the folder and clicks "Load pictures".
Run run_window(const QString& catalogue, const QString& folder, bool inside, bool notes_in)
{
    Run r;
    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    g_dialogs->next_file = catalogue;
    w.mnuDb_Click();
    if (!w.db_open) {
        r.message = w.message_text();
        return r;
    }
    QElapsedTimer t;
    t.start();
    w.Dir_ImportDir_DblClick(folder);
    r.list_ms = double(t.nsecsElapsed()) / 1e6;
    w.Option4[inside ? 0 : 1]->setChecked(true);
    (notes_in ? w.OptionFL[0] : w.OptionFL[1])->click();
    t.restart();
    w.load_pictures->click();
    r.load_ms = double(t.nsecsElapsed()) / 1e6;
    r.message = w.message_text();
    r.rows = w.picture_count;
    return r;
}

void report(const char* what, int files, const Run& r, qint64 bytes = 0)
{
    std::printf("%-44s %6d files  list %7.1f ms  load %8.1f ms  %7.1f us/file", what, files, r.list_ms, r.load_ms,
                r.load_ms * 1000.0 / files);
    if (bytes > 0)
        std::printf("  %7.1f MB/s", double(bytes) / 1e6 / (r.load_ms / 1000.0));
    std::printf("\n    -> %s (rows %lld)\n", qPrintable(r.message), qlonglong(r.rows));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
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
    qint64 small_bytes = 0;
    for (int i = 1; i <= k_files; ++i) {
        const QByteArray b = jpeg_bytes(64, 48, i, false);
        small_bytes += b.size();
        write(QStringLiteral("%1/pic%2.jpg").arg(source).arg(i, 5, 10, QLatin1Char('0')), b);
    }
    std::printf("generated %d JPEGs of %.1f KB on average in %.1f s\n\n", k_files, double(small_bytes) / k_files / 1024,
                double(t.elapsed()) / 1000);

    // By name into an empty catalogue, at three sizes.
    for (int n : {1000, 2500, 5000}) {
        if (!wanted("out"))
            break;
        const QString dir = QStringLiteral("%1/out-%2").arg(root).arg(n);
        make_folder(dir + "/pictures", n, source);
        const Run r = run_window(make_catalogue(dir, 0), dir + "/pictures", false, false);
        report(qPrintable(QStringLiteral("OUT, empty catalogue, %1 pictures").arg(n)), n, r);
    }
    if (wanted("notes")) {
        const QString dir = root + "/out-notes";
        make_folder(dir + "/pictures", k_files, source);
        const Run r = run_window(make_catalogue(dir, 0), dir + "/pictures", false, true);
        report("OUT, notes imported (.txt into the note)", k_files, r);
    }
    if (wanted("big")) {
        const QString dir = root + "/out-50000";
        t.restart();
        const QString cat = make_catalogue(dir, 50000);
        std::printf("(catalogue of 50,000 rows made in %.1f s)\n", double(t.elapsed()) / 1000);
        make_folder(dir + "/pictures", k_files, source);
        const Run r = run_window(cat, dir + "/pictures", false, false);
        report("OUT, catalogue of 50,000 rows", k_files, r);
    }
    if (wanted("in-small")) {
        const QString dir = root + "/in-small";
        const qint64 bytes = make_folder(dir + "/pictures", k_files, source);
        const Run r = run_window(make_catalogue(dir, 0), dir + "/pictures", true, false);
        report("IN, small JPEGs", k_files, r, bytes);
    }
    if (wanted("in-photo")) {
        // Small photographs: 320 x 240 with detail, about 50 KB each.
        const QString dir = root + "/in-photo";
        QDir().mkpath(dir + "/pictures");
        qint64 bytes = 0;
        const QByteArray one = jpeg_bytes(320, 240, 11, true);
        for (int i = 1; i <= k_files; ++i) {
            QByteArray b = one;
            b.append(QByteArray::number(i));
            write(QStringLiteral("%1/pictures/photo%2.jpg").arg(dir).arg(i, 5, 10, QLatin1Char('0')), b);
            bytes += b.size();
        }
        const Run r = run_window(make_catalogue(dir, 0), dir + "/pictures", true, false);
        std::printf("(small photographs: %.1f KB each)\n", double(bytes) / k_files / 1024);
        report("IN, small photographs", k_files, r, bytes);
    }
    if (wanted("in-large")) {
        // Photographs are larger: 200 noisy JPEGs of about half a megabyte.
        constexpr int k_large = 200;
        const QString dir = root + "/in-large";
        QDir().mkpath(dir + "/pictures");
        qint64 bytes = 0;
        const QByteArray one = jpeg_bytes(1024, 768, 7, true);
        for (int i = 1; i <= k_large; ++i) {
            // The same picture with a different tail keeps generation quick.
            QByteArray b = one;
            b.append(QByteArray::number(i));
            write(QStringLiteral("%1/pictures/large%2.jpg").arg(dir).arg(i, 4, 10, QLatin1Char('0')), b);
            bytes += b.size();
        }
        const Run r = run_window(make_catalogue(dir, 0), dir + "/pictures", true, false);
        std::printf("(large JPEGs: %.0f KB each)\n", double(bytes) / k_large / 1024);
        report("IN, large JPEGs", k_large, r, bytes);
    }
    return 0;
}
