// A page of six 24-megapixel JPEG thumbnails and the zoom window, timed and
// weighed. Run by hand: bench-pageview [--fresh] [--dir FOLDER] [--tsv]
//
// - code 6 page, cold (page cache dropped) and warm, against vipsthumbnail run
//   on the same six files as six processes at once, interleaved in this run.
//   Each of those processes pays for its start-up, which our page does not:
//   the same six processes on a picture of 16x16 pixels, interleaved too,
//   measure it, and the page is judged against vipsthumbnail less that
//   start-up (target 0.70 of it); the plain ratio is shown beside it;
// - peak memory of a page at each quality code;
// - five zoom windows of one picture: memory they add, time to the picture;
// - zoom redraws as the slider moves;
// - an EMF with one polygon point moved far out, drawn at its natural size.
// Every figure is taken at least five times (min and median); results are
// checked; each target prints met or missed (failed when a check of it
// failed), and a miss exits non-zero.
//
// The pictures are generated once by a child run of this program (so their
// generation does not count in this process's memory) and kept in the folder
// for later runs; --fresh makes them again.

#include "core/fit_to_box.h"
#include "pageview/frm_zoom.h"
#include "platform/picture/picture.h"
#include "platform/picture/render.h"
#include "platform/picture/zoom_picture.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "support/memory.h"
#include "support/page_cache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace mosswick;
using namespace mosswick::picture;

