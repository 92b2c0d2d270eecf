// Real output of the engine: PDF files read back with poppler, page images,
// the preview window and the print path through the platform seam.

#include "ListReport.h"
#include "PreparedReport.h"
#include "ReportError.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "ReportTestSupport.h"
#include "TestFiles.h"
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

Q_DECLARE_METATYPE(vinarca::PrintMode)

namespace {

const QColor kRoyalBlue(0x41, 0x69, 0xE1);

// The engine's test layout with its texts filled and a photo.
std::unique_ptr<TReport> filledDocument(const QImage& photo)
{
    auto report = engineLayout();
    report->find<TPictureView>(QStringLiteral("imgPhoto"))->setPicture(photo);
    report->find<TMemoView>(QStringLiteral("txtTitle"))->setText(QStringLiteral("Barolo Cannubi"));
    report->find<TMemoView>(QStringLiteral("txtValue"))->setText(QStringLiteral("Cantina Rossi"));
    report->prepareReport(QDate(2024, 3, 5));
    return report;
}

std::unique_ptr<TReport> wineList(int lines)
{
    auto report = prepareListReport(QStringLiteral("Riepilogo vini in catalogo"), numberedLines(lines));
    report->prepareReport(QDate(2024, 3, 5));
    return report;
}

// A view whose drawing fails: ahead of drawing (as a picture that cannot be
// scaled does) or half-way through the page.
class FailingView final : public TView
{
public:
    enum class When { AheadOfDrawing, WhileDrawing };
    FailingView(When when) : TView(QStringLiteral("failing")), m_when(when) { geometry = QRectF(50, 300, 200, 50); }
    std::unique_ptr<TView> clone() const override { return std::make_unique<FailingView>(m_when); }
    void prepareDrawing(double, bool) const override
    {
        if (m_when == When::AheadOfDrawing)
            throw ReportError("not enough memory to scale the picture");
    }

protected:
    void drawContent(QPainter&) const override
    {
        if (m_when == When::WhileDrawing)
            throw ReportError("drawing failed");
    }

private:
    When m_when;
};

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
    void pageThatCannotBeDrawnIsLeftOut_data();
    void pageThatCannotBeDrawnIsLeftOut();
    void previewCurrentPageFollowsTheView();
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
    void printModesServeEveryDocument_data();
    void printModesServeEveryDocument();
    void previewOfALongListStaysBounded();
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
    QTest::newRow("header, left") << "HEADER" << QRectF(11, 10.5, 188, 4) << false;
    QTest::newRow("title, centred on the page") << "Barolo" << QRectF(12, 16.2, 186, 6) << true;
    QTest::newRow("framed value") << "Cantina" << QRectF(12, 141, 91, 4) << false;
    QTest::newRow("date, evaluated") << "05/03/2024" << QRectF(12, 150, 91, 4) << false;
}

void TestReportOutput::pdfTextStandsInItsBoxes()
{
    QFETCH(QString, word);
    QFETCH(QRectF, boxMm);
    QFETCH(bool, centred);
    auto report = filledDocument(solid({400, 300}, Qt::red));
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
    auto report = filledDocument(solid({4000, 1000}, Qt::red));
    const QString pdf = m_dir.filePath(QStringLiteral("pixels.pdf"));
    writePdf(*report->prepared(), pdf);
    const QImage page = pdfPageImage(pdf, 0, 100);
    QVERIFY(qAbs(page.width() - 827) <= 1 && qAbs(page.height() - 1169) <= 1);
    QVERIFY(near(pixelAtMm(page, 100, 15, 21), kRoyalBlue));         // title bar, left of the name
    QVERIFY(near(pixelAtMm(page, 100, 105, 79), Qt::red));            // photo centre
    QVERIFY(near(pixelAtMm(page, 100, 12, 60), Qt::red));             // photo reaches the box's left edge
    QVERIFY(near(pixelAtMm(page, 100, 105, 40), Qt::white));          // above the photo: blank
    QVERIFY(near(pixelAtMm(page, 100, 105, 120), Qt::white));         // below the photo: blank
    QVERIFY(near(pixelAtMm(page, 100, 60, 137), kRoyalBlue));         // caption bar
    QVERIFY(near(pixelAtMm(page, 100, 105, 137), Qt::white));         // beside it
    QVERIFY(near(pixelAtMm(page, 100, 150, 277), kRoyalBlue));        // foot bar
    // Same page drawn straight to an image.
    const QImage direct = renderPageImage(*report->prepared(), 0, 100);
    QVERIFY(near(pixelAtMm(direct, 100, 105, 79), Qt::red));
    QVERIFY(near(pixelAtMm(direct, 100, 15, 21), kRoyalBlue));
}

