// The printed label: where its outline, bands, logo and lines land on the
// A4 sheet, in millimetres read back from PDFs, for both kinds; its print and
// preview windows, the copies of the print dialog, the failures, and the
// editor's buttons that open them.

#include "ReportError.h"
#include "../report/ReportTestSupport.h"
#include "LabelWindows.h"
#include "LabelCheckWindow.h"
#include "LabelDrawing.h"
#include "LabelFixture.h"
#include "LabelPrint.h"
#include "PreparedReport.h"
#include "ReportOutput.h"
#include "TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

using namespace vinarca;
using namespace reporttest;

Q_DECLARE_METATYPE(vinarca::DocumentAction)
Q_DECLARE_METATYPE(vinarca::PrintMode)

namespace {

constexpr double kMargin = 10; // the label's corner on the sheet
constexpr int kDpi = 200;

// One word per line, so each can be found on paper.
LabelPrintInput sampleInput()
{
    LabelPrintInput input;
    input.lines = {QStringLiteral(" CIMA "), QStringLiteral("Barolo"), QStringLiteral("Rosso"),
                   QStringLiteral("Sottotitolo\t"), QStringLiteral("Rigo01"), QStringLiteral("Rigo02"),
                   QStringLiteral("75cl"), QStringLiteral("13%"), QStringLiteral("Calce")};
    input.logo = QImage(400, 400, QImage::Format_RGB32); // square: narrower than either logo box
    input.logo.fill(Qt::red);
    return input;
}

// The layout box of a view, in millimetres on the sheet.
QRectF boxOnSheet(const TReport& report, const QString& name)
{
    const QRectF units = report.find<TView>(name)->geometry;
    return {Length::units(units.x()).mm() + kMargin, Length::units(units.y()).mm() + kMargin,
            Length::units(units.width()).mm(), Length::units(units.height()).mm()};
}

// Bounds in millimetres of the pixels for which `hit(colour, y in mm)` holds.
template <typename Hit> QRectF boundsMm(const QImage& page, Hit hit, int dpi = kDpi)
{
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (hit(page.pixelColor(x, y), y * 25.4 / dpi)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    const double mm = 25.4 / dpi;
    return right < 0 ? QRectF() : QRectF(left * mm, top * mm, (right - left + 1) * mm, (bottom - top + 1) * mm);
}

bool closeTo(const QRectF& a, const QRectF& b, double tolerance)
{
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance
        && std::abs(a.right() - b.right()) <= tolerance && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

QString describe(const QRectF& r)
{
    return QStringLiteral("(%1, %2) %3 x %4 mm").arg(r.x(), 0, 'f', 2).arg(r.y(), 0, 'f', 2).arg(r.width(), 0, 'f', 2)
        .arg(r.height(), 0, 'f', 2);
}

std::unique_ptr<DocumentWindow> makeWindow(const QString& kind, DocumentAction action, const LabelPrintInput& input)
{
    if (kind == QLatin1String("vertical")) {
        if (action == DocumentAction::Print)
            return std::make_unique<TfrmStampaVerticale>(input);
        return std::make_unique<TfrmAnteprimaVerticale>(input);
    }
    if (action == DocumentAction::Print)
        return std::make_unique<TfrmStampaOrizzontale>(input);
    return std::make_unique<TfrmAnteprimaOrizzontale>(input);
}

const PdfWord* wordOf(const QList<PdfWord>& words, const QString& text, int page = 0)
{
    for (const PdfWord& w : words)
        if (w.page == page && w.text == text)
            return &w;
    return nullptr;
}

// The colour at the middle of the logo box on the first sheet of `pdf`.
QColor logoCentreOnPaper(const LabelKind& kind, const QString& pdf)
{
    const QRectF logoBox = boxOnSheet(*loadLabelLayout(kind), QStringLiteral("imgLogo"));
    return pixelAtMm(pdfPageImage(pdf, 0, kDpi), kDpi, logoBox.center().x(), logoBox.center().y());
}

// The print dialog answered by printing to the PDF file `pdf`.
void printToPdf(ScriptedPlatform& platform, const QString& pdf)
{
    platform.onPrintDialog = [pdf](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
}

// The kind column with a row for each kind.
void kindRows()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

} // namespace

class TestLabelPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void labelHasItsSizeInTheSheetsCorner_data();
    void labelHasItsSizeInTheSheetsCorner();
    void linesStandInTheirBoxesOnPaper_data();
    void linesStandInTheirBoxesOnPaper();
    void tooWideLineStartsAtTheLeft_data();
    void tooWideLineStartsAtTheLeft();
    void emptyLabelPrintsItsFrameworkOnly();
    void copiesFromThePrintDialogGiveOneSheetEach_data();
    void copiesFromThePrintDialogGiveOneSheetEach();
    void copiesShareOneLogoInTheFile_data();
    void copiesShareOneLogoInTheFile();
    void printModesLayLabelsOnSheets_data();
    void printModesLayLabelsOnSheets();
    void failuresEndInTheWindowsWarning_data();
    void failuresEndInTheWindowsWarning();
    void editorPrintsWhatItShowsUnsaved_data();
    void editorPrintsWhatItShowsUnsaved();
    void logoDamagedOnDiskPrintsAsShown_data();
    void logoDamagedOnDiskPrintsAsShown();
    void copiesPrintThroughTheSpooler_data();
    void copiesPrintThroughTheSpooler();

private:
    QTemporaryDir m_dir;
    bool m_tools = false;
};

void TestLabelPrint::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_tools = haveTool("pdftotext") && haveTool("pdftoppm");
}

void TestLabelPrint::labelHasItsSizeInTheSheetsCorner_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("vertical") << "vertical" << QSizeF(95, 120);
    QTest::newRow("horizontal") << "horizontal" << QSizeF(110, 85);
}

