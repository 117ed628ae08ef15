#pragma once

// Shared by the benchmarks: repeated figures with their median, a peer's
// median beside them, checks of what a run produced, and met / missed
// against the targets, as text for a reader or, with --tsv, one
// tab-separated line per figure:
//
//   name  median  peer-median-or-"-"  ratio-or-"-"  target-or-"-"  met|missed|loaded|info|failed|skipped
//
// Times are in milliseconds (a figure of another unit names it). With
// --tsv everything else (notes, load averages, failed checks) goes to
// standard error, so standard output holds the figure lines alone.
//
// A check names the figures it vouches for (check_for), before they are
// shown: a figure one of whose checks failed is "failed", whatever its
// time, since it timed something other than what it names. A figure that
// could not be taken at all (a fixture missing) is "skipped".
//
// The load average is shown at the start and at the end. A missed figure
// taken while the rest of the machine kept more than half the cores busy
// (the load average less what this benchmark itself used over the last
// minute) is marked "loaded": it says more about the machine than about the
// code. Exit status: 0 all met (skipped figures aside), 1 a target missed or
// a check failed, 3 only figures missed under load.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace benchsupport {

// Every figure is taken at least this many times.
inline constexpr int k_runs = 5;

inline double ms_since(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

inline double min_of(std::vector<double> v)
{
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

inline double median_of(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Times run() k_runs times (prepare() before each, not timed).
inline std::vector<double> time_runs(const std::function<void()>& run, const std::function<void()>& prepare = {},
                                     int runs = k_runs)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(ms_since(t));
    }
    return ms;
}

inline int cores()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// The three load averages as /proc/loadavg gives them, and the first.
struct LoadAverage {
    QByteArray text = "?";
    double one_minute = -1;

    static LoadAverage now()
    {
        LoadAverage l;
        QFile f(QStringLiteral("/proc/loadavg"));
        if (!f.open(QIODevice::ReadOnly))
            return l;
        const QList<QByteArray> parts = f.readAll().split(' ');
        if (parts.size() >= 3) {
            l.text = parts[0] + ' ' + parts[1] + ' ' + parts[2];
            l.one_minute = parts[0].toDouble();
        }
        return l;
    }
};

// Processor time used by this process and its children that have ended, in s.
inline double own_cpu_seconds()
{
    double s = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u {};
        getrusage(who, &u);
        s += double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return s;
}

class Report {
public:
    // Reads --tsv from the arguments and shows the load average. The
    // program's record of checked catalogues is kept in a folder of the
    // benchmark's own, so that the user's is never touched.
    Report(int argc, char** argv)
    {
        for (int i = 1; i < argc; ++i)
            m_tsv |= QByteArray(argv[i]) == "--tsv";
        if (m_settings.isValid())
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_settings.path()));
        m_clock.start();
        sample();
        say("load average at the start: %s (%d cores)\n", LoadAverage::now().text.constData(), cores());
    }
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    bool tsv() const { return m_tsv; }
    // Where text for a reader goes.
    std::FILE* text() const { return m_tsv ? stderr : stdout; }

    // Text for a reader, as printf writes it.
    void say(const char* format, ...) const __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        std::vfprintf(text(), format, args);
        va_end(args);
        std::fflush(text());
    }

    // A figure against an upper bound on its median; returns whether it is
    // met (and none of its checks failed).
    bool figure(const QString& name, const std::vector<double>& values, double target, const char* unit = "ms")
    {
        const double med = median_of(values);
        const bool met = !values.empty() && med <= target;
        return line(name, values, unit, {},
                    QStringLiteral("<= %1 %2").arg(target, 0, 'f', target < 10 ? 2 : 0).arg(unit),
                    met ? Verdict::Met : Verdict::Missed);
    }

    // A figure beside a peer doing the same work in the same run: met when
    // its median is within max_ratio of the peer's and, when given, under
    // target.
    bool against(const QString& name, const std::vector<double>& ours, const std::vector<double>& peer,
                 double max_ratio, std::optional<double> target = {})
    {
        const double med = median_of(ours);
        const double peer_med = median_of(peer);
        const bool met = !ours.empty() && !peer.empty() && peer_med > 0 && med <= max_ratio * peer_med &&
                         (!target || med <= *target);
        QString wanted = QStringLiteral("<= %1x peer").arg(max_ratio, 0, 'f', 2);
        if (target)
            wanted += QStringLiteral(", <= %1 ms").arg(*target, 0, 'f', 0);
        return line(name, ours, "ms", peer.empty() ? std::nullopt : std::optional<double>(peer_med), wanted,
                    met ? Verdict::Met : Verdict::Missed);
    }

    // Growth: the median of the figure shown as big_figure (taken at
    // big_size) against that of small_figure scaled up in proportion (the
    // "peer" of a linear growth); failed when either failed or was not shown.
    bool growth(const QString& name, const QString& big_figure, qint64 big_size, const QString& small_figure,
                qint64 small_size, std::optional<double> max_growth)
    {
        static const Shown not_taken {{}, true};
        auto source = [&](const QString& figure) -> const Shown& {
            const auto it = m_shown.find(figure);
            if (it != m_shown.end())
                return it->second;
            say("(%s: %s was not taken)\n", qPrintable(name), qPrintable(figure));
            return not_taken;
        };
        const Shown& big_shown = source(big_figure);
        const Shown& small_shown = source(small_figure);
        if (big_shown.failed || small_shown.failed)
            m_failed_figures.insert(name);
        const std::vector<double>& big = big_shown.values;
        const std::vector<double>& small = small_shown.values;
        const double linear = median_of(small) * double(big_size) / double(std::max<qint64>(1, small_size));
        const double ratio = linear > 0 ? median_of(big) / linear : 0;
        const bool met = !max_growth || (!big.empty() && !small.empty() && ratio <= *max_growth);
        return line(name, big, "ms", linear,
                    max_growth ? QStringLiteral("<= %1x linear").arg(*max_growth, 0, 'f', 2) : QString(),
                    !max_growth ? Verdict::Info : met ? Verdict::Met : Verdict::Missed);
    }

    // A figure shown for information, without a target (with a peer's, if any).
    void info(const QString& name, const std::vector<double>& values, const char* unit = "ms",
              const std::vector<double>& peer = {})
    {
        line(name, values, unit, peer.empty() ? std::nullopt : std::optional<double>(median_of(peer)), {},
             Verdict::Info);
    }

    // A figure that could not be taken, and why.
    void skipped(const QString& name, const QString& why)
    {
        if (m_tsv)
            std::printf("%s\t-\t-\t-\t-\tskipped\n", qPrintable(name));
        else
            std::printf("%-60s skipped: %s\n", qPrintable(name), qPrintable(why));
        std::fflush(stdout);
    }

    // A check of what a run produced that no one figure rests on.
    bool check(const QString& what, bool ok, const QString& detail = {}) { return check_for({}, what, ok, detail); }

    // A check of what the figures named were taken from: shown after it,
    // each of them is "failed" when it failed.
    bool check_for(const QStringList& figures, const QString& what, bool ok, const QString& detail = {})
    {
        for (const QString& figure : figures)
            if (m_shown.count(figure))
                say("(the check \"%s\" came after %s was shown)\n", qPrintable(what), qPrintable(figure));
        if (!ok) {
            const QString about = figures.isEmpty() ? QString() : figures.front() + QStringLiteral(": ");
            say("CHECK FAILED: %s%s%s%s\n", qPrintable(about), qPrintable(what), detail.isEmpty() ? "" : ": ",
                qPrintable(detail));
            for (const QString& figure : figures)
                m_failed_figures.insert(figure);
        }
        m_checks_ok &= ok;
        return ok;
    }

    int finish() const
    {
        say("load average at the end: %s (%d cores)\n", LoadAverage::now().text.constData(), cores());
        if (!m_checks_ok || m_missed) {
            say("SOME TARGETS MISSED OR CHECKS FAILED\n");
            return 1;
        }
        if (m_loaded) {
            say("targets missed only under load: run again on a quiet machine\n");
            return 3;
        }
        say("all targets met, all checks passed\n");
        return 0;
    }

