// Times a page of six 24-megapixel JPEG thumbnails (quality codes 6 and 5),
// compares code 6 with vipsthumbnail on the same files, and times the zoom
// window's redraw. Run by hand: bench-pageview [--fresh] [--dir FOLDER]
//
// The pictures are generated once by a child run of this program (so their
// generation does not count in this process's peak memory) and kept in the
// folder for later runs; --fresh makes them again.

#include "catalogue/fit_to_box.h"
#include "platform/picture/picture.h"
#include "platform/picture/render.h"
#include "platform/picture/zoom_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <functional>
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

double peak_mib()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double time_ms(const std::function<void()>& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1.0e6;
}

// The thumbnail target as the page view computes it: natural size in twips
// fitted into the cell without a minimum, back to whole pixels.
QSize cell_target(QSize natural)
{
    const FitResult fit = fit_to_box(true, k_cell_width_twips, k_cell_height_twips,
                                     natural.width() * k_twips_per_pixel,
                                     natural.height() * k_twips_per_pixel);
    return QSize(int(std::nearbyint(fit.display_width / k_twips_per_pixel)),
                 int(std::nearbyint(fit.display_height / k_twips_per_pixel)));
}

struct PageTiming {
    double cold = 0;
    double warm = 0;
    QSize target;
    bool all_ok = true;
};

PageTiming time_page(const QStringList& files, int quality, int warm_runs)
{
    std::vector<RenderRequest> page;
    for (const QString& f : files) {
        RenderRequest r;
        r.source = PictureSource::file(f);
        r.target_for = cell_target;
        r.quality = quality;
        page.push_back(r);
    }
    PageTiming t;
    std::vector<RenderResult> results;
    // Cold: the files' pages are dropped from the page cache first.
    for (const QString& f : files) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
    t.cold = time_ms([&] { results = render_pictures(page); });
    for (const RenderResult& r : results) {
        t.all_ok = t.all_ok && r.ok() && !r.image.isNull();
        t.target = r.image.size();
    }
    std::vector<double> runs;
    for (int i = 0; i < warm_runs; ++i)
        runs.push_back(time_ms([&] { results = render_pictures(page); }));
    t.warm = median(runs);
    return t;
}

// Runs vipsthumbnail on the six files; the time of one run in ms, or -1.
double time_vips(const QString& vips, const QStringList& files, const QString& out_dir)
{
    QStringList args{QStringLiteral("--size"), QStringLiteral("312x181"), QStringLiteral("-o"),
                     out_dir + QStringLiteral("/vips_%s.jpg")};
    args += files;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(vips, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1.0e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    init_picture_layer();

    QStringList args = app.arguments();
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
    if (!present) {
        std::printf("Generating %d pictures of %dx%d (JPEG quality 90) in %s ...\n", k_pictures,
                    k_width, k_height, qPrintable(dir));
        std::fflush(stdout);
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
    std::printf("Pictures: %d x %dx%d JPEG, %.1f MB in all, in %s\n", k_pictures, k_width, k_height,
                double(bytes) / 1.0e6, qPrintable(dir));
    std::printf("Threads: %u hardware\n", std::thread::hardware_concurrency());
    std::printf("Peak memory before rendering: %.0f MiB\n\n", peak_mib());

    const PageTiming q6 = time_page(files, k_quality_thumbnail, 9);
    std::printf("Code 6 page (target %dx%d): cold %.1f ms, warm median %.1f ms%s  [target < 150 ms]\n",
                q6.target.width(), q6.target.height(), q6.cold, q6.warm,
                q6.all_ok ? "" : "  (FAILED PICTURES)");
    std::printf("Peak memory after code 6: %.0f MiB\n", peak_mib());

    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vips.isEmpty()) {
        std::printf("vipsthumbnail: not installed, no comparison\n");
    } else {
        const QString out = dir + QStringLiteral("/vips-out");
        QDir().mkpath(out);
        const double cold = time_vips(vips, files, out);
        std::vector<double> runs;
        for (int i = 0; i < 5 && cold >= 0; ++i)
            runs.push_back(time_vips(vips, files, out));
        if (cold < 0 || std::count(runs.begin(), runs.end(), -1.0)) {
            std::printf("vipsthumbnail: failed to run\n");
        } else {
            const double warm = median(runs);
            std::printf("vipsthumbnail on the same six files: cold %.1f ms, warm median %.1f ms\n",
                        cold, warm);
            std::printf("Ratio ours / vipsthumbnail (warm medians): %.2f  [aim <= 0.25]\n",
                        q6.warm / warm);
        }
    }

    std::printf("\n");
    const PageTiming q5 = time_page(files, k_quality_hq_bicubic, 3);
    std::printf("Code 5 page (target %dx%d): cold %.1f ms, warm median %.1f ms%s\n",
                q5.target.width(), q5.target.height(), q5.cold, q5.warm,
                q5.all_ok ? "" : "  (FAILED PICTURES)");
    std::printf("Peak memory after code 5: %.0f MiB\n\n", peak_mib());

    // Zoom window: one decoded picture redrawn as the slider moves. The
    // window declares its free work area (here 1920x1040) as the largest
    // target; its first draw is the picture fitted into it (1560x1040), then
    // the slider asks for smaller and larger sizes up to that fit.
    ZoomPicture zoom;
    const double load = time_ms([&] { zoom = ZoomPicture(PictureSource::file(files.front())); });
    zoom.set_largest_target(QSize(1920, 1040));
    QImage shown;
    const double first = time_ms([&] { shown = zoom.draw(QSize(1560, 1040), k_quality_hq_bicubic); });
    std::printf("Zoom: decode %.1f ms, first draw 1560x1040 code 5 %.1f ms%s\n", load, first,
                shown.size() == QSize(1560, 1040) ? "" : "  (FAILED)");
    const QSize sizes[] = {{1200, 800}, {1404, 936}, {1560, 1040}, {1000, 667}, {780, 520}, {1200, 800}};
    for (const int quality : {k_quality_hq_bicubic, k_quality_hq_bilinear, k_quality_bicubic,
                              k_quality_nearest, k_quality_thumbnail}) {
        std::vector<double> runs;
        std::vector<double> at_1200;
        double worst = 0;
        for (int rep = 0; rep < 3; ++rep) {
            for (const QSize& s : sizes) {
                const double ms = time_ms([&] { shown = zoom.draw(s, quality); });
                runs.push_back(ms);
                if (s == QSize(1200, 800))
                    at_1200.push_back(ms);
                worst = std::max(worst, ms);
            }
        }
        std::printf("Zoom redraw code %d: 1200x800 median %.1f ms; sizes 780x520 to 1560x1040 "
                    "median %.1f ms, worst %.1f ms%s\n",
                    quality, median(at_1200), median(runs), worst,
                    quality == k_quality_hq_bicubic ? "  [target < 100 ms]" : "");
    }
    std::printf("Peak memory at the end: %.0f MiB\n", peak_mib());
    return 0;
}
