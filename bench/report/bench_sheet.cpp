// Wine sheet printing benchmark, as the user prints it: from the editor's
// Stampa, through the print window's Stampa, to the printer (a PDF printer),
// with the record's 24-megapixel camera photo on screen. Interleaved pairs
// against floors measured in the same run:
//   time     Stampa to the finished PDF  vs  djpeg decoding the photo file
//   memory   peak of a process that opens the editor on the record and
//            prints the sheet  vs  peak of a process that shows a bare
//            window and decodes the same photo
// Usage: bench_sheet [--quick] [--keep <file.pdf>]
//        bench_sheet --child editor|floor <program folder>   (one memory run)
#include "ProgramFolder.h"
#include "ReportBench.h"
#include "SampleData.h"
#include "Vini.h"
#include "WineRecord.h"

#include "PictureBox.h"
#include "PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 1.5;
constexpr double kMemoryBudget = 1.5;


// The editor on record 1, its photo shown.
void showFirstWine(TfrmVini& editor)
{
    editor.resize(1280, 800);
    editor.show();
    QCoreApplication::processEvents();
    editor.cmdPrimoClick();
    editor.imgFoto->repaint();
}

int child(const QString& mode, const QString& folder)
{
    setProgramFolderForTesting(folder);
    const QString pdf = QDir(folder).filePath(QStringLiteral("sheet-child.pdf"));
    auto* bench = new reportbench::PdfPlatform(pdf);
    installPlatform(std::unique_ptr<Platform>(bench));
    if (mode == QLatin1String("editor")) {
        TfrmVini editor;
        showFirstWine(editor);
        editor.cmdStampa->click();
        if (bench->messages > 0 || !QFileInfo::exists(pdf))
            return 2;
    } else {
        QWidget window;
        window.resize(1280, 800);
        window.show();
        QCoreApplication::processEvents();
        QImageReader reader(WinePhotoPath(QStringLiteral("1")));
        const QImage photo = reader.read();
        if (photo.isNull())
            return 2;
    }
    std::printf("%ld\n", reportbench::peakRssKb());
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
        return child(args[2], args[3]);
    const bool quick = args.contains(QStringLiteral("--quick"));
    const int keepAt = int(args.indexOf(QStringLiteral("--keep")));
    const int pairs = quick ? 3 : 7;

    QTemporaryDir dir;
    setProgramFolderForTesting(dir.path());
    tour::writeSampleWines(wineArchivePath(), 1);
    QDir().mkpath(winePhotoFolder());
    const QString photo = WinePhotoPath(QStringLiteral("1"));
    tour::writeCameraPhoto(photo);
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    auto* bench = new reportbench::PdfPlatform(pdf);
    installPlatform(std::unique_ptr<Platform>(bench));

    TfrmVini editor;
    showFirstWine(editor);
    editor.cmdStampa->click(); // once untimed: the first large allocations of a process cost more
    std::vector<double> sheetMs, djpegMs;
    for (int i = 0; i < pairs; ++i) {
        QFile::remove(pdf);
        QElapsedTimer timer;
        timer.start();
        editor.cmdStampa->click();
        sheetMs.push_back(timer.nsecsElapsed() / 1e6);
        if (bench->messages > 0 || !QFileInfo::exists(pdf)) {
            std::fprintf(stderr, "the sheet was not printed\n");
            return 2;
        }
        timer.restart();
        QProcess djpeg;
        djpeg.start(QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), photo});
        if (!djpeg.waitForFinished(-1) || djpeg.exitCode() != 0) {
            std::fprintf(stderr, "djpeg did not run\n");
            return 2;
        }
        djpegMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    bool ok = reportbench::reportRatios("wine sheet, Stampa to PDF printer", sheetMs, djpegMs, kTimeBudget, "ms");

    std::vector<double> editorKb, floorKb;
    for (int i = 0; i < (quick ? 2 : 4); ++i) {
        const auto editorRun = reportbench::runChild(app.applicationFilePath(), {"--child", "editor", dir.path()});
        const auto floorRun = reportbench::runChild(app.applicationFilePath(), {"--child", "floor", dir.path()});
        if (editorRun.empty() || floorRun.empty())
            return 2;
        editorKb.push_back(editorRun[0] / 1024);
        floorKb.push_back(floorRun[0] / 1024);
    }
    ok = reportbench::reportRatios("wine sheet printed, peak memory", editorKb, floorKb, kMemoryBudget, "MiB") && ok;
    std::printf("%-52s %10.1f KB  (photo JPEG %.1f KB)\n", "PDF size", QFileInfo(pdf).size() / 1024.0,
                QFileInfo(photo).size() / 1024.0);
    if (keepAt >= 0 && keepAt + 1 < args.size()) {
        QFile::remove(args[keepAt + 1]);
        QFile::copy(pdf, args[keepAt + 1]);
    }
    return ok ? 0 : 1;
}