void TestLabelPrint::labelHasItsSizeInTheSheetsCorner()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    QFETCH(QSizeF, size);
    auto report = loadLabelLayout(labelKindNamed(kind));
    fillLabel(*report, sampleInput());
    report->prepareReport();
    QCOMPARE(report->prepared()->pageCount(), 1);
    const QString pdf = m_dir.filePath(kind + QStringLiteral("-geometry.pdf"));
    writePdf(*report->prepared(), pdf);
    const QSizeF paper = pdfPageSizeMm(pdf);
    QVERIFY(std::abs(paper.width() - 210) < 0.5 && std::abs(paper.height() - 297) < 0.5);
    const QImage page = pdfPageImage(pdf, 0, kDpi);
    QVERIFY(!page.isNull());

    // Nothing prints outside the outline, which is the label's size at 10 mm from the edges.
    const QRectF inked = boundsMm(page, [](const QColor& c, double) { return !near(c, Qt::white, 60); });
    QVERIFY2(closeTo(inked, QRectF(QPointF(kMargin, kMargin), size), 0.3), qPrintable(describe(inked)));
    QVERIFY(near(pixelAtMm(page, kDpi, kMargin + 0.1, kMargin + size.height() / 2), Qt::black, 120));

    // The two royal-blue bands, one in each half of the label.
    const QColor royalBlue(0x41, 0x69, 0xE1);
    const double middle = kMargin + size.height() / 2;
    for (const char* band : {"shpTitolo", "Shape1"}) {
        const QRectF box = boxOnSheet(*report, QString::fromLatin1(band));
        const bool upper = box.center().y() < middle;
        const QRectF blue = boundsMm(page, [&](const QColor& c, double yMm) {
            return (yMm < middle) == upper && near(c, royalBlue, 30);
        });
        QVERIFY2(closeTo(blue, box, 0.3), qPrintable(QString::fromLatin1(band) + QLatin1Char(' ') + describe(blue)));
    }

    // The logo, scaled into its box with its proportions kept, centred.
    const QRectF logoBox = boxOnSheet(*report, QStringLiteral("imgLogo"));
    const QRectF logo = boundsMm(page, [](const QColor& c, double) { return near(c, Qt::red, 40); });
    QVERIFY2(closeTo(logo, fittedPicture(QSizeF(400, 400), logoBox), 0.3), qPrintable(describe(logo)));

    // The ornament prints inside its box.
    const QRectF ornamentBox = boxOnSheet(*report, QStringLiteral("Picture1"));
    int inkedDots = 0;
    for (double x = ornamentBox.left() + 0.5; x < ornamentBox.right(); x += 0.5)
        for (double y = ornamentBox.top() + 0.5; y < ornamentBox.bottom(); y += 0.5)
            inkedDots += !near(pixelAtMm(page, kDpi, x, y), Qt::white, 60);
    QVERIFY(inkedDots > 20);
}

void TestLabelPrint::linesStandInTheirBoxesOnPaper_data()
{
    kindRows();
}

