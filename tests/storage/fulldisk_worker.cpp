// Runs one write of the program and answers by its exit code: 0 the write
// reported success, 1 it reported failure. The test that starts it limits the
// size of the files it may write, so the write meets a full disk.
//   fulldisk_worker store <program folder> <password>
//   fulldisk_worker photo <path> <side in pixels>
//   fulldisk_worker append|update <archive> <record size> <fill byte>
//   fulldisk_worker pdf <path> <lines>: a printed list to a PDF file
#include "ListReport.h"
#include "PasswordStore.h"
#include "Photo.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "RecordLayout.h"
#include "ReportError.h"
#include "ReportModel.h"
#include "ReportOutput.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QImage>
#include <QRandomGenerator>

using namespace vinarca;

namespace {
// Noise does not compress: the JPEG is about as large as the side asks.
QImage noise(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(side);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = random.generate() | 0xff000000u;
    }
    return image;
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString action = args[1];
    if (action == QLatin1String("store")) {
        setProgramFolderForTesting(args[2]);
        try {
            StorePassword(args[3]);
        } catch (const StoreWriteError&) {
            return 1;
        }
        return 0;
    }
    if (action == QLatin1String("pdf")) {
        QStringList lines;
        for (int i = 0; i < args[3].toInt(); ++i)
            lines << QStringLiteral("Vino %1 - Cantina di prova - Toscana").arg(i);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(args[2]);
        const auto report = prepareListReport(QStringLiteral("Vini"), lines);
        QList<int> pages;
        for (int i = 0; i < report->prepared()->pageCount(); ++i)
            pages << i;
        try {
            printPages(*report->prepared(), printer, pages, PrintChoices{});
        } catch (const OutputFileError&) {
            return 1;
        }
        return 0;
    }
    if (action == QLatin1String("photo"))
        return writePhotoFile(args[2], Photo{noise(args[3].toInt()), {}}) ? 0 : 1;
    if ((action == QLatin1String("append") || action == QLatin1String("update")) && args.size() == 5) {
        const int recordSize = args[3].toInt();
        const QByteArray record(recordSize, args[4].at(0).toLatin1());
        try {
            RecordArchive archive(args[2], RecordLayout{{"Data", recordSize - 1}}, RecordArchive::Access::Write);
            if (action == QLatin1String("append"))
                archive.append(record);
            else
                archive.writeAt(2, record);
        } catch (const ArchiveError&) {
            return 1;
        }
        return 0;
    }
    return 2;
}
