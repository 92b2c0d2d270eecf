// Photo benchmark: showing a wine whose photo is a 24-megapixel camera JPEG,
// against djpeg decoding the same file at full size. Measured as interleaved
// pairs (floor, then the work), the first pair included, so the first photo
// of a session counts like every other; each line gives the min and median
// ratio over the pairs.
//   box      the photo read and decoded for the editor's 307 x 409 box, and
//            scaled into it (the decoding alone, for information)
//   zoom     decoded again from the kept bytes for a 1920 x 1080 screen
//   print    decoded again for a 300-dpi A4 page (2480 x 3508)
//   djpeg -scale 1/8   the decoding library's own least work for this file
//   Primo    a fresh process shows the wine editor; from the release of the
//            click on Primo until record 1's photo has painted: the first
//            photo of the session                               budget 0.5
//   Avanti   then, after a pause, Avanti to record 2's photo painted:
//            a later photo                                      budget 0.5
// Usage: bench_photo [--quick]
//        bench_photo --child <program folder>   (one Primo and Avanti)
#include "BenchSupport.h"
#include "UserSpan.h"
#include "Photo.h"
#include "Platform.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "Vini.h"
#include "WineRecord.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vinarca;

// The wine editor's photo box.
constexpr QSize kWinePhotoBox{307, 409};

namespace {

int g_over = 0;

void djpeg(const QString& path, const QStringList& options = {})
{
    QProcess process;
    process.start(QStringLiteral("djpeg"), options + QStringList{QStringLiteral("-outfile"), QStringLiteral("/dev/null"), path});
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        std::fprintf(stderr, "djpeg did not run: %s\n", qPrintable(process.errorString()));
}

// Interleaved pairs: floor, work, floor, work... Prints min and median of the
// pairwise ratios; a budget of 0 prints the figure for information.
void pairs(const char* what, int runs, const std::function<void()>& floor, const std::function<void()>& work,
           double budget)
{
    const bench::Pairs measured = bench::interleaved(
        runs, [&] { return bench::timedMs(floor); }, [&] { return bench::timedMs(work); });
    g_over += bench::reportPairs(what, measured, budget) ? 0 : 1;
}

// Records 1 to 3, each with its own copy of one camera photo.
QString writeCameraPhotos()
{
    const QString path = WinePhotoPath(QStringLiteral("1"));
    QDir().mkpath(winePhotoFolder());
    tour::writeCameraPhoto(path);
    for (const char* other : {"2", "3"}) {
        QFile::remove(WinePhotoPath(QString::fromLatin1(other)));
        QFile::copy(path, WinePhotoPath(QString::fromLatin1(other)));
    }
    return path;
}

// The editor in this fresh process, shown and idle as the user finds it;
// then Primo, a pause, and Avanti, each timed from the release of the click
// until the photo box has painted. Prints the two times in milliseconds.
int child(const QString& folder)
{
    setProgramFolderForTesting(folder);
    TfrmVini editor;
    editor.resize(1280, 800);
    editor.show();
    bench::idleFor(500);
    bench::PaintWatch photo(editor.imgFoto);
    const double first = bench::clickUntilPainted(editor.cmdPrimo, photo);
    if (editor.lblPosizione->text().trimmed() != QLatin1String("1") || editor.imgFoto->sourceBytes().isEmpty())
        return 2;
    bench::idleFor(500);
    const double later = bench::clickUntilPainted(editor.cmdAvanti, photo);
    if (editor.lblPosizione->text().trimmed() != QLatin1String("2") || editor.imgFoto->sourceBytes().isEmpty())
        return 2;
    std::printf("%.3f %.3f\n", first, later);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool quick = argc == 2 && qstrcmp(argv[1], "--quick") == 0;
    QApplication app(argc, argv);
    const int runs = quick ? 3 : 9;
    installPlatform(tour::makeQuietPlatform());
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return child(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    tour::writeSampleWines(wineArchivePath(), 3);
    const QString path = writeCameraPhotos();
    const auto floor = [&] { djpeg(path); };

    // The box: what the editor draws, from the file on disk.
    pairs("show a 24-megapixel photo in the photo box", runs, floor,
          [&] {
              const auto photo = readPhotoFile(path, kWinePhotoBox);
              const QSize target = photo->image.size().scaled(kWinePhotoBox, Qt::KeepAspectRatio);
              QPixmap::fromImage(photo->image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
          },
          0);
    // The library's own least work for this file: reducing by eighths still
    // decodes every coefficient, which for a camera photo is most of the time.
    pairs("  djpeg -scale 1/8 of the same file", runs, floor,
          [&] { djpeg(path, {QStringLiteral("-scale"), QStringLiteral("1/8")}); }, 0);
    const auto shown = readPhotoFile(path, kWinePhotoBox);
    pairs("  zoom window at 1920 x 1080, from kept bytes", runs, floor,
          [&] { photoImageAt(*shown, QSize(1920, 1080)); }, 0);
    pairs("  printed sheet at 300 dpi, from kept bytes", runs, floor,
          [&] { photoImageAt(*shown, QSize(2480, 3508)); }, 0);

    // The user's span: each pair a djpeg and a fresh process of the editor.
    bench::Pairs primo, avanti;
    for (int i = 0; i < runs; ++i) {
        const double floorMs = bench::timedMs(floor);
        const std::vector<double> figures = bench::childFigures(app.applicationFilePath(), {"--child", folder.path()});
        if (figures.size() < 2)
            return 2;
        primo.floorMs.push_back(floorMs);
        primo.measuredMs.push_back(figures[0]);
        avanti.floorMs.push_back(floorMs);
        avanti.measuredMs.push_back(figures[1]);
    }
    g_over += bench::reportPairs("Primo, the first photo of the session", primo, 0.5) ? 0 : 1;
    g_over += bench::reportPairs("Avanti, a later photo", avanti, 0.5) ? 0 : 1;
    return g_over == 0 ? 0 : 1;
}