void TestLabelPrint::linesStandInTheirBoxesOnPaper()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    auto report = loadLabelLayout(labelKindNamed(kind));
    fillLabel(*report, sampleInput());
    report->prepareReport();
    const QString pdf = m_dir.filePath(kind + QStringLiteral("-words.pdf"));
    writePdf(*report->prepared(), pdf);
    const QList<PdfWord> words = pdfWords(pdf);
    QCOMPARE(words.size(), kLabelLineCount); // the design texts never print

    struct Expect
    {
        const char* memo;
        const char* word;
        HAlign align;
    };
    const Expect expected[] = {
        {"txtCima", "CIMA", HAlign::Center},       {"txtNome", "Barolo", HAlign::Center},
        {"txtRosso", "Rosso", HAlign::Center},     {"txtSottotitolo", "Sottotitolo", HAlign::Center},
        {"txtRigo01", "Rigo01", HAlign::Center},   {"txtRigo02", "Rigo02", HAlign::Center},
        {"txtRigo03", "75cl", HAlign::Left},       {"txtRigo04", "13%", HAlign::Right},
        {"txtCalce", "Calce", HAlign::Center},
    };
    const double gap = Length::units(TMemoView::kGapX).mm();
    for (const Expect& e : expected) {
        const QString what = QString::fromLatin1(e.memo);
        const PdfWord* word = wordOf(words, QString::fromLatin1(e.word));
        QVERIFY2(word, e.word);
        const QRectF box = boxOnSheet(*report, what);
        const QString where = what + QLatin1Char(' ') + describe(word->mm) + QStringLiteral(" in ") + describe(box);
        QVERIFY2(std::abs(word->mm.center().y() - box.center().y()) < 0.8, qPrintable(where));
        switch (e.align) {
        case HAlign::Center:
            QVERIFY2(std::abs(word->mm.center().x() - box.center().x()) < 0.4, qPrintable(where));
            break;
        case HAlign::Left:
            QVERIFY2(std::abs(word->mm.left() - (box.left() + gap)) < 0.4, qPrintable(where));
            break;
        case HAlign::Right:
            QVERIFY2(std::abs(word->mm.right() - (box.right() - gap)) < 0.4, qPrintable(where));
            break;
        }
    }
}

void TestLabelPrint::tooWideLineStartsAtTheLeft_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("memo");
    QTest::newRow("vertical, centred line") << "vertical" << int(LabelLine::Rigo01) << "txtRigo01";
    QTest::newRow("vertical, right-aligned line") << "vertical" << int(LabelLine::Rigo04) << "txtRigo04";
    QTest::newRow("horizontal, centred line") << "horizontal" << int(LabelLine::Nome) << "txtNome";
}

void TestLabelPrint::tooWideLineStartsAtTheLeft()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    QFETCH(int, line);
    QFETCH(QString, memo);
    LabelPrintInput input = sampleInput();
    const QString text = QStringLiteral("[Inizio] Barolo Riserva Cannubi Boschis Vigna Vecchia Bussia Soprana Ginestra");
    input.lines[line] = text;
    auto report = loadLabelLayout(labelKindNamed(kind));
    fillLabel(*report, input);
    report->prepareReport();
    const QString pdf = m_dir.filePath(kind + memo + QStringLiteral("-long.pdf"));
    writePdf(*report->prepared(), pdf);
    const QList<PdfWord> words = pdfWords(pdf);
    // Printed as typed, brackets and all, from the box's left edge.
    const PdfWord* first = wordOf(words, QStringLiteral("[Inizio]"));
    QVERIFY(first);
    const QRectF box = boxOnSheet(*report, memo);
    QVERIFY2(std::abs(first->mm.left() - (box.left() + Length::units(TMemoView::kGapX).mm())) < 0.4,
             qPrintable(describe(first->mm) + QStringLiteral(" in ") + describe(box)));
}

void TestLabelPrint::emptyLabelPrintsItsFrameworkOnly()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    LabelPrintInput input = sampleInput();
    input.lines = QStringList(kLabelLineCount);
    auto report = loadLabelLayout(verticalLabelKind());
    fillLabel(*report, input);
    report->prepareReport();
    const QString pdf = m_dir.filePath(QStringLiteral("empty.pdf"));
    writePdf(*report->prepared(), pdf);
    QVERIFY(pdfWords(pdf).isEmpty());
    const QImage page = pdfPageImage(pdf, 0, kDpi);
    const QRectF inked = boundsMm(page, [](const QColor& c, double) { return !near(c, Qt::white, 60); });
    QVERIFY2(closeTo(inked, QRectF(kMargin, kMargin, 95, 120), 0.3), qPrintable(describe(inked)));
}

