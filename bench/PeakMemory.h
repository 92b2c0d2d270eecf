#pragma once

// The peak memory the benchmarks compare: a process's own, read in the
// process itself. Qt Core only, so that the bare window, the floor of the
// memory figures, loads nothing more than it must.

#include <QByteArray>
#include <QFile>

namespace bench {

// The process's peak resident memory so far, in KiB: the high-water mark of
// its own memory (VmHWM), which starts afresh when a program is started.
// (getrusage's figure would carry over the peak of the benchmark process
// that started it, which is as large as the camera photo it wrote.)
inline long peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace bench