private:
    enum class Verdict { Met, Missed, Info };

    struct Sample {
        double wall_s;
        double cpu_s;
    };

    void sample() { m_samples.push_back({double(m_clock.nsecsElapsed()) / 1e9, own_cpu_seconds()}); }

    // What the rest of the machine keeps busy: the one-minute load average
    // less the cores this benchmark used over about the last minute.
    double others_load()
    {
        sample();
        const Sample& now = m_samples.back();
        const Sample* from = &m_samples.front();
        for (const Sample& s : m_samples)
            if (now.wall_s - s.wall_s >= 60.0)
                from = &s;
        const double wall = now.wall_s - from->wall_s;
        const double own = wall > 0.5 ? (now.cpu_s - from->cpu_s) / wall : 0.0;
        return LoadAverage::now().one_minute - own;
    }

    // Shows a figure; returns whether it is met. A figure one of whose
    // checks failed is failed, whatever its verdict.
    bool line(const QString& name, const std::vector<double>& values, const char* unit, std::optional<double> peer,
              const QString& target, Verdict verdict)
    {
        const double med = median_of(values);
        const double ratio = peer && *peer > 0 ? med / *peer : -1;
        const bool failed = m_failed_figures.contains(name);
        m_shown[name] = {values, failed};
        sample();
        const char* said = "info";
        if (failed) {
            said = "failed";
        } else if (verdict == Verdict::Met) {
            said = "met";
        } else if (verdict == Verdict::Missed) {
            const double others = others_load();
            const bool loaded = others > cores() / 2.0;
            said = loaded ? "loaded" : "missed";
            (loaded ? m_loaded : m_missed) = true;
            if (loaded)
                say("(%s: missed while the rest of the machine kept %.1f cores busy)\n", qPrintable(name), others);
        }
        if (m_tsv) {
            std::printf("%s\t%.1f\t%s\t%s\t%s\t%s\n", qPrintable(name), med,
                        peer ? qPrintable(QString::number(*peer, 'f', 1)) : "-",
                        ratio >= 0 ? qPrintable(QString::number(ratio, 'f', 2)) : "-",
                        target.isEmpty() ? "-" : qPrintable(target), said);
        } else {
            QString extra;
            if (peer)
                extra = QStringLiteral("  peer %1 %2, ratio %3").arg(*peer, 0, 'f', 1).arg(QLatin1String(unit)).arg(ratio, 0, 'f', 2);
            std::printf("%-60s median %9.1f %s (min %.1f, %zu runs)%s  target %s: %s\n", qPrintable(name), med, unit,
                        min_of(values), values.size(), qPrintable(extra), target.isEmpty() ? "-" : qPrintable(target),
                        said);
        }
        std::fflush(stdout);
        return !failed && verdict == Verdict::Met;
    }

    // What a shown figure was taken from, for the growths computed from it.
    struct Shown {
        std::vector<double> values;
        bool failed = false;
    };

    bool m_tsv = false;
    bool m_checks_ok = true;
    bool m_missed = false;
    bool m_loaded = false;
    QSet<QString> m_failed_figures;
    std::map<QString, Shown> m_shown;
    QTemporaryDir m_settings;
    QElapsedTimer m_clock;
    std::vector<Sample> m_samples;
};

} // namespace benchsupport
