// The spreadsheet export of the wine archive against its floor, in
// interleaved pairs on the same archive:
//   measured  from opening the export window (the grid loaded from the
//             archive) through Esporta until the file is written and safely
//             on the disk
//   floor     a plain read of the same archive file into memory
// at 100,000 wines (10,000 with --quick).
// Usage: bench_export [--quick]
#include "BenchSupport.h"
#include "ExportWindow.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "SampleData.h"
#include "WindowSet.h"
#include "WineRecord.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace vinarca;

namespace {

void readArchive()
{
    QFile file(wineArchivePath());
    if (!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty())
        std::fprintf(stderr, "cannot read the archive\n");
}

// The quiet platform answers every confirmation with OK (a yes) and opens nothing.
void exportFromTheWindow()
{
    TfrmExpVini window(wineKind(), nullptr);
    window.show();
    QCoreApplication::processEvents(); // the grid drawn
    window.cmdEsportaClick();
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
    const int wines = quick ? 10000 : 100000;
    tour::writeSampleWines(wineArchivePath(), wines);
    // One untimed round: the archive in the page cache for both sides.
    readArchive();
    exportFromTheWindow();
    const bench::Pairs pairs = bench::interleaved(quick ? 3 : 5, [] { return bench::timedMs(readArchive); },
                                                  [] { return bench::timedMs(exportFromTheWindow); });
    std::printf("%d wines, export file %lld bytes\n", wines,
                static_cast<long long>(QFileInfo(ProgramFolder() + QStringLiteral("Catalogo_Vini.xls")).size()));
    return bench::reportPairs("export from the window to the file on disk", pairs, 3.0) ? 0 : 1;
}
