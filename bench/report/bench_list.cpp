// Search list printing benchmark: a list of 100,000 lines printed to a PDF
// printer against the same list of 10,000 lines, each run in a process of
// its own, the two sizes interleaved. Printing must grow no faster than the
// list: at most 10 times the time, and a peak memory under twice.
// Usage: bench_list [--quick]
//        bench_list --child <lines> <file.pdf>   (one run: prints ms and KiB)
#include "ListReport.h"
#include "ReportBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 10;
constexpr double kMemoryBudget = 2;

// Lines shaped like the wine search's: fixed columns, about 140 characters.
QStringList searchLines(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("%1  Produttore: %2  Fornitore: %3  Giacenza: %4  € %5")
                     .arg(QStringLiteral("Barolo Riserva %1").arg(i), -30)
                     .arg(QStringLiteral("Cantina %1").arg(i % 977), -30)
                     .arg(QStringLiteral("Enoteca %1").arg(i % 131), -30)
                     .arg(QString::number(i % 500), -10)
                     .arg(QStringLiteral("%1,50").arg(10 + i % 90));
    return lines;
}

int child(int count, const QString& pdf)
{
    auto* bench = new reportbench::PdfPlatform(pdf);
    installPlatform(std::unique_ptr<Platform>(bench));
    const QStringList lines = searchLines(count);
    // Processor time of the process (user and system, file writing
    // included), so that other work on a shared machine does not count.
    auto cpuMs = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    };
    QElapsedTimer wall;
    wall.start();
    const double start = cpuMs();
    printList(nullptr, QStringLiteral("Riepilogo vini in catalogo"), lines);
    const double ms = cpuMs() - start;
    const double wallMs = wall.nsecsElapsed() / 1e6;
    if (bench->messages > 0 || !QFileInfo::exists(pdf))
        return 2;
    std::printf("%.3f %ld %.3f\n", ms, bench::peakRssKiB(), wallMs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--child"))
        return child(args[2].toInt(), args[3]);
    const int pairs = args.contains(QStringLiteral("--quick")) ? 2 : 4;

    QTemporaryDir dir;
    std::vector<double> smallMs, largeMs, smallMiB, largeMiB, smallWall, largeWall;
    for (int i = 0; i < pairs; ++i) {
        const auto small = bench::childFigures(app.applicationFilePath(),
                                                 {"--child", "10000", dir.filePath(QStringLiteral("small.pdf"))});
        const auto large = bench::childFigures(app.applicationFilePath(),
                                                 {"--child", "100000", dir.filePath(QStringLiteral("large.pdf"))});
        if (small.size() < 3 || large.size() < 3)
            return 2;
        smallWall.push_back(small[2]);
        largeWall.push_back(large[2]);
        smallMs.push_back(small[0]);
        largeMs.push_back(large[0]);
        smallMiB.push_back(small[1] / 1024);
        largeMiB.push_back(large[1] / 1024);
    }
    bool ok = reportbench::reportRatios("list of 100,000 lines to PDF, processor time", largeMs, smallMs, kTimeBudget,
                                        "ms");
    reportbench::reportRatios("  the same in wall-clock time (for information)", largeWall, smallWall, kTimeBudget,
                              "ms");
    ok = reportbench::reportRatios("list of 100,000 lines to PDF, peak memory", largeMiB, smallMiB, kMemoryBudget,
                                   "MiB") && ok;
    std::printf("%-52s %10.1f KB / %.1f KB\n", "PDF sizes, 100,000 / 10,000 lines",
                QFileInfo(dir.filePath(QStringLiteral("large.pdf"))).size() / 1024.0,
                QFileInfo(dir.filePath(QStringLiteral("small.pdf"))).size() / 1024.0);
    return ok ? 0 : 1;
}