void TestReportOutput::overlongTextIsCutAtTheBoxEdge()
{
    auto report = engineLayout();
    report->find<TMemoView>(QStringLiteral("txtValue"))->setText(QStringLiteral("W").repeated(300));
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
    QCOMPARE(inkBetween(107, 120), 0);     // nor anywhere to its right
    // One line only: nothing under the value line inside the box.
    int below = 0;
    for (double x = 12; x < 100; x += 0.2)
        if (pixelAtMm(page, 200, x, 145.6).lightness() < 128)
            ++below;
    QCOMPARE(below, 0);
}

void TestReportOutput::emptyPhotoLeavesTheAreaBlank()
{
    auto report = filledDocument(QImage());
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
    auto report = filledDocument(photo);
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
    auto report = wineList(100);
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
    // As on a list ten times as long: the footer keeps its distance.
    auto longer = wineList(1000);
    const QString longPdf = m_dir.filePath(QStringLiteral("list1000.pdf"));
    writePdf(*longer->prepared(), longPdf);
    const int last = pdfPageCount(longPdf) - 1;
    double line1000 = 0, longDate = 0;
    for (const PdfWord& w : pdfWords(longPdf)) {
        if (w.page == last && w.text == QLatin1String("1000"))
            line1000 = w.mm.bottom();
        if (w.page == last && w.text == QLatin1String("05/03/2024"))
            longDate = w.mm.top();
    }
    QVERIFY(line1000 > 0 && longDate > 0);
    QVERIFY2(qAbs((longDate - line1000) - (date - line100)) < 0.1,
             qPrintable(QStringLiteral("%1 / %2").arg(longDate - line1000).arg(date - line100)));
}

void TestReportOutput::unwritablePdfPathFails()
{
    auto report = filledDocument(solid({40, 30}, Qt::red));
    const QString path = m_dir.filePath(QStringLiteral("no-such-folder/sheet.pdf"));
    QVERIFY_THROWS_EXCEPTION(ReportError, writePdf(*report->prepared(), path));
    QVERIFY(!QFileInfo::exists(path));
}

void TestReportOutput::previewStartsAtFullSizeWithTheLayoutsButtons()
{
    auto sheet = filledDocument(solid({40, 30}, Qt::red));
    ReportPreview preview(sheet->prepared());
    QCOMPARE(preview.windowTitle(), QStringLiteral("Preview"));
    QCOMPARE(preview.zoom(), 1.0);
    for (const char* name : {"actPrint", "actWholePage", "actPageWidth", "actZoom100", "actTwoPages", "actZoomIn",
                             "actZoomOut", "actFullScreen", "actClose"})
        QVERIFY2(preview.action(QString::fromLatin1(name)), name);
    QCOMPARE(preview.action(QStringLiteral("actZoom100"))->text(), QStringLiteral("100%"));
    QCOMPARE(preview.action(QStringLiteral("actWholePage"))->text(), QStringLiteral("Whole Page"));

    // A layout that allows only closing shows only that button.
    auto closeOnly = filledDocument(solid({40, 30}, Qt::red));
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
    auto report = filledDocument(solid({1600, 1200}, QColor(0x80, 0x20, 0x20)));
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
    QTest::addColumn<int>("range");        // QPrinter::PrintRange
    QTest::addColumn<QString>("pages");    // for a page range
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QStringList>("order"); // a line number each printed sheet shows, in file order; empty: no file
    // The 200-line list has four pages, opening with lines 001, 055, 111 and 167.
    const int all = QPrinter::AllPages, range = QPrinter::PageRange, current = QPrinter::CurrentPage;
    QTest::newRow("cancel prints nothing") << false << 1 << all << QString() << false << QStringList();
    QTest::newRow("all pages once") << true << 1 << all << QString() << false << QStringList{"001", "055", "111", "167"};
    QTest::newRow("three copies of all pages, collated")
        << true << 3 << all << QString() << false
        << QStringList{"001", "055", "111", "167", "001", "055", "111", "167", "001", "055", "111", "167"};
    QTest::newRow("pages 2-3") << true << 1 << range << QStringLiteral("2-3") << false << QStringList{"055", "111"};
    QTest::newRow("page 4, two copies") << true << 2 << range << QStringLiteral("4") << false << QStringList{"167", "167"};
    QTest::newRow("reverse: last page first") << true << 1 << all << QString() << true
                                              << QStringList{"167", "111", "055", "001"};
    QTest::newRow("pages 1,3-4 reversed, two copies")
        << true << 2 << range << QStringLiteral("1,3-4") << true
        << QStringList{"167", "111", "001", "167", "111", "001"};
    // Printed from the preview while it shows the third page.
    QTest::newRow("current page") << true << 1 << current << QString() << false << QStringList{"111"};
    QTest::newRow("current page reversed is that page") << true << 1 << current << QString() << true
                                                         << QStringList{"111"};
}