void TestLabelPrint::copiesFromThePrintDialogGiveOneSheetEach_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("copies");
    QTest::newRow("vertical, one") << "vertical" << 1;
    QTest::newRow("vertical, three") << "vertical" << 3;
    QTest::newRow("horizontal, three") << "horizontal" << 3;
    QTest::newRow("cancelled") << "vertical" << 0;
}

void TestLabelPrint::copiesFromThePrintDialogGiveOneSheetEach()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    QFETCH(int, copies);
    TestWorld world;
    auto window = makeWindow(kind, DocumentAction::Print, sampleInput());
    window->show();
    const QString pdf = m_dir.filePath(QStringLiteral("%1-%2-copies.pdf").arg(kind).arg(copies));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        return pageCount == 1 && copies > 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().printDialogs, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QVERIFY(!window->isVisible());
    if (copies == 0) {
        QVERIFY(!QFileInfo::exists(pdf));
        return;
    }
    QCOMPARE(pdfPageCount(pdf), copies);
    const QList<PdfWord> words = pdfWords(pdf);
    for (int page = 0; page < copies; ++page) {
        const PdfWord* nome = wordOf(words, QStringLiteral("Barolo"), page);
        QVERIFY(nome);
        QCOMPARE(pdfTexts(words, page).size(), kLabelLineCount); // one label a sheet
    }
}

void TestLabelPrint::copiesShareOneLogoInTheFile_data()
{
    kindRows();
}

void TestLabelPrint::copiesShareOneLogoInTheFile()
{
    // A camera-like logo, larger than its box needs on paper, so that it is
    // scaled for the printer: every copy draws the one scaled picture, and
    // the file holds it once.
    QFETCH(QString, kind);
    LabelPrintInput input = sampleInput();
    input.logo = QImage(2400, 1000, QImage::Format_RGB32);
    quint32 noise = 12345;
    for (int y = 0; y < input.logo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(input.logo.scanLine(y));
        for (int x = 0; x < input.logo.width(); ++x)
            line[x] = (noise = noise * 1664525u + 1013904223u) >> 8;
    }
    const auto print = [&](int copies) {
        TestWorld world;
        auto window = makeWindow(kind, DocumentAction::Print, input);
        window->show();
        const QString pdf = m_dir.filePath(QStringLiteral("%1-%2-shared.pdf").arg(kind).arg(copies));
        world.platform().onPrintDialog = [&](QPrinter& printer, int) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setCopyCount(copies);
            return true;
        };
        QTest::mouseClick(window->btnStampa, Qt::LeftButton);
        return testfiles::read(pdf);
    };
    const QByteArray one = print(1), many = print(40);
    QVERIFY2(one.size() > 50000, qPrintable(QString::number(one.size()))); // the logo is most of one label's file
    QCOMPARE(many.count("/Subtype /Image"), one.count("/Subtype /Image"));
    // Each further copy adds its page and its text, a few kilobytes.
    QVERIFY2(many.size() < one.size() + 39 * 4000, qPrintable(QStringLiteral("%1 bytes for one, %2 for 40")
                                                                 .arg(one.size()).arg(many.size())));
}

