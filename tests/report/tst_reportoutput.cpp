// Real output of the engine: PDF files read back with poppler, page images,
// the preview window and the print path through the platform seam.

#include "PreparedReport.h"
#include "ReportError.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "ReportTestSupport.h"
#include "ScriptedPlatform.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QTest>

using namespace vinarca;
using namespace reporttest;

namespace {

const QColor kRoyalBlue(0x41, 0x69, 0xE1);

// The sheet with a few fields filled and a wide red photo.
std::unique_ptr<TReport> filledSheet(const QImage& photo)
{
    auto report = sheetLayout();
    report->find<TPictureView>(QStringLiteral("imgLogo"))->setPicture(photo);
    report->find<TMemoView>(QStringLiteral("txtVino"))->setText(QStringLiteral("Barolo Cannubi"));
    report->find<TMemoView>(QStringLiteral("txtProduttore"))->setText(QStringLiteral("Cantina Rossi"));
    report->find<TMemoView>(QStringLiteral("txtPrezzo"))->setText(QStringLiteral("42,50"));
    report->find<TMemoView>(QStringLiteral("txtNote"))->setText(QStringLiteral("Servire [DATE] [fresco]"));
    report->prepareReport(QDate(2024, 3, 5));
    return report;
}

QImage solid(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestReportOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfTextStandsInItsBoxes_data();
    void pdfTextStandsInItsBoxes();
    void pdfPixelsShowTitleBarAndPhoto();
    void overlongTextIsCutAtTheBoxEdge();
    void emptyPhotoLeavesTheAreaBlank();
    void bigPhotoIsSentAtPrintResolution();
    void listPdfCarriesEachLineOnItsPage();
    void unwritablePdfPathFails();
    void previewStartsAtFullSizeWithTheLayoutsButtons();
    void previewAndPrintShowTheSamePage();
    void printDialogChoices_data();
    void printDialogChoices();
    void printerThatIsGoneFails();

private:
    QTemporaryDir m_dir;
};

void TestReportOutput::initTestCase()
{
    if (!haveTool("pdftotext") || !haveTool("pdftoppm") || !haveTool("pdfinfo"))
        QSKIP("poppler-utils (pdftotext, pdftoppm, pdfinfo) are needed to read PDF output back");
}

void TestReportOutput::pdfTextStandsInItsBoxes_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QRectF>("boxMm"); // on the paper
    QTest::addColumn<bool>("centred");
    QTest::newRow("header, left") << "SCHEDA" << QRectF(11, 10.5, 188, 4) << false;
    QTest::newRow("wine name, centred on the page") << "Barolo" << QRectF(12, 16.2, 186, 6) << true;
    QTest::newRow("caption of row 125") << "PRODUTTORE" << QRectF(12, 135.6, 91, 3.6) << false;
    QTest::newRow("value of row 125") << "Cantina" << QRectF(12, 141, 91, 4) << false;
    QTest::newRow("right column caption") << "DESIGNAZIONE" << QRectF(107, 135.6, 91, 3.6) << false;
    QTest::newRow("price, row 251 right") << "42,50" << QRectF(107, 267.4, 91, 4) << false;
    QTest::newRow("notes caption") << "NOTE" << QRectF(12, 275.6, 185.8, 3.6) << false;
}

void TestReportOutput::pdfTextStandsInItsBoxes()
{
    QFETCH(QString, word);
    QFETCH(QRectF, boxMm);
    QFETCH(bool, centred);
    auto report = filledSheet(solid({400, 300}, Qt::red));
    const QString pdf = m_dir.filePath(QStringLiteral("sheet.pdf"));
    writePdf(*report->prepared(), pdf);
    QCOMPARE(pdfPageCount(pdf), 1);
    const QSizeF size = pdfPageSizeMm(pdf);
    QVERIFY(qAbs(size.width() - 210) < 0.5 && qAbs(size.height() - 297) < 0.5);

    const QList<PdfWord> words = pdfWords(pdf);
    const auto found = std::find_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == word; });
    QVERIFY2(found != words.end(), qPrintable(pdfTexts(words, 0).join(QLatin1Char(' '))));
    const QRectF& at = found->mm;
    // Text starts 2 units (0.53 mm) inside its box and is centred vertically in it.
    if (!centred)
        QVERIFY2(qAbs(at.left() - (boxMm.left() + Length::units(2).mm())) < 0.4, qPrintable(QString::number(at.left())));
    QVERIFY2(qAbs(at.center().y() - boxMm.center().y()) < 0.8, qPrintable(QString::number(at.center().y())));
    if (centred) {
        // "Barolo Cannubi" as a whole is centred on the paper's middle (105 mm).
        const auto next = std::next(found);
        QVERIFY(next != words.end() && next->text == QLatin1String("Cannubi"));
        QVERIFY(qAbs((at.left() + next->mm.right()) / 2 - 105) < 0.8);
    }
}