namespace {

constexpr int k_width = 6000;
constexpr int k_height = 4000;
constexpr int k_pictures = 6;
constexpr double k_cell_width_twips = 4680;
constexpr double k_cell_height_twips = 2715;
constexpr double k_twips_per_pixel = 15;
const QRect k_screen(0, 0, 1920, 1080);

using benchsupport::k_runs;
using benchsupport::median_of;
using benchsupport::Report;
using benchsupport::start_peak;
using benchsupport::status_mb;

double time_ms(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1.0e6;
}

// ---- pictures -----------------------------------------------------------------

QString picture_path(const QString& dir, int i)
{
    return QStringLiteral("%1/page-%2.jpg").arg(dir).arg(i + 1);
}

// Noise over gradients and a few stripes, so the JPEG carries real detail
// (about the entropy of a photograph) and decoding is not trivially cheap.
QImage make_picture(int seed)
{
    QImage img(k_width, k_height, QImage::Format_RGB32);
    quint32 state = 0x9E3779B9u * quint32(seed + 1);
    for (int y = 0; y < k_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < k_width; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state & 63) - 32;
            const int r = x * 255 / k_width + noise;
            const int g = y * 255 / k_height + noise / 2;
            const int b = ((x / (40 + seed * 7)) % 2 ? 200 : 60) + noise;
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return img;
}

int generate(const QString& dir)
{
    QDir().mkpath(dir);
    std::vector<std::thread> workers;
    std::vector<int> failed(k_pictures, 0);
    for (int i = 0; i < k_pictures; ++i) {
        workers.emplace_back([&, i] {
            QImageWriter w(picture_path(dir, i), "jpeg");
            w.setQuality(90);
            failed[size_t(i)] = w.write(make_picture(i)) ? 0 : 1;
        });
    }
    for (auto& t : workers)
        t.join();
    return std::count(failed.begin(), failed.end(), 1) ? 1 : 0;
}

void drop_from_page_cache(const QStringList& files)
{
    for (const QString& f : files)
        benchsupport::drop_from_cache(f);
}

// ---- the page -----------------------------------------------------------------

// The thumbnail target as the page view computes it: natural size in twips
// fitted into the cell without a minimum, back to whole pixels.
QSize cell_target(QSize natural)
{
    const FitResult fit = fit_to_box(true, k_cell_width_twips, k_cell_height_twips,
                                     natural.width() * k_twips_per_pixel, natural.height() * k_twips_per_pixel);
    return QSize(int(std::nearbyint(fit.display_width / k_twips_per_pixel)),
                 int(std::nearbyint(fit.display_height / k_twips_per_pixel)));
}

const QSize k_thumb = cell_target(QSize(k_width, k_height));

std::vector<RenderRequest> page_requests(const QStringList& files, int quality)
{
    std::vector<RenderRequest> page;
    for (const QString& f : files) {
        RenderRequest r;
        r.source = PictureSource::file(f);
        r.target_for = cell_target;
        r.quality = quality;
        page.push_back(r);
    }
    return page;
}

bool page_ok(const std::vector<RenderResult>& results)
{
    bool ok = results.size() == size_t(k_pictures);
    for (const RenderResult& r : results)
        ok = ok && r.ok() && r.image.size() == k_thumb && r.natural_size == QSize(k_width, k_height);
    return ok;
}

// Runs vipsthumbnail on the six files as six processes at once, each making
// a thumbnail of the page's cell size; the time until the last one ends, in
// ms, or -1 when one failed.
double time_vips(const QString& vips, const QStringList& files, const QString& out_dir)
{
    std::vector<std::unique_ptr<QProcess>> running;
    QElapsedTimer t;
    t.start();
    for (const QString& f : files) {
        auto p = std::make_unique<QProcess>();
        p->start(vips, {f, QStringLiteral("--size"), QStringLiteral("%1x%2").arg(k_thumb.width()).arg(k_thumb.height()),
                        QStringLiteral("-o"), out_dir + QStringLiteral("/%s.png")});
        running.push_back(std::move(p));
    }
    bool ok = true;
    for (auto& p : running)
        ok = p->waitForFinished(120000) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0 && ok;
    const double ms = double(t.nsecsElapsed()) / 1.0e6;
    return ok ? ms : -1;
}

bool vips_output_ok(const QStringList& files, const QString& out_dir)
{
    for (const QString& f : files) {
        const QImage img(out_dir + "/" + QFileInfo(f).completeBaseName() + ".png");
        // vipsthumbnail rounds the long side to the box and the short side
        // to its own rounding of the aspect.
        if (img.isNull() || std::abs(img.width() - k_thumb.width()) > 1 || std::abs(img.height() - k_thumb.height()) > 1)
            return false;
    }
    return true;
}

void bench_code6_against_vips(Report& report, const QStringList& files, const QString& dir)
{
    const QString cold_page = QStringLiteral("code 6 page, cold (page cache dropped)");
    const QString warm_page = QStringLiteral("code 6 page, warm");
    const QString start_up_figure = QStringLiteral("vipsthumbnail start-up, six processes at once on 16x16 pictures");
    const QString against_plain = QStringLiteral("code 6 page, warm, against vipsthumbnail, six processes at once");
    const QString against_less = QStringLiteral("code 6 page, warm, against vipsthumbnail less its start-up");
    const QStringList vips_figures = {start_up_figure, against_plain, against_less};
    const QString six_thumbnails = QStringLiteral("six thumbnails of the cell's size");

    const std::vector<RenderRequest> page = page_requests(files, k_quality_thumbnail);
    std::vector<RenderResult> results;
    std::vector<double> cold;
    for (int i = 0; i < k_runs; ++i) {
        drop_from_page_cache(files);
        cold.push_back(time_ms([&] { results = render_pictures(page); }));
        report.check_for({cold_page}, six_thumbnails, page_ok(results));
    }
    report.info(cold_page, cold);

    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    const QString out = dir + QStringLiteral("/vips-out");
    const QString tiny_out = dir + QStringLiteral("/vips-tiny-out");
    QDir().mkpath(out);
    QDir().mkpath(tiny_out);
    // Six pictures of 16x16 pixels: the same six processes with next to no
    // picture to read measure what starting them costs.
    QStringList tiny;
    for (int i = 0; i < k_pictures; ++i) {
        tiny << QStringLiteral("%1/tiny-%2.jpg").arg(dir).arg(i + 1);
        QImage(16, 16, QImage::Format_RGB32).save(tiny.back(), "jpeg");
    }
    if (!vips.isEmpty()) {
        time_vips(vips, files, out);   // its libraries into the page cache
        time_vips(vips, tiny, tiny_out);
    }
    // Ours and theirs take turns, so a busy moment of the machine hits all.
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> start_up;
    std::vector<double> theirs_less_start_up;
    for (int i = 0; i < 2 * k_runs + 1; ++i) {
        ours.push_back(time_ms([&] { results = render_pictures(page); }));
        report.check_for({warm_page, against_plain, against_less}, six_thumbnails, page_ok(results));
        if (vips.isEmpty())
            continue;
        const double ms = time_vips(vips, files, out);
        const double idle = time_vips(vips, tiny, tiny_out);
        report.check_for(vips_figures, QStringLiteral("vipsthumbnail ran on all six files"), ms >= 0 && idle >= 0);
        if (ms >= 0 && idle >= 0) {
            theirs.push_back(ms);
            start_up.push_back(idle);
            theirs_less_start_up.push_back(ms - idle);
        }
    }
    report.figure(warm_page, ours, 150);
    if (report.check_for(vips_figures, QStringLiteral("vipsthumbnail installed (Debian: libvips-tools)"), !vips.isEmpty()))
        report.check_for(vips_figures, QStringLiteral("vipsthumbnail made six thumbnails of the cell's size"),
                         vips_output_ok(files, out));
    report.info(start_up_figure, start_up);
    report.info(against_plain, ours, "ms", theirs);
    report.against(against_less, ours, theirs_less_start_up, 0.70);
}

void bench_page_memory(Report& report, const QStringList& files)
{
    report.say("\nA page at each quality code (memory of the whole process at its peak):\n");
    for (int code = 1; code <= 6; ++code) {
        const std::vector<RenderRequest> page = page_requests(files, code);
        const QString weighed = QStringLiteral("code %1 page, warm, weighed").arg(code);
        const QString peak = QStringLiteral("code %1 page, peak memory (MB)").arg(code);
        std::vector<double> ms;
        std::vector<double> peaks;
        for (int i = 0; i < k_runs; ++i) {
            std::vector<RenderResult> results;
            const bool reset = start_peak();
            ms.push_back(time_ms([&] { results = render_pictures(page); }));
            peaks.push_back(reset ? status_mb("VmHWM") : -1);
            report.check_for({weighed, peak}, QStringLiteral("six thumbnails of the cell's size"), page_ok(results));
            report.check_for({peak}, QStringLiteral("the kernel resets the peak memory (/proc/self/clear_refs)"), reset);
        }
        report.info(weighed, ms);
        report.figure(peak, peaks, 300, "MB");
    }
}

// ---- the zoom window ----------------------------------------------------------

struct ZoomRound {
    double added_peak = 0;     // MB above the memory before the windows opened
    double added_settled = 0;  // MB still added once all are drawn
    double first_shown = 0;    // ms from show to the first window's picture
    bool ok = true;
};

// Opens five zoom windows on one picture, waits until all are drawn, weighs
// them and closes them.
ZoomRound open_five_zoom_windows(const QString& file, int quality)
{
    ZoomRound round;
    QCoreApplication::processEvents();
    const bool reset = start_peak();
    const double before = status_mb("VmRSS");
    std::vector<QPointer<frmZoom>> windows;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 5; ++i) {
        auto* z = new frmZoom(ZoomRequest::file(file, quality), k_screen);
        z->show();
        windows.push_back(z);
    }
    const auto drawn = [](const QPointer<frmZoom>& z) { return z && !z->loading(); };
    while (!std::all_of(windows.begin(), windows.end(), drawn) && t.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (round.first_shown == 0 && drawn(windows.front()))
            round.first_shown = double(t.nsecsElapsed()) / 1.0e6;
    }
    round.added_peak = reset ? status_mb("VmHWM") - before : -1;
    round.added_settled = status_mb("VmRSS") - before;
    for (const QPointer<frmZoom>& z : windows) {
        const QSize kept = z ? z->kept_picture().kept().size() : QSize();
        round.ok = round.ok && z && !z->failed() && !z->drawn().isNull() && kept.width() <= k_screen.width()
                   && kept.height() <= k_screen.height()
                   && z->kept_picture().natural_size() == QSize(k_width, k_height);
    }
    for (const QPointer<frmZoom>& z : windows)
        if (z)
            z->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return round;
}

