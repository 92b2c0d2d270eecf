// Wine sheet output benchmark. The figure is a ratio against a floor
// measured in the same run on the same machine:
//   sheet to PDF   fill, prepare and write the wine sheet with a
//                  24-megapixel photo to a PDF file
//   floor          decoding that photo's JPEG file alone
// Usage: bench_sheet [--quick] [--keep <file.pdf>]
#include "BenchSupport.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ReportOutput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vinarca;

namespace {

constexpr double kBudget = 1.5;

// A 6000 x 4000 camera-like photo: smooth shading with fine grain, so the
// JPEG has a realistic size and the PDF cannot shrink it to nothing.
QImage cameraPhoto()
{
    QImage photo(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int grain = int(random.bounded(24));
            line[x] = qRgb(std::min(255, 90 + x / 40 + grain), std::min(255, 20 + y / 30 + grain),
                           std::min(255, 40 + (x + y) / 80 + grain));
        }
    }
    return photo;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool quick = args.contains(QStringLiteral("--quick"));
    const int keepAt = int(args.indexOf(QStringLiteral("--keep")));
    const int runs = quick ? 3 : 7;

    QTemporaryDir dir;
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    {
        QImageWriter writer(jpeg, "jpeg");
        writer.setQuality(90);
        if (!writer.write(cameraPhoto())) {
            std::fprintf(stderr, "cannot write the test photo\n");
            return 2;
        }
    }
    QImageReader::setAllocationLimit(512);

    QImage photo;
    const double decodeMs = bench::medianMs(runs, [&] {
        QImageReader reader(jpeg);
        photo = reader.read();
    });
    if (photo.isNull()) {
        std::fprintf(stderr, "cannot decode the test photo\n");
        return 2;
    }

    auto report = loadReportLayout(QStringLiteral(":/reports/scheda_vino.json"));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const double sheetMs = bench::medianMs(runs, [&] {
        report->page().setOrientation(QPageLayout::Portrait);
        report->find<TPictureView>(QStringLiteral("imgLogo"))->setPicture(photo);
        for (const char* name : {"txtVino", "txtProduttore", "txtDesignazione", "txtNazione", "txtRegione", "txtZona",
                                 "txtCantina", "txtAnnata", "txtInvecchiamento", "txtMaturazione", "txtColore",
                                 "txtProfumo", "txtGusto", "txtRetrogusto", "txtGrado", "txtAcidita",
                                 "txtTemperatura", "txtFornitore", "txtTel", "txtPrezzo", "txtConservazione",
                                 "txtNote"})
            report->find<TMemoView>(QString::fromLatin1(name))->setText(QStringLiteral("Barolo Riserva Cannubi 2016"));
        report->prepareReport();
        writePdf(*report->prepared(), pdf);
    });

    const bool ok = bench::report("wine sheet, 24 MP photo, to PDF", sheetMs, decodeMs, kBudget);
    std::printf("%-44s %10.1f KB  (photo JPEG %.1f KB)\n", "PDF size", QFileInfo(pdf).size() / 1024.0,
                QFileInfo(jpeg).size() / 1024.0);
    if (keepAt >= 0 && keepAt + 1 < args.size()) {
        QFile::remove(args[keepAt + 1]);
        QFile::copy(pdf, args[keepAt + 1]);
    }
    return ok ? 0 : 1;
}
