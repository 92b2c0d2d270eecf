// Wine search against its floor, in interleaved pairs on the same archive:
//   measured  "Cerca" from the click until the list of results is drawn,
//             with no criterion (every wine listed) and with three criteria
//   floor     LC_ALL=C grep -c -i of a word over the same archive file: the
//             cheapest honest scan of the same bytes (the archive is
//             single-byte text, so a UTF-8 locale would only slow grep down)
// at 100,000 and 1,000,000 wines (10,000 and 100,000 with --quick).
// Usage: bench_search [--quick]
#include "WindowSet.h"
#include "BenchSupport.h"
#include "FramedEdit.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "TrovaVini.h"
#include "WineRecord.h"
#include "WineSearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// From the click on "Cerca" until the list is drawn; closing the window
// afterwards is another action and is not counted.
double search(const std::function<void(TfrmTrovaVini&)>& criteria)
{
    TfrmTrovaVini window;
    window.resize(862, 560);
    window.show();
    criteria(window);
    QCoreApplication::processEvents();
    return bench::timedMs([&] {
        window.btnCercaClick();
        QCoreApplication::processEvents(); // the list drawn
    });
}

// Returns the median ratio of the search with no criterion.
double searchBench(int wines, int pairs)
{
    QFile::remove(wineArchivePath());
    tour::writeSampleWines(wineArchivePath(), wines);
    const auto none = [](TfrmTrovaVini&) {};
    const auto three = [](TfrmTrovaVini& w) {
        w.txtRegione->setText(QStringLiteral("toscana"));
        w.txtAnnata->setText(QStringLiteral("201"));
        w.txtNote->setText(QStringLiteral("tartufo"));
    };
    // One untimed round: the file in the page cache for both sides.
    grepArchive();
    search(none);
    constexpr double kBudget = 1.5;
    const auto grep = [] { return bench::timedMs(grepArchive); };
    const bench::Pairs all = bench::interleaved(pairs, grep, [&] { return search(none); });
    const bench::Pairs some = bench::interleaved(pairs, grep, [&] { return search(three); });
    std::printf("%9d wines\n", wines);
    g_over += bench::reportPairs("  Cerca, no criterion", all, kBudget) ? 0 : 1;
    g_over += bench::reportPairs("  Cerca, three criteria", some, kBudget) ? 0 : 1;
    const double logic = bench::timedMs([] { searchWines({}); });
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
    const bool quick = argc == 2 && qstrcmp(argv[1], "--quick") == 0;
    QApplication app(argc, argv);
    prepareApplication(&app);
    installPlatform(tour::makeQuietPlatform());
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    const int pairs = quick ? 3 : 5;
    const int small = quick ? 10000 : 100000;
    const double smallRatio = searchBench(small, pairs);
    const double largeRatio = searchBench(small * 10, pairs);
    // Ten times the wines may cost ten times the floor's time, not more:
    // the ratio to the floor must not grow with the archive.
    std::printf("ratio growth from %d to %d wines: %.2f (budget 1.2)  %s\n", small, small * 10,
                largeRatio / smallRatio, largeRatio / smallRatio <= 1.2 ? "OK" : "OVER");
    g_over += largeRatio / smallRatio <= 1.2 ? 0 : 1;
    return g_over == 0 ? 0 : 1;
}