void TestReportOutput::printDialogChoices()
{
    QFETCH(bool, confirm);
    QFETCH(int, copies);
    QFETCH(int, range);
    QFETCH(QString, pages);
    QFETCH(bool, reverse);
    QFETCH(QStringList, order);
    TestWorld world;
    auto report = wineList(200);
    const QString pdf = m_dir.filePath(QStringLiteral("choices-%1.pdf").arg(QTest::currentDataTag()));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        if (pageCount != 4)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        printer.setCollateCopies(true);
        printer.setPrintRange(QPrinter::PrintRange(range));
        if (!pages.isEmpty())
            printer.setPageRanges(QPageRanges::fromString(pages));
        printer.setPageOrder(reverse ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
        return confirm;
    };
    if (range == QPrinter::CurrentPage) {
        // The preview's print button, with the third page in view.
        ReportPreview preview(report->prepared());
        preview.resize(1000, 800);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.showPage(2);
        QCOMPARE(preview.currentPage(), 2);
        preview.action(QStringLiteral("actPrint"))->trigger();
        QVERIFY(world.platform().messages.isEmpty());
    } else {
        QCOMPARE(printReport(nullptr, *report), confirm);
    }
    QCOMPARE(world.platform().printDialogs, 1);
    if (order.isEmpty()) {
        QVERIFY(!QFileInfo::exists(pdf));
        return;
    }
    QCOMPARE(pdfPageCount(pdf), int(order.size()));
    const QList<PdfWord> words = pdfWords(pdf);
    for (int sheet = 0; sheet < order.size(); ++sheet)
        QVERIFY2(pdfTexts(words, sheet).contains(order[sheet]), qPrintable(QStringLiteral("sheet %1").arg(sheet + 1)));
}

void TestReportOutput::printModesServeEveryDocument_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<PrintMode>("mode");
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::addColumn<QString>("word"); // found on the first sheet, where it stands alone scaled by `scale`
    QTest::addColumn<QSizeF>("sheetMm");
    QTest::addColumn<int>("sheets");
    QTest::addColumn<QPointF>("originMm");
    QTest::addColumn<double>("scale");
    const double a4ToA5 = 148.0 / 210.0;
    QTest::newRow("list, join: full landscape pages stay one a sheet")
        << "list" << PrintMode::JoinSmallPages << QPageSize::A4 << "001" << QSizeF(297, 210) << 4 << QPointF() << 1.0;
    QTest::newRow("list, scale to A5: landscape A5, centred")
        << "list" << PrintMode::Scale << QPageSize::A5 << "001" << QSizeF(210, 148) << 4
        << QPointF((210 - 297 * a4ToA5) / 2, 0) << a4ToA5;
    QTest::newRow("sheet, print on A5: shrunk into its corner")
        << "sheet" << PrintMode::PrintOnSheet << QPageSize::A5 << "Cantina" << QSizeF(148, 210) << 1 << QPointF()
        << a4ToA5;
    QTest::newRow("sheet, split on A5: four tiles, the first at the corner")
        << "sheet" << PrintMode::SplitBigPages << QPageSize::A5 << "Cantina" << QSizeF(148, 210) << 4 << QPointF()
        << 1.0;
}

void TestReportOutput::printModesServeEveryDocument()
{
    QFETCH(QString, document);
    QFETCH(PrintMode, mode);
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(QString, word);
    QFETCH(QSizeF, sheetMm);
    QFETCH(int, sheets);
    QFETCH(QPointF, originMm);
    QFETCH(double, scale);
    TestWorld world;
    auto report = document == QLatin1String("list") ? wineList(200) : filledDocument(solid({400, 300}, Qt::red));
    const QString alone = m_dir.filePath(QStringLiteral("alone-%1.pdf").arg(document));
    writePdf(*report->prepared(), alone);
    const QList<PdfWord> aloneWords = pdfWords(alone);
    const auto first = [&](const QList<PdfWord>& words) -> const PdfWord* {
        for (const PdfWord& w : words)
            if (w.page == 0 && w.text == word)
                return &w;
        return nullptr;
    };
    QVERIFY(first(aloneWords));

    const QString pdf = m_dir.filePath(QStringLiteral("mode-%1.pdf").arg(QTest::currentDataTag()));
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(paper));
        return true;
    };
    world.platform().printChoices = {mode, QPageSize(paper), {}, {}};
    QVERIFY(printReport(nullptr, *report));
    const QList<QSizeF> sizes = pdfPageSizesMm(pdf);
    QCOMPARE(sizes.size(), sheets);
    for (const QSizeF& size : sizes)
        QVERIFY2(std::abs(size.width() - sheetMm.width()) < 0.5 && std::abs(size.height() - sheetMm.height()) < 0.5,
                 qPrintable(QStringLiteral("%1 x %2 mm").arg(size.width()).arg(size.height())));
    const PdfWord* printed = first(pdfWords(pdf));
    QVERIFY(printed);
    const QPointF expected = originMm + first(aloneWords)->mm.topLeft() * scale;
    QVERIFY2((printed->mm.topLeft() - expected).manhattanLength() < 0.6,
             qPrintable(QStringLiteral("%1 at %2, %3 mm").arg(word).arg(printed->mm.x()).arg(printed->mm.y())));
}

