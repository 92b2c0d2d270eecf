// The wine sheet printed through a real print spooler: cups with a cups-pdf
// queue (scripts/print-spooler.sh), whose output PDF is read back. Skipped
// when VINARCA_PRINT_QUEUE and VINARCA_PRINT_OUT do not name one.

#include "PrintSettings.h"
#include "ReportTestSupport.h"
#include "ScriptedPlatform.h"
#include "WineWindows.h"

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
    void printerCalibrationMovesTheSheet();
};

namespace {
WineSheetInput barolo()
{
    WineSheetInput input;
    for (const SheetField& entry : kSheetFields)
        input.fields.insert(QString::fromLatin1(entry.field), QString());
    input.fields[QStringLiteral("Nome")] = QStringLiteral("Barolo Cannubi");
    return input;
}
} // namespace


void TestPrintSpooler::sheetPrintsThroughTheSpooler()
{
    const Spooler spooler;
    if (const QString why = spooler.unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));

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
    spooler.answerPrintDialogs(world.platform(), 2);
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));
    QCOMPARE(world.platform().printDialogs, 1);

    const QString spooled = spooler.awaitJob();
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

void TestPrintSpooler::printerCalibrationMovesTheSheet()
{
    const Spooler spooler;
    if (const QString why = spooler.unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));

    // The queue's calibration, as the calibration dialog keeps it: 3 mm to
    // the right, 2 mm down.
    TestWorld world;
    Calibrations calibrations;
    calibrations.byPrinter.insert(spooler.queue, {3.0, 2.0, 1.0, 1.0});
    QVERIFY(saveCalibrations(calibrations));
    TfrmStampaVini window(barolo());
    window.show();
    spooler.answerPrintDialogs(world.platform());
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));

    const QString spooled = spooler.awaitJob();
    QVERIFY2(!spooled.isEmpty(), "the spooler wrote no PDF within two minutes");
    const QImage image = pdfPageImage(spooled, 0, 100);
    QVERIFY(!image.isNull());
    // The title bar, 11..199 x 15..23 mm as prepared, now 14..202 x 17..25.
    const QColor royalBlue(0x41, 0x69, 0xE1);
    QVERIFY(near(pixelAtMm(image, 100, 12.5, 16), Qt::white));
    QVERIFY(near(pixelAtMm(image, 100, 15, 24), royalBlue));
    QVERIFY(near(pixelAtMm(image, 100, 200.5, 24), royalBlue));
    QVERIFY(near(pixelAtMm(image, 100, 203, 21), Qt::white));
}

QTEST_MAIN(TestPrintSpooler)
#include "tst_printspooler.moc"
