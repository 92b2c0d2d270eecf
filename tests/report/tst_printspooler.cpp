// The wine sheet printed through a real print spooler: cups with a cups-pdf
// queue (scripts/print-spooler.sh), whose output PDF is read back. Skipped
// when VINARCA_PRINT_QUEUE and VINARCA_PRINT_OUT do not name one.

#include "ReportTestSupport.h"
#include "ScriptedPlatform.h"
#include "StampaVini.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>

using namespace vinarca;
using namespace reporttest;

class TestPrintSpooler : public QObject
{
    Q_OBJECT

private slots:
    void sheetPrintsThroughTheSpooler();
};

namespace {

QSet<QString> pdfsIn(const QDir& dir)
{
    const QStringList names = dir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return {names.begin(), names.end()};
}

} // namespace

void TestPrintSpooler::sheetPrintsThroughTheSpooler()
{
    const QString queue = qEnvironmentVariable("VINARCA_PRINT_QUEUE");
    const QString outFolder = qEnvironmentVariable("VINARCA_PRINT_OUT");
    if (queue.isEmpty() || outFolder.isEmpty())
        QSKIP("no print spooler: set VINARCA_PRINT_QUEUE and VINARCA_PRINT_OUT (scripts/print-spooler.sh start)");
    if (QPrinterInfo::printerInfo(queue).isNull())
        QSKIP(qPrintable(QStringLiteral("the print queue %1 is not known to the spooler").arg(queue)));
    if (!haveTool("pdfinfo") || !haveTool("pdftoppm"))
        QSKIP("poppler-utils are needed to read the spooled PDF");
    const QDir out(outFolder);
    const QSet<QString> before = pdfsIn(out);

    TestWorld world;
    WineSheetInput input;
    for (const SheetField& entry : kSheetFields)
        input.fields.insert(QString::fromLatin1(entry.field), QString());
    input.fields[QStringLiteral("Nome")] = QStringLiteral("Barolo Cannubi");
    input.fields[QStringLiteral("Produttore")] = QStringLiteral("Cantina Rossi");
    // A wide red photo: 188 x 47 mm, centred in the 106 mm box (26..132 mm on the paper).
    input.photo = QImage(4000, 1000, QImage::Format_RGB32);
    input.photo.fill(Qt::red);
    TfrmStampaVini window(input);
    window.show();
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(queue);
        printer.setCopyCount(2);
        return true;
    };
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));
    QCOMPARE(world.platform().printDialogs, 1);

    // The spooler converts and writes the job in the background.
    QString spooled;
    QDeadlineTimer deadline(120000);
    qint64 lastSize = -1;
    while (!deadline.hasExpired()) {
        const QSet<QString> fresh = pdfsIn(out) - before;
        if (!fresh.isEmpty()) {
            const QString path = out.filePath(*fresh.begin());
            const qint64 size = QFileInfo(path).size();
            if (size > 0 && size == lastSize && pdfPageCount(path) > 0) {
                spooled = path;
                break;
            }
            lastSize = size;
        }
        QTest::qWait(500);
    }
    QVERIFY2(!spooled.isEmpty(), "the spooler wrote no PDF within two minutes");

    QCOMPARE(pdfPageCount(spooled), 2); // two copies of the one-page sheet
    const QSizeF size = pdfPageSizeMm(spooled);
    QVERIFY2(qAbs(size.width() - 210) < 1 && qAbs(size.height() - 297) < 1, "A4 portrait");
    const QColor royalBlue(0x41, 0x69, 0xE1);
    for (int page = 0; page < 2; ++page) {
        const QImage image = pdfPageImage(spooled, page, 100);
        QVERIFY(!image.isNull());
        QVERIFY(near(pixelAtMm(image, 100, 15, 21), royalBlue));   // title bar
        QVERIFY(near(pixelAtMm(image, 100, 195, 21), royalBlue));
        QVERIFY(near(pixelAtMm(image, 100, 15, 40), Qt::white));   // above the photo
        QVERIFY(near(pixelAtMm(image, 100, 105, 79), Qt::red));    // photo centre
        QVERIFY(near(pixelAtMm(image, 100, 12.5, 79), Qt::red));   // photo's left end
        QVERIFY(near(pixelAtMm(image, 100, 105, 110), Qt::white)); // below the photo
        QVERIFY(near(pixelAtMm(image, 100, 60, 137), royalBlue));  // first caption bar
    }
}

QTEST_MAIN(TestPrintSpooler)
#include "tst_printspooler.moc"
