#pragma once

// Shared by the benchmarks: repeated figures with their min and median,
// checks of what a run produced, and met/missed against the targets. A
// benchmark exits non-zero when a target is missed or a check fails.

#include "frame/frm_browser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

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

class Report {
public:
    // A figure against an upper bound on its median; returns whether it is met.
    // Figures are times unless another unit is named (memory in "MB").
    bool figure(const QString& what, const std::vector<double>& ms, double target_ms, const char* unit = "ms")
    {
        const double med = median_of(ms);
        const bool met = !ms.empty() && med <= target_ms;
        std::printf("%-52s min %9.1f %s  median %9.1f %s  (%zu runs; target %.0f %s): %s\n", qPrintable(what),
                    min_of(ms), unit, med, unit, ms.size(), target_ms, unit, met ? "met" : "MISSED");
        std::fflush(stdout);
        m_ok &= met;
        return met;
    }
    // A figure shown for information, without a target.
    void info(const QString& what, const std::vector<double>& ms, const char* unit = "ms")
    {
        std::printf("%-52s min %9.1f %s  median %9.1f %s  (%zu runs)\n", qPrintable(what), min_of(ms), unit,
                    median_of(ms), unit, ms.size());
        std::fflush(stdout);
    }
    // A check of what a run produced.
    bool check(const QString& what, bool ok, const QString& detail = {})
    {
        if (!ok) {
            std::printf("CHECK FAILED: %s%s%s\n", qPrintable(what), detail.isEmpty() ? "" : ": ", qPrintable(detail));
            std::fflush(stdout);
        }
        m_ok &= ok;
        return ok;
    }
    int finish() const
    {
        std::printf("%s\n", m_ok ? "all targets met, all checks passed" : "SOME TARGETS MISSED OR CHECKS FAILED");
        return m_ok ? 0 : 1;
    }

private:
    bool m_ok = true;
};

// Lets the integrity check behind an opened catalogue end (writes wait for it).
inline bool wait_for_integrity_check(mosswick::frmBrowser& window, int timeout_ms = 30 * 60 * 1000)
{
    QElapsedTimer t;
    t.start();
    while (window.integrity_check_running()) {
        if (t.elapsed() > timeout_ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

} // namespace benchsupport
