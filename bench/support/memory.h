#pragma once

// Memory figures of this process from /proc/self/status, and of the
// programs it ran.

#include <QByteArray>
#include <QFile>

#include <malloc.h>
#include <sys/resource.h>

namespace benchsupport {

// A line of /proc/self/status in MB (10^6 bytes): "VmHWM" is the peak since
// the last reset, "VmRSS" the present; -1 when it cannot be read.
inline double status_mb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() * 1024.0 / 1.0e6;
    return -1;
}

// Returns freed memory to the system and starts a new peak at the present
// size. False when the kernel cannot reset the peak.
inline bool start_peak()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

// The largest peak of the child processes that have ended so far (the
// resident memory at its highest), in MB; 0 before any ended.
inline double ended_children_peak_mb()
{
    rusage u {};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_maxrss) * 1024.0 / 1.0e6;
}

} // namespace benchsupport
