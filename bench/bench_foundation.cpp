// Start-up and archive benchmarks. Each figure is a ratio against a floor
// measured in the same run on the same machine:
//   start-up      all windows created and the login window shown  vs  a bare Qt window shown
//   scan          every record of the archive   vs  a plain sequential read
//   show record   the editor showing record k   vs  a plain sequential read
// Usage: bench_foundation [--quick]
#include "BenchSupport.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "SampleData.h"
#include "Password.h"
#include "Vini.h"
#include "WindowSet.h"
#include "WineRecord.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vinarca;

namespace {

int g_over = 0;

void report(const char* what, double measured, double floor, double budget)
{
    g_over += bench::report(what, measured, floor, budget) ? 0 : 1;
}

// Child modes: show one window, wait until it is on screen, exit.
int childStartup(bool bare)
{
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QWidget* shown = nullptr;
    std::unique_ptr<QWidget> bareWindow;
    std::unique_ptr<WindowSet> windows;
    if (bare) {
        bareWindow = std::make_unique<QWidget>();
        bareWindow->showMaximized();
        shown = bareWindow.get();
    } else {
        windows = std::make_unique<WindowSet>();
        windows->start();
        shown = frmPassword;
    }
    while (!shown->isVisible() || !shown->windowHandle() || !shown->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    return 0;
}

double timeChild(const QString& self, const QString& mode, int runs)
{
    return bench::medianMs(runs, [&] {
        QProcess child;
        child.start(self, {mode});
        child.waitForFinished(60000);
    });
}

void plainRead(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArray chunk(1 << 20, '\0');
    volatile qint64 total = 0;
    qint64 got = 0;
    while ((got = file.read(chunk.data(), chunk.size())) > 0)
        total = total + got;
}

void archiveBench(int wines, int runs, QApplication& app)
{
    Q_UNUSED(app);
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    tour::writeSampleWines(wineArchivePath(), wines);
    const QString path = wineArchivePath();
    plainRead(path); // warm the page cache for both sides

    const double floor = bench::medianMs(runs, [&] { plainRead(path); });
    const double scan = bench::medianMs(runs, [&] {
        RecordArchive archive(path, wineLayout(), RecordArchive::Access::Read);
        QByteArray record;
        while (archive.readNext(record)) {
        }
    });
    const double scanDecode = bench::medianMs(runs, [&] {
        RecordArchive archive(path, wineLayout(), RecordArchive::Access::Read);
        QByteArray record;
        while (archive.readNext(record))
            wineLayout().decode(record);
    });

    TfrmVini editor;
    editor.resize(1280, 800);
    editor.show();
    // Records n and n - 1 in turn (the farthest seeks), so every step
    // really changes the texts, the position and the photo shown.
    const double show = bench::medianMs(runs * 4, [&] {
        editor.cmdUltimoClick();
        editor.cmdIndietroClick();
    }) / 2;

    char label[96];
    std::snprintf(label, sizeof label, "scan, %d wines", wines);
    report(label, scan, floor, 2.0);
    std::snprintf(label, sizeof label, "scan and decode every field, %d wines", wines);
    std::printf("%-44s %10.3f ms  (for information)\n", label, scanDecode);
    std::snprintf(label, sizeof label, "editor shows record %d of %d", wines, wines);
    report(label, show, floor, 2.0);
    setProgramFolderForTesting({});
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && (qstrcmp(argv[1], "startup-bare") == 0 || qstrcmp(argv[1], "startup-vinarca") == 0))
        return childStartup(qstrcmp(argv[1], "startup-bare") == 0);

    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const bool quick = argc == 2 && qstrcmp(argv[1], "--quick") == 0;
    QApplication app(argc, argv);
    installPlatform(tour::makeQuietPlatform());
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = quick ? 3 : 9;

    timeChild(self, QStringLiteral("startup-bare"), 1); // warm the loader's caches
    const double bare = timeChild(self, QStringLiteral("startup-bare"), runs);
    const double vinarca = timeChild(self, QStringLiteral("startup-vinarca"), runs);
    report("start-up to the first window shown", vinarca, bare, 1.5);

    archiveBench(1000, runs, app);
    archiveBench(quick ? 10000 : 100000, runs, app);
    return g_over == 0 ? 0 : 1;
}