void bench_zoom_windows(Report& report, const QString& file)
{
    report.say("\nFive zoom windows of one 24 MP JPEG on a %dx%d screen:\n", k_screen.width(), k_screen.height());
    for (const int quality : {k_quality_hq_bicubic, k_quality_nearest}) {
        const QStringList figures = {QStringLiteral("zoom code %1: five windows add, at the peak").arg(quality),
                                     QStringLiteral("zoom code %1: five windows add, once drawn").arg(quality),
                                     QStringLiteral("zoom code %1: first window, show to picture").arg(quality)};
        std::vector<double> peaks;
        std::vector<double> settled;
        std::vector<double> first;
        for (int i = 0; i < k_runs; ++i) {
            const ZoomRound r = open_five_zoom_windows(file, quality);
            report.check_for(figures, QStringLiteral("five zoom windows drew the picture, each keeping no more than the screen"),
                             r.ok);
            peaks.push_back(r.added_peak);
            settled.push_back(r.added_settled);
            first.push_back(r.first_shown);
        }
        report.figure(figures[0], peaks, 200, "MB");
        report.info(figures[1], settled, "MB");
        report.info(figures[2], first);
    }
}

void bench_zoom_redraws(Report& report, const QString& file)
{
    // The slider redraws from the kept copy: here the window's free area is
    // 1920x1040, the first draw the picture fitted into it (1560x1040), then
    // the slider asks for smaller sizes down from that fit.
    report.say("\nZoom redraws from the kept copy (free area 1920x1040):\n");
    const QSize sizes[] = {{1560, 1040}, {1200, 800}, {1404, 936}, {1000, 667}, {780, 520}, {312, 208}};
    for (const int quality : {k_quality_hq_bicubic, k_quality_hq_bilinear, k_quality_bicubic, k_quality_nearest,
                              k_quality_thumbnail}) {
        const QString keep = QStringLiteral("zoom code %1: decode and keep").arg(quality);
        const QString redraw = QStringLiteral("zoom code %1: redraw, 312x208 to 1560x1040").arg(quality);
        std::vector<double> load;
        ZoomPicture zoom;
        for (int i = 0; i < k_runs; ++i)
            load.push_back(time_ms([&] { zoom = ZoomPicture(PictureSource::file(file), QSize(1920, 1040), quality); }));
        report.check_for({keep, redraw}, QStringLiteral("the zoom picture loads"),
                         zoom.ok() && zoom.kept().size() == QSize(1560, 1040));
        std::vector<double> runs;
        bool sizes_ok = true;
        for (int rep = 0; rep < k_runs; ++rep)
            for (const QSize& s : sizes)
                runs.push_back(time_ms([&] { sizes_ok = zoom.draw(s, quality).size() == s && sizes_ok; }));
        report.check_for({redraw}, QStringLiteral("every redraw has its size"), sizes_ok);
        report.info(keep, load);
        if (quality == k_quality_hq_bicubic)
            report.figure(redraw, runs, 100);
        else
            report.info(redraw, runs);
    }
}

