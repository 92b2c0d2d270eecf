// The import of a shop's CSV list into an empty wine catalogue, as the
// Importa button runs it (every row checked and staged, then written whole
// and forced to the disk), against a floor that reads the same file and
// writes the resulting archive durably, in interleaved pairs, at 100,000
// rows (10,000 with --quick). Also prints the peak resident memory, which
// stays flat in the number of rows: the file is streamed, never held as cells.
// Usage: bench_import [--quick]
#include "BenchProcess.h"
#include "BenchSupport.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "SpreadsheetImport.h"
#include "WineRecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace vinarca;

namespace {

constexpr double kTimeBudget = 2.0;

QByteArray shopList(int rows)
{
    QByteArray csv = "Vino;Azienda;Annata;Regione;Quantit\xC3\xA0;Prezzo \xE2\x82\xAC;Note\r\n";
    for (int i = 0; i < rows; ++i) {
        csv += "Barbera d'Asti " + QByteArray::number(i) + ";Cantina Sociale di Nizza;" + QByteArray::number(2000 + i % 24)
               + ";Piemonte;" + QByteArray::number(i % 120) + ";" + QByteArray::number(5 + i % 40) + ",50;"
               + "\"Vino secco e armonico; servire a 16 \xC2\xB0" "C\"\r\n";
    }
    return csv;
}

double floorMs(const QString& csv, const QString& archivePath, int rows)
{
    QElapsedTimer timer;
    timer.start();
    QFile in(csv);
    in.open(QIODevice::ReadOnly);
    while (!in.read(256 * 1024).isEmpty()) {
    }
    QFile out(archivePath);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QByteArray record = wineLayout().emptyRecord();
    for (int i = 0; i < rows; ++i)
        out.write(record);
    out.flush();
    ::fsync(out.handle());
    out.close();
    return timer.nsecsElapsed() / 1e6;
}

double importMs(const QString& csv)
{
    QFile::remove(wineKind().archivePath());
    QFile::remove(importJournalPath(wineKind()));
    QElapsedTimer timer;
    timer.start();
    QFile head(csv);
    head.open(QIODevice::ReadOnly);
    auto table = openTable(csv, detectCsvDialect(head.read(64 * 1024)));
    QStringList headers;
    table->next(headers);
    ImportPlan plan;
    if (checkImport(wineKind(), *table, matchColumns(wineKind(), headers), {}, plan) != CheckResult::Ready)
        return -1;
    if (applyImport(wineKind(), plan).result != ApplyResult::Done)
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int rows = quick ? 10000 : 100000;
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-import-XXXXXX"));
    setProgramFolderForTesting(dir.path());
    const QString csv = dir.filePath(QStringLiteral("listino.csv"));
    {
        QFile f(csv);
        f.open(QIODevice::WriteOnly);
        f.write(shopList(rows));
    }
    std::vector<double> ratios;
    for (int run = 0; run < 5; ++run) {
        const double floor = floorMs(csv, dir.filePath(QStringLiteral("floor.pro")), rows);
        const double span = importMs(csv);
        if (span < 0) {
            std::fprintf(stderr, "import failed\n");
            return 1;
        }
        std::printf("run %d: import %.1f ms, floor %.1f ms, ratio %.2f\n", run + 1, span, floor, span / floor);
        ratios.push_back(span / floor);
    }
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios[ratios.size() / 2];
    std::printf("import of %d CSV rows: median ratio %.2f (budget %.1f), peak memory %ld KiB\n", rows, median,
                kTimeBudget, bench::peakRssKiB());
    return median <= kTimeBudget ? 0 : 1;
}