void TestLabelPrint::printModesLayLabelsOnSheets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<PrintMode>("mode");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QPageSize::PageSizeId>("paper"); // in the printer; the chosen sheet for "Print on sheet"
    QTest::addColumn<QSizeF>("sheetMm");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QStringList>("corners"); // of the labels on each sheet, "x,y" in mm

    const QSizeF a4(210, 297), a5(148, 210);
    const QString fourVertical = QStringLiteral("10,10 105,10 10,130 105,130");
    const QString threeHorizontal = QStringLiteral("10,10 10,95 10,180");
    QTest::newRow("join, vertical: 12 labels on 3 sheets") << "vertical" << PrintMode::JoinSmallPages << 12
                                                           << QPageSize::A4 << a4 << 1.0 << QStringList(3, fourVertical);
    QTest::newRow("join, horizontal: 12 labels on 4 sheets")
        << "horizontal" << PrintMode::JoinSmallPages << 12 << QPageSize::A4 << a4 << 1.0
        << QStringList(4, threeHorizontal);
    QTest::newRow("join, vertical: 5 labels, the rest on a second sheet")
        << "vertical" << PrintMode::JoinSmallPages << 5 << QPageSize::A4 << a4 << 1.0
        << QStringList{fourVertical, QStringLiteral("10,10")};
    QTest::newRow("default: one label a sheet, as prepared") << "horizontal" << PrintMode::Default << 2
                                                             << QPageSize::A5 << a4 << 1.0 << QStringList(2, "10,10");
    QTest::newRow("print on sheet: real size on A5") << "vertical" << PrintMode::PrintOnSheet << 2 << QPageSize::A5
                                                     << a5 << 1.0 << QStringList(2, "10,10");
    QTest::newRow("split on A5 paper: the tile with the label") << "horizontal" << PrintMode::SplitBigPages << 1
                                                                << QPageSize::A5 << a5 << 1.0 << QStringList{"10,10"};
    QTest::newRow("scale to A5: the whole sheet shrunk") << "vertical" << PrintMode::Scale << 1 << QPageSize::A5 << a5
                                                         << 148.0 / 210.0 << QStringList{"7.05,7.39"};
}

void TestLabelPrint::printModesLayLabelsOnSheets()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    QFETCH(PrintMode, mode);
    QFETCH(int, copies);
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(QSizeF, sheetMm);
    QFETCH(double, scale);
    QFETCH(QStringList, corners);

    // Where the name stands on a label printed alone, from its corner.
    auto report = loadLabelLayout(labelKindNamed(kind));
    fillLabel(*report, sampleInput());
    report->prepareReport();
    const QString alone = m_dir.filePath(kind + QStringLiteral("-alone.pdf"));
    writePdf(*report->prepared(), alone);
    const PdfWord* reference = wordOf(pdfWords(alone), QStringLiteral("Barolo"));
    QVERIFY(reference);
    const QPointF nameInLabel = reference->mm.topLeft() - QPointF(kMargin, kMargin);

    TestWorld world;
    auto window = makeWindow(kind, DocumentAction::Print, sampleInput());
    window->show();
    const QString pdf = m_dir.filePath(QStringLiteral("%1-mode-%2.pdf").arg(kind, QTest::currentDataTag()));
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(copies);
        printer.setPageSize(QPageSize(paper));
        return true;
    };
    world.platform().printChoices = {mode, QPageSize(paper), {}, {}};
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(world.platform().offeredPrintChoices.mode, PrintMode::Default);

    const QList<QSizeF> sheets = pdfPageSizesMm(pdf);
    QCOMPARE(sheets.size(), corners.size());
    const QList<PdfWord> words = pdfWords(pdf);
    for (int sheet = 0; sheet < sheets.size(); ++sheet) {
        QVERIFY2(std::abs(sheets[sheet].width() - sheetMm.width()) < 0.5
                     && std::abs(sheets[sheet].height() - sheetMm.height()) < 0.5,
                 qPrintable(QStringLiteral("sheet %1 is %2 x %3 mm").arg(sheet).arg(sheets[sheet].width())
                                .arg(sheets[sheet].height())));
        QList<QPointF> names;
        for (const PdfWord& w : words)
            if (w.page == sheet && w.text == QLatin1String("Barolo"))
                names << w.mm.topLeft();
        const QStringList expected = corners[sheet].split(QLatin1Char(' '));
        QCOMPARE(names.size(), expected.size());
        // Every label stands whole at its place, its name where it is on a label alone.
        for (const QString& corner : expected) {
            const QStringList xy = corner.split(QLatin1Char(','));
            const QPointF at = QPointF(xy[0].toDouble(), xy[1].toDouble()) + nameInLabel * scale;
            const bool found = std::any_of(names.begin(), names.end(), [&](const QPointF& p) {
                return std::abs(p.x() - at.x()) < 0.4 && std::abs(p.y() - at.y()) < 0.4;
            });
            QVERIFY2(found, qPrintable(QStringLiteral("sheet %1: no label at %2").arg(sheet).arg(corner)));
        }
        QCOMPARE(pdfTexts(words, sheet).size(), kLabelLineCount * expected.size());
    }

    // Nothing prints beyond the labels' outlines on the first sheet.
    const QSizeF label = kind == QLatin1String("vertical") ? QSizeF(95, 120) : QSizeF(110, 85);
    QRectF outlines;
    for (const QString& corner : corners.front().split(QLatin1Char(' '))) {
        const QStringList xy = corner.split(QLatin1Char(','));
        outlines |= QRectF(QPointF(xy[0].toDouble(), xy[1].toDouble()), label * scale);
    }
    constexpr int dpi = 100;
    const QRectF inked = boundsMm(pdfPageImage(pdf, 0, dpi), [](const QColor& c, double) { return !near(c, Qt::white, 60); },
                                  dpi);
    QVERIFY2(closeTo(inked, outlines, 0.5), qPrintable(describe(inked) + QStringLiteral(" against ") + describe(outlines)));
}

