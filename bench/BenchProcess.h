#pragma once

// What the benchmarks read from their processes: the figures a child run
// prints, and a process's own peak memory, read in the process itself.
// Qt Core only, so that the bare window, the floor of the memory figures,
// loads nothing more than it must.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace bench {

// The user's span in a process of its own: the figures a child run prints
// on its last line, read by the parent that interleaves it with a floor.
// Empty when the child failed.
inline std::vector<double> childFigures(const QString& program, const QStringList& arguments)
{
    QProcess child;
    child.start(program, arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "%s %s failed: %s\n", qPrintable(program), qPrintable(arguments.join(QLatin1Char(' '))),
                     child.readAllStandardError().constData());
        return {};
    }
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    std::vector<double> numbers;
    for (const QByteArray& field : lines.back().simplified().split(' '))
        numbers.push_back(field.toDouble());
    return numbers;
}

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
