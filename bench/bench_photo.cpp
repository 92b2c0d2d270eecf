// Photo benchmark: showing a wine whose photo is a 24-megapixel camera JPEG,
// against djpeg decoding the same file at full size. Measured as interleaved
// pairs (floor, then the work), the first pair included, so the first photo
// of a session counts like every other; each line gives the min and median
// ratio over the pairs.
//   box      the photo read and decoded for the editor's 307 x 409 box, and
//            scaled into it                                     budget 0.5
//   zoom     decoded again from the kept bytes for a 1920 x 1080 screen
//   print    decoded again for a 300-dpi A4 page (2480 x 3508)
//   djpeg -scale 1/8   the decoding library's own least work for this file
//   editor   the editor's Primo showing the record, its photo decoded for the box
// Usage: bench_photo [--quick]
#include "BenchSupport.h"
#include "Photo.h"
#include "Platform.h"
#include "PictureBox.h"
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

QString writeCameraPhoto()
{
    const QString path = WinePhotoPath(QStringLiteral("1"));
    QDir().mkpath(winePhotoFolder());
    tour::writeCameraPhoto(path);
    return path;
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
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    tour::writeSampleWines(wineArchivePath(), 1);
    const QString path = writeCameraPhoto();
    const auto floor = [&] { djpeg(path); };

    // The box: what the editor draws, from the file on disk.
    pairs("show a 24-megapixel photo in the photo box", runs, floor,
          [&] {
              const auto photo = readPhotoFile(path, kWinePhotoBox);
              const QSize target = photo->image.size().scaled(kWinePhotoBox, Qt::KeepAspectRatio);
              QPixmap::fromImage(photo->image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
          },
          0.5);
    // The library's own least work for this file: reducing by eighths still
    // decodes every coefficient, which for a camera photo is most of the time.
    pairs("  djpeg -scale 1/8 of the same file", runs, floor,
          [&] { djpeg(path, {QStringLiteral("-scale"), QStringLiteral("1/8")}); }, 0);
    const auto shown = readPhotoFile(path, kWinePhotoBox);
    pairs("  zoom window at 1920 x 1080, from kept bytes", runs, floor,
          [&] { photoImageAt(*shown, QSize(1920, 1080)); }, 0);
    pairs("  printed sheet at 300 dpi, from kept bytes", runs, floor,
          [&] { photoImageAt(*shown, QSize(2480, 3508)); }, 0);

    TfrmVini editor;
    editor.resize(1280, 800);
    editor.show();
    QCoreApplication::processEvents();
    pairs("  the editor's Primo", runs, floor,
          [&] {
              editor.lblPosizione->clear();
              editor.cmdPrimoClick();
              editor.imgFoto->repaint();
          },
          0);
    return g_over == 0 ? 0 : 1;
}
