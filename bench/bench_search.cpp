// Wine search as the user meets it, against its floor, in interleaved pairs
// on the same archive:
//   measured  a fresh process shows the search window; from the release of
//             the click on "Cerca" until the list has painted its lines,
//             with no criterion (every wine listed) and with three criteria
//   floor     LC_ALL=C grep -c -i of a word over the same archive file: the
//             cheapest honest scan of the same bytes (the archive is
//             single-byte text, so a UTF-8 locale would only slow grep down)
// at 100,000 and 1,000,000 wines (10,000 and 100,000 with --quick).
// Usage: bench_search [--quick]
//        bench_search --child none|three <program folder>   (one search)
//        bench_search --write <program folder> <wines>      (an archive to look at)
#include "BenchSupport.h"
#include "UserSpan.h"

#include "FramedEdit.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "RecordListView.h"
#include "TrovaVini.h"
#include "WindowSet.h"
#include "WineRecord.h"
#include "WineSearch.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace vinarca;

namespace {

int g_over = 0;

void grepArchive()
{
    // Output read through a pipe: with its output on /dev/null grep stops at
    // the first match, which would not be a full scan.
    QProcess grep;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    grep.setProcessEnvironment(environment);
    grep.start(QStringLiteral("grep"), {QStringLiteral("-c"), QStringLiteral("-i"), QStringLiteral("montalcino"),
                                        wineArchivePath()});
    if (!grep.waitForFinished(-1) || grep.exitStatus() != QProcess::NormalExit)
        std::fprintf(stderr, "grep did not run: %s\n", qPrintable(grep.errorString()));
    grep.readAllStandardOutput();
}

// One search in this fresh process: the window shown and idle, the
// criteria typed, then Cerca clicked; prints the milliseconds from the
// release to the list painted, and the peak memory in KiB.
int child(const QString& criteria, const QString& folder)
{
    setProgramFolderForTesting(folder);
    TfrmTrovaVini window;
    window.show();
    if (criteria == QLatin1String("three")) {
        window.txtRegione->setText(QStringLiteral("toscana"));
        window.txtAnnata->setText(QStringLiteral("201"));
        window.txtNote->setText(QStringLiteral("tartufo"));
    }
    bench::idleFor(300);
    bench::PaintWatch list(window.lstRecords->viewport());
    const double ms = bench::clickUntilPainted(window.btnCerca, list);
    if (!window.panContainer->isVisible() || !window.lblTrovate->text().startsWith(QStringLiteral("Il presente")))
        return 2;
    std::printf("%.3f %ld\n", ms, bench::peakRssKiB());
    return 0;
}

// Returns the median ratio of the search with no criterion.
double searchBench(const QString& program, const QString& folder, int wines, int pairs)
{
    QFile::remove(wineArchivePath());
    tour::writeSampleWines(wineArchivePath(), wines);
    std::vector<double> peakKiB;
    const auto search = [&](const char* criteria) {
        const std::vector<double> figures = bench::childFigures(program, {"--child", criteria, folder});
        if (figures.size() < 2) {
            ++g_over;
            return 1e9;
        }
        peakKiB.push_back(figures[1]);
        return figures[0];
    };
    // One untimed round: the file in the page cache for both sides.
    grepArchive();
    search("none");
    peakKiB.clear();
    const double budget = wines >= 1000000 ? 1.5 : 1.2;
    const auto grep = [] { return bench::timedMs(grepArchive); };
    const bench::Pairs all = bench::interleaved(pairs, grep, [&] { return search("none"); });
    const double allPeakMiB = bench::median(peakKiB) / 1024;
    const bench::Pairs some = bench::interleaved(pairs, grep, [&] { return search("three"); });
    std::printf("%9d wines\n", wines);
    g_over += bench::reportPairs("  Cerca, no criterion", all, budget) ? 0 : 1;
    g_over += bench::reportPairs("  Cerca, three criteria", some, 1.5) ? 0 : 1;
    std::printf("  peak memory of the process, no criterion: %9.1f MiB (for information)\n", allPeakMiB);
    const double logic = bench::timedMs([] { searchWineLines({}); });
    std::printf("  of which the scan and the sort, no criterion: %9.1f ms (for information)\n", logic);
    std::vector<double> ratios;
    for (size_t i = 0; i < all.floorMs.size(); ++i)
        ratios.push_back(all.measuredMs[i] / all.floorMs[i]);
    return bench::median(ratios);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication(&app);
    installPlatform(tour::makeQuietPlatform());
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--child"))
        return child(args[2], args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("--write")) {
        setProgramFolderForTesting(args[2]);
        tour::writeSampleWines(wineArchivePath(), args[3].toInt());
        return 0;
    }
    const bool quick = args.contains(QStringLiteral("--quick"));
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    const int pairs = quick ? 3 : 5;
    const int small = quick ? 10000 : 100000;
    const QString program = app.applicationFilePath();
    const double smallRatio = searchBench(program, folder.path(), small, pairs);
    const double largeRatio = searchBench(program, folder.path(), small * 10, pairs);
    std::printf("ratio growth from %d to %d wines: %.2f (for information)\n", small, small * 10,
                largeRatio / smallRatio);
    return g_over == 0 ? 0 : 1;
}