void TestLabelPrint::failuresEndInTheWindowsWarning_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<DocumentAction>("action");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    const QString printFailed = QStringLiteral(
        "Attenzione: la stampa non è andata a buon fine.\n\r\n\rSi consiglia di ridurre le dimensioni della foto.");
    const QString previewFailed = QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata "
                                                 "a buon fine.\n\r\n\rSi consiglia di ridurre le dimensioni della foto.");
    QTest::newRow("print: logo too large") << "vertical" << DocumentAction::Print << "huge logo" << printFailed;
    QTest::newRow("preview: logo too large") << "horizontal" << DocumentAction::Preview << "huge logo" << previewFailed;
    QTest::newRow("print: PDF cannot be written") << "horizontal" << DocumentAction::Print << "printer" << QString::fromUtf8(kOutputFileFailureMessage);
    QTest::newRow("print: line missing from the layout") << "horizontal" << DocumentAction::Print << "missing box"
                                                         << printFailed;
    QTest::newRow("preview: line missing from the layout") << "vertical" << DocumentAction::Preview << "missing box"
                                                           << previewFailed;
}

void TestLabelPrint::failuresEndInTheWindowsWarning()
{
    QFETCH(QString, kind);
    QFETCH(DocumentAction, action);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestWorld world;
    LabelPrintInput input = sampleInput();
    if (fault == QLatin1String("huge logo"))
        input.logo = QImage(20000, 20000, QImage::Format_Mono);
    auto window = makeWindow(kind, action, input);
    window->show();
    if (fault == QLatin1String("missing box")) {
        auto& views = window->report()->page().views;
        std::erase_if(views, [](const auto& view) { return view->name() == QLatin1String("txtCalce"); });
    }
    const QString pdf = m_dir.filePath(QStringLiteral("missing-folder/label.pdf"));
    printToPdf(world.platform(), pdf);
    int previews = 0;
    world.platform().onDialog = [&](QDialog&) { return ++previews, 0; };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages.front().kind, MessageKind::Warning);
    QCOMPARE(world.platform().lastMessage(), message);
    QCOMPARE(previews, 0);
    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(!window->isVisible());
}

void TestLabelPrint::editorPrintsWhatItShowsUnsaved_data()
{
    kindRows();
}

void TestLabelPrint::editorPrintsWhatItShowsUnsaved()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    LabelFixture f(kind);
    f.type("txtNome", QStringLiteral("Barbaresco"));
    f.type("txtRigo03", QStringLiteral("75cl"));
    QImage logo(300, 300, QImage::Format_RGB32);
    logo.fill(Qt::red);
    f.window->setShownPicture(logo);
    const QByteArray stored = f.archiveBytes();

    // Anteprima opens the preview window of the kind.
    QStringList opened;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        opened << dialog.objectName();
        return 0;
    };
    f.click("cmdAnteprima");
    const QString kindName = kind == QLatin1String("vertical") ? QStringLiteral("Verticale") : QStringLiteral("Orizzontale");
    QCOMPARE(opened, QStringList{QStringLiteral("frmAnteprima") + kindName});

    // Stampa prints the texts and logo the editor shows, unsaved.
    const QString pdf = m_dir.filePath(kind + QStringLiteral("-editor.pdf"));
    f.world.platform().onDialog = [&](QDialog& dialog) {
        opened << dialog.objectName();
        if (qobject_cast<LabelCheckWindow*>(&dialog))
            return int(QDialog::Accepted); // the label's findings: Stampa comunque
        if (auto* window = qobject_cast<DocumentWindow*>(&dialog)) {
            window->show(); // as the modal run shows it: the logo is taken
            window->btnStampaClick();
        }
        return 0;
    };
    printToPdf(f.world.platform(), pdf);
    f.click("cmdStampa");
    QCOMPARE(opened.last(), QStringLiteral("frmStampa") + kindName);
    QVERIFY(f.world.platform().messages.isEmpty());
    const QList<PdfWord> words = pdfWords(pdf);
    QVERIFY(wordOf(words, QStringLiteral("Barbaresco")));
    QVERIFY(wordOf(words, QStringLiteral("75cl")));
    QVERIFY(near(logoCentreOnPaper(f.kind(), pdf), Qt::red, 40));
    QCOMPARE(f.archiveBytes(), stored);
}