void TestReportOutput::pdfPixelsShowTitleBarAndPhoto()
{
    // A wide photo: 188 mm wide, so 47 mm tall, centred in the 106 mm box (26..132 mm on paper).
    auto report = filledSheet(solid({4000, 1000}, Qt::red));
    const QString pdf = m_dir.filePath(QStringLiteral("pixels.pdf"));
    writePdf(*report->prepared(), pdf);
    const QImage page = pdfPageImage(pdf, 0, 100);
    QVERIFY(qAbs(page.width() - 827) <= 1 && qAbs(page.height() - 1169) <= 1);
    QVERIFY(near(pixelAtMm(page, 100, 15, 21), kRoyalBlue));         // title bar, left of the name
    QVERIFY(near(pixelAtMm(page, 100, 105, 79), Qt::red));            // photo centre
    QVERIFY(near(pixelAtMm(page, 100, 12, 60), Qt::red));             // photo reaches the box's left edge
    QVERIFY(near(pixelAtMm(page, 100, 105, 40), Qt::white));          // above the photo: blank
    QVERIFY(near(pixelAtMm(page, 100, 105, 120), Qt::white));         // below the photo: blank
    QVERIFY(near(pixelAtMm(page, 100, 60, 137), kRoyalBlue));         // caption bar of row 125
    QVERIFY(near(pixelAtMm(page, 100, 105, 137), Qt::white));         // gap between the columns
    QVERIFY(near(pixelAtMm(page, 100, 150, 277), kRoyalBlue));        // notes bar
    // Same page drawn straight to an image.
    const QImage direct = renderPageImage(*report->prepared(), 0, 100);
    QVERIFY(near(pixelAtMm(direct, 100, 105, 79), Qt::red));
    QVERIFY(near(pixelAtMm(direct, 100, 15, 21), kRoyalBlue));
}

void TestReportOutput::overlongTextIsCutAtTheBoxEdge()
{
    auto report = sheetLayout();
    report->find<TMemoView>(QStringLiteral("txtProduttore"))->setText(QStringLiteral("W").repeated(300));
    report->find<TMemoView>(QStringLiteral("txtDesignazione"))->setText(QString());
    report->prepareReport();
    const QString pdf = m_dir.filePath(QStringLiteral("long.pdf"));
    writePdf(*report->prepared(), pdf);
    const QImage page = pdfPageImage(pdf, 0, 200);
    // The value box's frame spans 11..104 mm; the text box inside it 12..103 mm, its line 141..145 mm.
    auto inkBetween = [&](double x0, double x1) {
        int ink = 0;
        for (double x = x0; x < x1; x += 0.1)
            for (double y = 141.5; y < 144.5; y += 0.1)
                if (pixelAtMm(page, 200, x, y).lightness() < 128)
                    ++ink;
        return ink;
    };
    QVERIFY(inkBetween(95, 102.8) > 100); // text runs up to the edge
    QCOMPARE(inkBetween(103.3, 103.8), 0); // and nothing beyond it: not before the frame line,
    QCOMPARE(inkBetween(104.3, 105.8), 0); // nor past it in the gap between the columns
    QCOMPARE(inkBetween(107, 120), 0);     // nor in the right column's empty value
    // One line only: nothing under the value line inside the box.
    int below = 0;
    for (double x = 12; x < 100; x += 0.2)
        if (pixelAtMm(page, 200, x, 145.6).lightness() < 128)
            ++below;
    QCOMPARE(below, 0);
}

void TestReportOutput::emptyPhotoLeavesTheAreaBlank()
{
    auto report = filledSheet(QImage());
    const QImage page = renderPageImage(*report->prepared(), 0, 50);
    for (double x = 12; x < 198; x += 2)
        for (double y = 27; y < 131; y += 2)
            QVERIFY(near(pixelAtMm(page, 50, x, y), Qt::white, 2));
}

