// The spreadsheet export of the wine archive as the user meets it, each run
// in a fresh process, against `cat` of the same archive, in interleaved pairs:
//   grid    from showing TfrmExpVini until its grid has been painted
//   file    from the Esporta click until the success question is asked
//           (the file written and safely on the disk)
//   memory  peak resident memory of that process, against a process
//           showing a bare Qt window of the same size (bench_bare_window)
// at 100,000 wines (10,000 with --quick).
// Usage: bench_export [--quick | --prepare FOLDER | --child FOLDER]
#include "BenchSupport.h"
#include "UserSpan.h"
#include "Camera.h"
#include "ExportWindow.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "WindowSet.h"
#include "WineRecord.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 3.0;
constexpr double kMemoryBudget = 1.5;

// Answers Yes to the export question and notes when the success question
// comes (answered No: nothing is opened).
class TimingPlatform final : public Platform
{
public:
    QElapsedTimer clock;
    double successAtMs = -1;

    MessageAnswer message(QWidget*, MessageKind, const QString& text) override
    {
        if (text.startsWith(QStringLiteral("Le schede in archivio sono state esportate"))) {
            successAtMs = clock.nsecsElapsed() / 1e6;
            return MessageAnswer::No;
        }
        return MessageAnswer::Yes;
    }
    void plainMessage(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    QString openFileName(QWidget*, const OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const SaveFileRequest&) override { return {}; }
    int execDialog(QDialog& dialog) override { return dialog.result(); }
    bool printDialog(QWidget*, QPrinter&, int, PrintChoices&) override { return false; }
    void shellOpen(const QString&) override {}
    QSize screenSize() const override { return {1920, 1080}; }
    std::unique_ptr<Camera> defaultCamera() override { return nullptr; }
};

// Ends `loop` once the watched widget's first painting has been done.
class OnPainted final : public QObject
{
public:
    explicit OnPainted(QEventLoop& loop) : m_loop(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, &m_loop, &QEventLoop::quit);
        }
        return false;
    }

private:
    QEventLoop& m_loop;
};

// One user's span in this fresh process: prints grid ms, file ms, peak KiB
// and the window's width and height.
int child(const QString& folder)
{
    setProgramFolderForTesting(folder);
    auto* platform = new TimingPlatform;
    installPlatform(std::unique_ptr<Platform>(platform));

    QElapsedTimer timer;
    timer.start();
    TfrmExpVini window(wineKind(), nullptr);
    QEventLoop painted;
    OnPainted watch(painted);
    window.grdRecords->viewport()->installEventFilter(&watch);
    window.show();
    painted.exec();
    const double gridMs = timer.nsecsElapsed() / 1e6;

    platform->clock.start();
    window.cmdEsportaClick();
    if (platform->successAtMs < 0)
        return 2;
    std::printf("%.3f %.3f %ld %d %d\n", gridMs, platform->successAtMs, bench::peakRssKiB(), window.width(),
                window.height());
    return 0;
}

double catMs(const QString& archive)
{
    QProcess cat;
    cat.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    cat.start(QStringLiteral("cat"), {archive});
    cat.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--child")) {
        prepareApplication(&app);
        return child(args[2]);
    }
    // A folder holding the archive of 100,000 wines, for profiling one run
    // by hand: bench_export --prepare FOLDER, then bench_export --child FOLDER.
    if (args.size() == 3 && args[1] == QLatin1String("--prepare")) {
        tour::writeSampleWines(QDir(args[2]).filePath(wineKind().archiveFile), 100000);
        return 0;
    }

    const bool quick = args.contains(QStringLiteral("--quick"));
    QTemporaryDir folder;
    const int wines = quick ? 10000 : 100000;
    const QString archive = QDir(folder.path()).filePath(wineKind().archiveFile);
    tour::writeSampleWines(archive, wines);
    // One untimed round: the archive in the page cache for both sides.
    catMs(archive);
    const std::vector<double> first =
        bench::childFigures(app.applicationFilePath(), {QStringLiteral("--child"), folder.path()});
    if (first.size() != 5)
        return 1;
    // The bare window is shown at the export window's size.
    const QStringList windowSize = {QString::number(first[3]), QString::number(first[4])};

    bench::Pairs grid, file, memory;
    for (int i = 0; i < (quick ? 3 : 7); ++i) {
        const double floorMs = catMs(archive);
        const std::vector<double> run =
            bench::childFigures(app.applicationFilePath(), {QStringLiteral("--child"), folder.path()});
        // The bare window writes "shown" and its peak.
        const std::vector<double> window = bench::childFigures(QStringLiteral(BENCH_BARE_WINDOW), windowSize);
        if (run.size() != 5 || window.size() != 2)
            return 1;
        grid.floorMs.push_back(floorMs), grid.measuredMs.push_back(run[0]);
        file.floorMs.push_back(floorMs), file.measuredMs.push_back(run[1]);
        memory.floorMs.push_back(window[1]), memory.measuredMs.push_back(run[2]);
    }
    std::printf("%d wines, archive %lld bytes, export file %lld bytes\n", wines,
                static_cast<long long>(QFileInfo(archive).size()),
                static_cast<long long>(QFileInfo(QDir(folder.path()).filePath(wineKind().exporting.file)).size()));
    bool ok = bench::reportPairs("grid: shown until painted, vs cat", grid, kTimeBudget);
    ok &= bench::reportPairs("file: Esporta until success question, vs cat", file, kTimeBudget);
    ok &= bench::reportPairs("peak memory vs a bare window of its size", memory, kMemoryBudget, "KiB");
    return ok ? 0 : 1;
}
