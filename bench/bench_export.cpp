// The spreadsheet export of the wine archive as the user meets it, each run
// in a fresh process, against `cat` of the same archive, in interleaved pairs:
//   grid    from showing TfrmExpVini until its grid has been painted
//   file    from the Esporta click until the success question is asked
//           (the file written and safely on the disk)
//   memory  peak resident memory of that process, against a process
//           showing a bare Qt window (bench_bare_window)
// at 100,000 wines (10,000 with --quick).
// Usage: bench_export [--quick]
#include "BenchSupport.h"
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

#include <sys/resource.h>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 3.0;
constexpr double kMemoryBudget = 1.5;

long peakRssKb(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

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

// One user's span in this fresh process: prints grid ms, file ms, peak KiB.
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
    std::printf("%.3f %.3f %ld\n", gridMs, platform->successAtMs, peakRssKb(RUSAGE_SELF));
    return 0;
}

// The memory floor: the peak of bench_bare_window, this process's only child.
int bare()
{
    QProcess window;
    window.start(QStringLiteral(BENCH_BARE_WINDOW), {});
    if (!window.waitForFinished(-1) || window.exitCode() != 0)
        return 2;
    std::printf("%ld\n", peakRssKb(RUSAGE_CHILDREN));
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

std::vector<double> runChild(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "bench_export %s failed: %s\n", qPrintable(arguments.join(QLatin1Char(' '))),
                     process.readAllStandardError().constData());
        return {};
    }
    std::vector<double> numbers;
    for (const QByteArray& field : process.readAllStandardOutput().trimmed().split('\n').last().split(' '))
        numbers.push_back(field.toDouble());
    return numbers;
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
    if (args.size() == 2 && args[1] == QLatin1String("--bare"))
        return bare();

    const bool quick = args.contains(QStringLiteral("--quick"));
    QTemporaryDir folder;
    const int wines = quick ? 10000 : 100000;
    const QString archive = QDir(folder.path()).filePath(wineKind().archiveFile);
    tour::writeSampleWines(archive, wines);
    // One untimed round: the archive in the page cache for both sides.
    catMs(archive);
    runChild(app.applicationFilePath(), {QStringLiteral("--child"), folder.path()});

    bench::Pairs grid, file, memory;
    for (int i = 0; i < (quick ? 3 : 7); ++i) {
        const double floorMs = catMs(archive);
        const std::vector<double> run = runChild(app.applicationFilePath(), {QStringLiteral("--child"), folder.path()});
        const std::vector<double> window = runChild(app.applicationFilePath(), {QStringLiteral("--bare")});
        if (run.size() != 3 || window.size() != 1)
            return 1;
        grid.floorMs.push_back(floorMs), grid.measuredMs.push_back(run[0]);
        file.floorMs.push_back(floorMs), file.measuredMs.push_back(run[1]);
        memory.floorMs.push_back(window[0]), memory.measuredMs.push_back(run[2]);
    }
    std::printf("%d wines, archive %lld bytes, export file %lld bytes\n", wines,
                static_cast<long long>(QFileInfo(archive).size()),
                static_cast<long long>(QFileInfo(QDir(folder.path()).filePath(wineKind().exporting.file)).size()));
    bool ok = bench::reportPairs("grid: shown until painted, vs cat", grid, kTimeBudget);
    ok &= bench::reportPairs("file: Esporta until success question, vs cat", file, kTimeBudget);
    ok &= bench::reportPairs("peak memory vs a bare window", memory, kMemoryBudget, "KiB");
    return ok ? 0 : 1;
}