// An EMF of 4000x3000 pixels: one filled contour of 8,000 points outlined by
// a 3-pixel pen, with one point moved 400,000 pixels down (or not).
QByteArray damaged_emf(bool damaged)
{
    QByteArray records;
    const auto u32 = [&](qint64 v) {
        for (int i = 0; i < 4; ++i)
            records.append(char((quint64(v) >> (8 * i)) & 0xFF));
    };
    u32(38), u32(28), u32(1), u32(0), u32(3), u32(0), u32(0xFF0000);  // a blue pen
    u32(37), u32(12), u32(1);
    u32(39), u32(24), u32(2), u32(0), u32(0x0000FF), u32(0);  // a red brush
    u32(37), u32(12), u32(2);
    const int n = 8000;
    u32(3), u32(28 + 8 * n), u32(0), u32(0), u32(4000), u32(3000), u32(n);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n, r = 1200 + 40 * std::sin(i * 0.7);
        u32(qint64(2000 + r * std::cos(a))), u32(damaged && i == n * 3 / 4 ? 400000 : qint64(1500 + r * std::sin(a)));
    }
    u32(14), u32(20), u32(0), u32(16), u32(20);
    const QByteArray body = records;
    records.clear();
    // The header: bounds, the frame in 0.01 mm at 96 pixels an inch, the
    // signature, sizes and counts, and a reference device of 96 DPI.
    u32(1), u32(88), u32(0), u32(0), u32(3999), u32(2999), u32(0), u32(0), u32(105833), u32(79375);
    u32(0x464D4520), u32(0x10000), u32(88 + body.size()), u32(7), u32(3), u32(0), u32(0), u32(0);
    u32(960), u32(960), u32(254), u32(254);
    return records + body;
}

