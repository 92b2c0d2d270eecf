// Wine sheet printing benchmark, as the user prints it: from the editor's
// Stampa, through the print window's Stampa, to the printer (a PDF printer),
// with the record's 24-megapixel camera photo on screen, in a fresh process
// where the user prints for the first time. Interleaved pairs against
// floors measured in the same run:
//   time     from the release of the click on Stampa to the finished PDF
//            vs  djpeg decoding the photo file
//   memory   peak of a process that opens the editor on the record and
//            prints the sheet  vs  peak of a process that shows a bare
//            window and decodes the same photo
// Usage: bench_sheet [--quick] [--keep <file.pdf>]
//        bench_sheet --child editor|floor <program folder>   (one run)
//        bench_sheet --write <program folder>   (the record and its photo, to look at)
#include "BenchSupport.h"
#include "ProgramFolder.h"
#include "ReportBench.h"
#include "SampleData.h"
#include "UserSpan.h"
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
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 1.5;
constexpr double kMemoryBudget = 1.5;


// The editor on record 1, its photo shown, idle as the user leaves it
// before clicking Stampa.
void showFirstWine(TfrmVini& editor)
{
    editor.resize(1280, 800);
    editor.show();
    bench::idleFor(300);
    editor.cmdPrimoClick();
    editor.imgFoto->repaint();
    bench::idleFor(500);
}

int child(const QString& mode, const QString& folder)
{
    setProgramFolderForTesting(folder);
    const QString pdf = QDir(folder).filePath(QStringLiteral("sheet-child.pdf"));
    auto* bench = new reportbench::PdfPlatform(pdf);
    installPlatform(std::unique_ptr<Platform>(bench));
    double ms = 0;
    if (mode == QLatin1String("editor")) {
        TfrmVini editor;
        showFirstWine(editor);
        QFile::remove(pdf);
        // The print window and the print dialog answer at once: the span is
        // the program's work from the click to the complete file.
        ms = bench::clickUntil(editor.cmdStampa, [&] { return QFileInfo::exists(pdf) || bench->messages > 0; });
        if (bench->messages > 0 || QFileInfo(pdf).size() == 0)
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
    std::printf("%ld %.3f\n", bench::peakRssKiB(), ms);
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
    setProgramFolderForTesting(args.size() == 3 && args[1] == QLatin1String("--write") ? args[2] : dir.path());
    tour::writeSampleWines(wineArchivePath(), 1);
    QDir().mkpath(winePhotoFolder());
    const QString photo = WinePhotoPath(QStringLiteral("1"));
    tour::writeCameraPhoto(photo);
    if (args.size() == 3 && args[1] == QLatin1String("--write"))
        return 0;
    const QString pdf = dir.filePath(QStringLiteral("sheet-child.pdf"));
    const auto djpeg = [&] {
        return bench::timedMs([&] {
            QProcess process;
            process.start(QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), photo});
            if (!process.waitForFinished(-1) || process.exitCode() != 0)
                std::fprintf(stderr, "djpeg did not run\n");
        });
    };
    // Each pair: djpeg, then a fresh process that prints the sheet once and
    // a fresh process that shows a bare window and decodes the photo.
    std::vector<double> sheetMs, djpegMs, editorKb, floorKb;
    djpeg(); // the photo in the page cache
    for (int i = 0; i < pairs; ++i) {
        djpegMs.push_back(djpeg());
        const auto editorRun = bench::childFigures(app.applicationFilePath(), {"--child", "editor", dir.path()});
        const auto floorRun = bench::childFigures(app.applicationFilePath(), {"--child", "floor", dir.path()});
        if (editorRun.size() < 2 || floorRun.empty()) {
            std::fprintf(stderr, "the sheet was not printed\n");
            return 2;
        }
        sheetMs.push_back(editorRun[1]);
        editorKb.push_back(editorRun[0] / 1024);
        floorKb.push_back(floorRun[0] / 1024);
    }
    bool ok = reportbench::reportRatios("wine sheet, Stampa to PDF printer", sheetMs, djpegMs, kTimeBudget, "ms");
    ok = reportbench::reportRatios("wine sheet printed, peak memory", editorKb, floorKb, kMemoryBudget, "MiB") && ok;
    std::printf("%-52s %10.1f KB  (photo JPEG %.1f KB)\n", "PDF size", QFileInfo(pdf).size() / 1024.0,
                QFileInfo(photo).size() / 1024.0);
    if (keepAt >= 0 && keepAt + 1 < args.size()) {
        QFile::remove(args[keepAt + 1]);
        QFile::copy(pdf, args[keepAt + 1]);
    }
    return ok ? 0 : 1;
}