void TestReportOutput::bigPhotoIsSentAtPrintResolution()
{
    if (!haveTool("pdfimages"))
        QSKIP("pdfimages is needed to list the PDF's pictures");
    // A 24-megapixel photo with detail, so compression cannot hide its size.
    QImage photo(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb((x * 7) & 255, (y * 3) & 255, ((x ^ y) * 5) & 255);
    }
    auto report = filledSheet(photo);
    const QString pdf = m_dir.filePath(QStringLiteral("big.pdf"));
    QElapsedTimer timer;
    timer.start();
    writePdf(*report->prepared(), pdf);
    qInfo("24-megapixel sheet written in %lld ms, %lld bytes", timer.elapsed(), QFileInfo(pdf).size());
    // 106 mm tall box at 300 dpi: 1252 dots; the 3:2 photo fills the height.
    const QString list = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    static const QRegularExpression row(QStringLiteral(R"(^\s*1\s+\d+\s+image\s+(\d+)\s+(\d+))"),
                                        QRegularExpression::MultilineOption);
    const auto m = row.match(list);
    QVERIFY2(m.hasMatch(), qPrintable(list));
    QVERIFY2(m.captured(1).toInt() <= 1879 && m.captured(2).toInt() <= 1253, qPrintable(list));
    QVERIFY(m.captured(2).toInt() >= 1200); // but not below print resolution either
    QVERIFY(QFileInfo(pdf).size() < 8 * 1024 * 1024);
}

void TestReportOutput::listPdfCarriesEachLineOnItsPage()
{
    auto report = listLayout();
    fillList(*report, 100);
    report->find<TMemoView>(QStringLiteral("txtTitolo"))->setText(QStringLiteral("Riepilogo vini in catalogo"));
    report->prepareReport(QDate(2024, 3, 5));
    const QString pdf = m_dir.filePath(QStringLiteral("list.pdf"));
    writePdf(*report->prepared(), pdf);
    QCOMPARE(pdfPageCount(pdf), 2);
    const QSizeF size = pdfPageSizeMm(pdf);
    QVERIFY2(qAbs(size.width() - 297) < 0.5 && qAbs(size.height() - 210) < 0.5, "landscape A4");

    const QList<PdfWord> words = pdfWords(pdf);
    const QStringList first = pdfTexts(words, 0), second = pdfTexts(words, 1);
    QVERIFY(first.contains(QLatin1String("catalogo")));
    QVERIFY(first.contains(QLatin1String("054")) && !first.contains(QLatin1String("055")));
    QVERIFY(second.contains(QLatin1String("055")) && second.contains(QLatin1String("100")));
    QVERIFY(!second.contains(QLatin1String("054")) && !second.contains(QLatin1String("catalogo")));
    QVERIFY(second.contains(QLatin1String("05/03/2024")) && !first.contains(QLatin1String("05/03/2024")));
    // Line 55 opens the second page at the top of its printable area.
    for (const PdfWord& w : words)
        if (w.page == 1 && w.text == QLatin1String("055"))
            QVERIFY2(w.mm.top() > 10 && w.mm.bottom() < 14, qPrintable(QString::number(w.mm.top())));
    // The footer's date follows the last line.
    double line100 = 0, date = 0;
    for (const PdfWord& w : words) {
        if (w.page == 1 && w.text == QLatin1String("100"))
            line100 = w.mm.bottom();
        if (w.page == 1 && w.text == QLatin1String("05/03/2024"))
            date = w.mm.top();
    }
    QVERIFY(date > line100 && date < line100 + 10);
}

void TestReportOutput::unwritablePdfPathFails()
{
    auto report = filledSheet(solid({40, 30}, Qt::red));
    const QString path = m_dir.filePath(QStringLiteral("no-such-folder/sheet.pdf"));
    QVERIFY_THROWS_EXCEPTION(ReportError, writePdf(*report->prepared(), path));
    QVERIFY(!QFileInfo::exists(path));
}

void TestReportOutput::previewStartsAtFullSizeWithTheLayoutsButtons()
{
    auto sheet = filledSheet(solid({40, 30}, Qt::red));
    ReportPreview preview(sheet->prepared());
    QCOMPARE(preview.windowTitle(), QStringLiteral("Preview"));
    QCOMPARE(preview.zoom(), 1.0);
    for (const char* name : {"actPrint", "actWholePage", "actPageWidth", "actZoom100", "actTwoPages", "actZoomIn",
                             "actZoomOut", "actFullScreen", "actClose"})
        QVERIFY2(preview.action(QString::fromLatin1(name)), name);
    QCOMPARE(preview.action(QStringLiteral("actZoom100"))->text(), QStringLiteral("100%"));
    QCOMPARE(preview.action(QStringLiteral("actWholePage"))->text(), QStringLiteral("Whole Page"));

    // A layout that allows only closing shows only that button.
    auto closeOnly = filledSheet(solid({40, 30}, Qt::red));
    closeOnly->previewOptions.buttons = PreviewButton::Close;
    closeOnly->prepareReport();
    ReportPreview limited(closeOnly->prepared());
    QVERIFY(limited.action(QStringLiteral("actClose")));
    QVERIFY(!limited.action(QStringLiteral("actPrint")));
    QVERIFY(!limited.action(QStringLiteral("actZoomIn")));

    preview.action(QStringLiteral("actZoomIn"))->trigger();
    QCOMPARE(preview.zoom(), 1.25);
    preview.action(QStringLiteral("actZoom100"))->trigger();
    QCOMPARE(preview.zoom(), 1.0);
}