void TestReportOutput::pageThatCannotBeDrawnIsLeftOut_data()
{
    QTest::addColumn<int>("when"); // FailingView::When
    QTest::addColumn<int>("failingPage");
    const int ahead = int(FailingView::When::AheadOfDrawing), midway = int(FailingView::When::WhileDrawing);
    QTest::newRow("first page cannot be drawn: no job at all") << ahead << 0;
    QTest::newRow("third page cannot be drawn: the job ends after page 2") << ahead << 2;
    QTest::newRow("drawing fails half-way through page 2") << midway << 1;
}

// A job that ends early never becomes the PDF file: the file the user had
// under that name stays as it was, and no temporary is left beside it.
void TestReportOutput::pageThatCannotBeDrawnIsLeftOut()
{
    QFETCH(int, when);
    QFETCH(int, failingPage);
    TestWorld world;
    auto report = wineList(200);
    // The prepared pages are shared and read-only to the output; the test
    // plants its failing view in a copy of their structure.
    auto pages = std::make_shared<PreparedReport>();
    pages->reportName = report->prepared()->reportName;
    for (const PreparedPage& page : report->prepared()->pages) {
        PreparedPage& copy = pages->pages.emplace_back();
        copy.paperMm = page.paperMm;
        copy.orientation = page.orientation;
        for (const PlacedView& placed : page.views)
            copy.views.push_back({placed.view->clone(), placed.clip});
    }
    pages->pages[failingPage].views.push_back({std::make_unique<FailingView>(FailingView::When(when)), {}});

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("Listino.pdf"));
    QVERIFY(testfiles::write(pdf, "%PDF-1.4 earlier document"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    QVERIFY_THROWS_EXCEPTION(ReportError, printReport(nullptr, *pages));
    QCOMPARE(testfiles::read(pdf), QByteArray("%PDF-1.4 earlier document"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Listino.pdf"});
}

void TestReportOutput::previewCurrentPageFollowsTheView()
{
    auto report = wineList(200);
    ReportPreview preview(report->prepared());
    preview.resize(1000, 800);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(preview.currentPage(), 0);
    for (int page : {3, 1, 0, 2}) {
        preview.showPage(page);
        QCOMPARE(preview.currentPage(), page);
    }
}

// Scrolled through a long list at a large zoom, the preview keeps the page
// pictures within its bound, and every page keeps its place below the last.
void TestReportOutput::previewOfALongListStaysBounded()
{
    auto report = wineList(2000);
    ReportPreview preview(report->prepared());
    preview.resize(1000, 800);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    // At three times, a page's picture takes some 30 MB: a handful pass the bound.
    preview.setZoom(3.0);
    const int pages = preview.report().pageCount();
    QVERIFY(pages >= 10);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            QVERIFY(preview.pageRect(page).top() > preview.pageRect(page - 1).bottom());
        preview.showPage(page);
        QCoreApplication::processEvents();
    }
    QVERIFY(preview.cachedPictureBytes() > 0);
    QVERIFY2(preview.cachedPictureBytes() <= qint64(128) << 20, qPrintable(QString::number(preview.cachedPictureBytes())));
    QCOMPARE(preview.currentPage(), pages - 1);
}

void TestReportOutput::printerThatIsGoneFails()
{
    TestWorld world;
    auto report = filledDocument(solid({40, 30}, Qt::red));
    // With no spooler queue at all, a printer chosen in the dialog that is
    // gone by the time the job starts fails. (Where queues exist, Qt hands an
    // unknown name to the default queue, so the case cannot be staged there.)
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        world.platform().onPrintDialog = [](QPrinter& printer, int) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(QStringLiteral("Vinarca-printer-removed-meanwhile"));
            return true;
        };
        QVERIFY_THROWS_EXCEPTION(ReportError, printReport(nullptr, *report));
    }

    // A file that cannot be created is a failure too, never a success.
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("missing-folder/out.pdf")));
        return true;
    };
    QVERIFY_THROWS_EXCEPTION(ReportError, printReport(nullptr, *report));
}

QTEST_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"
