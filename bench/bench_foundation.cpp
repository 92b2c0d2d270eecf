// Start-up and archive benchmarks. Each figure is a ratio against a floor
// measured in the same run on the same machine, in interleaved pairs:
//   start-up      a new process until the login window is painted on screen
//                 vs  a program linking Qt Widgets only until its empty window is
//   scan          every record of the archive   vs  a plain sequential read
//   show record   the editor showing record k   vs  a plain sequential read
// Usage: bench_foundation [--quick | --startup]
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

// Child mode: the program's start-up (as main() does it) until the login
// window has been painted; then it writes "shown" and finishes normally.
int childStartup()
{
    FontsAhead fonts;
    QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL);
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    prepareApplication(&app);
    fonts.wait();
    WindowSet windows;
    QObject::connect(&windows, &WindowSet::loginOnScreen, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
    });
    windows.start();
    return 0;
}

// From the start of a new process until it writes its "shown" line.
double timeToShown(const QString& program, const QStringList& arguments)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    while (!child.canReadLine() && child.waitForReadyRead(60000)) {
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!child.readLine().startsWith("shown"))
        std::fprintf(stderr, "%s did not show its window\n", qPrintable(program));
    child.waitForFinished(60000);
    return ms;
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

    const auto floor = [&] { return bench::timedMs([&] { plainRead(path); }); };
    const auto scan = [&] {
        return bench::timedMs([&] {
            RecordArchive archive(path, wineLayout(), RecordArchive::Access::Read);
            QByteArray record;
            while (archive.readNext(record)) {
            }
        });
    };
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
    const auto show = [&] {
        return bench::timedMs([&] {
            editor.cmdUltimoClick();
            editor.cmdIndietroClick();
        }) / 2;
    };

    char label[96];
    std::snprintf(label, sizeof label, "scan, %d wines", wines);
    g_over += bench::reportPairs(label, bench::interleaved(runs, floor, scan), 2.0) ? 0 : 1;
    std::snprintf(label, sizeof label, "scan and decode every field, %d wines", wines);
    std::printf("%-44s %9.2f ms  (for information)\n", label, scanDecode);
    std::snprintf(label, sizeof label, "editor shows record %d of %d", wines, wines);
    g_over += bench::reportPairs(label, bench::interleaved(runs * 4, floor, show), 2.0) ? 0 : 1;
    setProgramFolderForTesting({});
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "startup-vinarca") == 0)
        return childStartup();

    // Children inherit the platform: offscreen unless QT_QPA_PLATFORM says otherwise.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const bool startupOnly = argc == 2 && qstrcmp(argv[1], "--startup") == 0;
    const bool quick = argc == 2 && qstrcmp(argv[1], "--quick") == 0;
    QApplication app(argc, argv);
    installPlatform(tour::makeQuietPlatform());
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = quick ? 3 : 9;

    const QString bare = QStringLiteral(BENCH_BARE_WINDOW);
    const auto startBare = [&] { return timeToShown(bare, {}); };
    const auto startVinarca = [&] { return timeToShown(self, {QStringLiteral("startup-vinarca")}); };
    startBare(); // warm the loader's caches for both
    startVinarca();
    g_over += bench::reportPairs("start-up until the login is on screen", bench::interleaved(runs * 2, startBare, startVinarca), 1.5) ? 0 : 1;

    if (startupOnly)
        return g_over == 0 ? 0 : 1;
    archiveBench(1000, runs, app);
    archiveBench(quick ? 10000 : 100000, runs, app);
    return g_over == 0 ? 0 : 1;
}