void TestReportOutput::previewAndPrintShowTheSamePage()
{
    TestWorld world;
    auto report = filledSheet(solid({1600, 1200}, QColor(0x80, 0x20, 0x20)));
    const QImage expected = renderPageImage(*report->prepared(), 0, 96);

    // The preview at 100 % paints the very same pixels.
    ReportPreview preview(report->prepared());
    preview.resize(1000, 1300);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    auto* pages = preview.findChild<QScrollArea*>()->widget();
    const QImage shown = pages->grab(QRect(QPoint(12, 12), expected.size())).toImage();
    QCOMPARE(differingShare(shown, expected), 0.0);

    // Printing from the preview goes through the print dialog; here to a PDF file.
    const QString pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        if (pageCount != 1)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    preview.action(QStringLiteral("actPrint"))->trigger();
    QCOMPARE(world.platform().printDialogs, 1);
    QVERIFY(world.platform().messages.isEmpty());
    const QImage printed = pdfPageImage(pdf, 0, 96);
    QCOMPARE(printed.size(), expected.size());
    // Two rasterisers shade glyph edges differently; compared over 4-pixel
    // blocks, a misplaced or missing object still shows.
    auto blocks = [](const QImage& image) {
        return image.scaled(image.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const double share = differingShare(blocks(printed), blocks(expected));
    QVERIFY2(share < 0.003, qPrintable(QString::number(share)));
}

void TestReportOutput::printDialogChoices_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("range"); // empty: all pages
    QTest::addColumn<int>("sheets");    // pages in the file, -1: no file
    // The 200-line list has four pages.
    QTest::newRow("cancel prints nothing") << false << 1 << QString() << -1;
    QTest::newRow("all pages once") << true << 1 << QString() << 4;
    QTest::newRow("three copies of all pages") << true << 3 << QString() << 12;
    QTest::newRow("pages 2-3") << true << 1 << QStringLiteral("2-3") << 2;
    QTest::newRow("page 4, two copies") << true << 2 << QStringLiteral("4") << 2;
}

void TestReportOutput::printDialogChoices()
{
    QFETCH(bool, confirm);
    QFETCH(int, copies);
    QFETCH(QString, range);
    QFETCH(int, sheets);
    TestWorld world;
    auto report = listLayout();
    fillList(*report, 200);
    report->prepareReport();
    const QString pdf = m_dir.filePath(QStringLiteral("choices-%1.pdf").arg(QTest::currentDataTag()));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        if (pageCount != 4)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        if (!range.isEmpty()) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setPageRanges(QPageRanges::fromString(range));
        }
        return confirm;
    };
    QCOMPARE(report->print(nullptr), confirm);
    QCOMPARE(world.platform().printDialogs, 1);
    if (sheets < 0) {
        QVERIFY(!QFileInfo::exists(pdf));
        return;
    }
    QCOMPARE(pdfPageCount(pdf), sheets);
}

void TestReportOutput::printerThatIsGoneFails()
{
    TestWorld world;
    auto report = filledSheet(solid({40, 30}, Qt::red));
    // With no spooler queue at all, a printer chosen in the dialog that is
    // gone by the time the job starts fails. (Where queues exist, Qt hands an
    // unknown name to the default queue, so the case cannot be staged there.)
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        world.platform().onPrintDialog = [](QPrinter& printer, int) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(QStringLiteral("Vinarca-printer-removed-meanwhile"));
            return true;
        };
        QVERIFY_THROWS_EXCEPTION(ReportError, report->print(nullptr));
    }

    // A file that cannot be created is a failure too, never a success.
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("missing-folder/out.pdf")));
        return true;
    };
    QVERIFY_THROWS_EXCEPTION(ReportError, report->print(nullptr));
}

QTEST_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"