void bench_damaged_metafile(Report& report)
{
    report.say("\nA metafile with one damaged coordinate, drawn at its natural size:\n");
    for (const bool damaged : {false, true}) {
        const QByteArray emf = damaged_emf(damaged);
        Picture shown;
        const auto load = [&] { shown = load_picture(PictureSource::bytes(emf)); };
        const std::vector<double> ms = benchsupport::time_runs(load);
        report.check("the metafile is drawn at 4000x3000, its contour filled",
                     shown.ok() && shown.image.size() == QSize(4000, 3000)
                         && shown.image.pixel(1500, 1500) == 0xFFFF0000);
        if (damaged)
            report.figure("EMF of 4000x3000, one point 400,000 pixels out", ms, 1000);
        else
            report.info("EMF of 4000x3000, undamaged", ms);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchsupport::install_bench_dialogs();
    init_picture_layer();

    const QStringList args = app.arguments();
    QString dir = QDir::tempPath() + QStringLiteral("/mosswick-bench-pageview");
    const int dir_at = int(args.indexOf(QStringLiteral("--dir")));
    if (dir_at > 0 && dir_at + 1 < args.size())
        dir = args[dir_at + 1];
    if (args.contains(QStringLiteral("--generate")))
        return generate(dir);

    QStringList files;
    bool present = !args.contains(QStringLiteral("--fresh"));
    for (int i = 0; i < k_pictures; ++i) {
        files << picture_path(dir, i);
        const PictureInfo info = measure_picture(PictureSource::file(files.back()));
        present = present && info.ok() && info.size == QSize(k_width, k_height);
    }
    Report report(argc, argv);
    if (!present) {
        report.say("Generating %d pictures of %dx%d (JPEG quality 90) in %s ...\n", k_pictures, k_width, k_height,
                   qPrintable(dir));
        const int rc = QProcess::execute(QCoreApplication::applicationFilePath(),
                                         {QStringLiteral("--generate"), QStringLiteral("--dir"), dir});
        if (rc != 0) {
            std::fprintf(stderr, "Could not write the pictures.\n");
            return 1;
        }
    }
    qint64 bytes = 0;
    for (const QString& f : files)
        bytes += QFileInfo(f).size();
    report.say("Pictures: %d x %dx%d JPEG, %.1f MB in all, in %s; thumbnails %dx%d\n", k_pictures, k_width, k_height,
               double(bytes) / 1.0e6, qPrintable(dir), k_thumb.width(), k_thumb.height());
    report.say("Memory before rendering: %.0f MB\n\n", status_mb("VmRSS"));

    bench_code6_against_vips(report, files, dir);
    bench_page_memory(report, files);
    bench_zoom_windows(report, files.front());
    bench_zoom_redraws(report, files.front());
    bench_damaged_metafile(report);
    return report.finish();
}