void TestLabelPrint::logoDamagedOnDiskPrintsAsShown_data()
{
    kindRows();
}

// The printed logo is the one the editor shows, taken from memory: its file
// cut short or its source gone by the time Stampa is pressed changes nothing
// on paper, and printing writes nothing back.
void TestLabelPrint::logoDamagedOnDiskPrintsAsShown()
{
    if (!m_tools)
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    LabelFixture f(kind);
    QImage red(600, 600, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString source = f.world.path(QStringLiteral("logo_sorgente.jpg"));
    QVERIFY(red.save(source, "JPEG"));
    f.type("txtProdotto", QStringLiteral("Barbera"));
    f.world.platform().openAnswers.enqueue(source);
    f.click("btnCaricaFoto");
    f.click("cmdSalva");
    const QString stored = f.logoPath(1);
    QVERIFY(QFileInfo::exists(stored));
    QFile::remove(source);
    QByteArray cut = testfiles::read(stored);
    cut.truncate(cut.size() / 3);
    testfiles::write(stored, cut);
    f.world.platform().messages.clear();

    const QString pdf = m_dir.filePath(kind + QStringLiteral("-damaged-logo.pdf"));
    f.world.platform().onDialog = [&](QDialog& dialog) {
        if (qobject_cast<LabelCheckWindow*>(&dialog))
            return int(QDialog::Accepted); // the label's findings: Stampa comunque
        if (auto* window = qobject_cast<DocumentWindow*>(&dialog)) {
            window->show();
            window->btnStampaClick();
        }
        return 0;
    };
    printToPdf(f.world.platform(), pdf);
    f.click("cmdStampa");
    QVERIFY2(f.world.platform().messages.isEmpty(), qPrintable(f.messages()));
    QVERIFY(near(logoCentreOnPaper(f.kind(), pdf), Qt::red, 40));
    QCOMPARE(testfiles::read(stored), cut);
}

// Through a real print spooler: cups with a cups-pdf queue
// (scripts/print-spooler.sh), whose output PDF is read back.
void TestLabelPrint::copiesPrintThroughTheSpooler_data()
{
    QTest::addColumn<PrintMode>("mode");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QList<QRectF>>("sheets"); // what each printed sheet inks, in mm
    const QRectF one(kMargin, kMargin, 95, 120), four(kMargin, kMargin, 190, 240);
    QTest::newRow("three copies, one a sheet") << PrintMode::Default << 3 << QList<QRectF>{one, one, one};
    QTest::newRow("five copies joined, four a sheet") << PrintMode::JoinSmallPages << 5 << QList<QRectF>{four, one};
}

void TestLabelPrint::copiesPrintThroughTheSpooler()
{
    QFETCH(PrintMode, mode);
    QFETCH(int, copies);
    QFETCH(QList<QRectF>, sheets);
    const Spooler spooler;
    if (const QString why = spooler.unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));

    TestWorld world;
    TfrmStampaVerticale window(sampleInput());
    window.show();
    spooler.answerPrintDialogs(world.platform(), copies);
    world.platform().printChoices.mode = mode;
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));

    const QString spooled = spooler.awaitJob();
    QVERIFY2(!spooled.isEmpty(), "the spooler wrote no PDF within two minutes");
    QCOMPARE(pdfPageCount(spooled), int(sheets.size()));
    const QSizeF paper = pdfPageSizeMm(spooled);
    QVERIFY2(qAbs(paper.width() - 210) < 1 && qAbs(paper.height() - 297) < 1, "A4 portrait");
    for (int page = 0; page < sheets.size(); ++page) {
        const QImage image = pdfPageImage(spooled, page, 100);
        const QRectF inked = boundsMm(image, [](const QColor& c, double) { return !near(c, Qt::white, 60); }, 100);
        QVERIFY2(closeTo(inked, sheets[page], 0.6), qPrintable(describe(inked)));
    }
}

QTEST_MAIN(TestLabelPrint)
#include "tst_labelprint.moc"
