// Labels on the user's own stock: the print settings each kind of document
// remembers in the program folder, through the real print dialog and fresh
// windows; where the labels, the crop marks and a printer's correction land,
// read back from the PDF files; the calibration dialog and its sheet.

#include "../report/ReportTestSupport.h"
#include "Calibration.h"
#include "LabelPrint.h"
#include "LabelRecord.h"
#include "LabelWindows.h"
#include "PreparedReport.h"
#include "PrintDialog.h"
#include "PrintSettings.h"
#include "ReportOutput.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "SchedaVinoWindow.h"
#include "WineWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <numeric>

#include <sys/stat.h>

using namespace vinarca;
using namespace reporttest;

Q_DECLARE_METATYPE(vinarca::LabelStock)
Q_DECLARE_METATYPE(vinarca::PrinterCalibration)
Q_DECLARE_METATYPE(vinarca::PrintChoices)

namespace {

constexpr double kLabelWidth = 95, kLabelHeight = 120; // the vertical label
constexpr double kTolerance = 0.02;                     // mm, far below a tenth

LabelPrintInput sampleInput()
{
    LabelPrintInput input;
    input.lines = {QStringLiteral("CIMA"), QStringLiteral("Barolo"), QStringLiteral("Rosso"),
                   QStringLiteral("Sottotitolo"), QStringLiteral("Rigo01"), QStringLiteral("Rigo02"),
                   QStringLiteral("75cl"), QStringLiteral("13%"), QStringLiteral("Calce")};
    return input;
}

std::unique_ptr<TReport> preparedLabel()
{
    std::unique_ptr<TReport> label = loadLabelLayout(verticalLabelKind());
    fillLabel(*label, sampleInput());
    label->prepareReport();
    return label;
}

// Prints `copies` labels to `pdf` as the choices and the correction say.
void printToPdf(const QString& pdf, int copies, const PrintChoices& choices, const PrinterCalibration& calibration = {})
{
    const auto label = preparedLabel();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setCopyCount(copies);
    printPages(*label->prepared(), printer, {0}, choices, calibration);
}

// Where the word "Barolo" of each label lands, sheet by sheet.
QList<QList<QRectF>> baroloBoxes(const QString& pdf)
{
    QList<QList<QRectF>> sheets(pdfPageCount(pdf));
    for (const PdfWord& word : pdfWords(pdf))
        if (word.text == QLatin1String("Barolo"))
            sheets[word.page] << word.mm;
    return sheets;
}

// "Barolo" of a label alone, from the label's corner.
QPointF baroloInLabel(const QString& folder)
{
    const QString pdf = folder + QStringLiteral("/alone.pdf");
    printToPdf(pdf, 1, {});
    const QList<QList<QRectF>> alone = baroloBoxes(pdf);
    return alone.value(0).value(0).topLeft() - QPointF(10, 10);
}

bool near(QPointF a, QPointF b, double tolerance = kTolerance)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

QString describe(QPointF p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 3).arg(p.y(), 0, 'f', 3);
}

LabelStock stock(QPointF first, double gapX, double gapY, int startAt = 1, bool cropMarks = false)
{
    LabelStock s;
    s.firstMm = first;
    s.gapXMm = gapX;
    s.gapYMm = gapY;
    s.startAt = startAt;
    s.cropMarks = cropMarks;
    return s;
}

PrintChoices joined(const LabelStock& s)
{
    PrintChoices choices;
    choices.mode = PrintMode::JoinSmallPages;
    choices.stock = s;
    return choices;
}

// The tab of the real print dialog the scripted user works on.
PrintModeTab& tabOf(QPrintDialog& dialog)
{
    PrintModeTab* tab = printModeTabOf(dialog);
    if (!tab)
        qFatal("the print dialog has no print mode tab");
    return *tab;
}

QSpinBox* copiesOf(QPrintDialog& dialog)
{
    return dialog.findChild<QSpinBox*>(QStringLiteral("copies"));
}

} // namespace

class TestLabelStock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void settingsStayForEachDocument();
    void damagedSettingsFileGivesFirstRunChoices_data();
    void damagedSettingsFileGivesFirstRunChoices();
    void writingOneDocumentKeepsTheRestOfTheFile();
    void aSettingsFileThatCannotBeWrittenStillPrints();
    void labelsOpenThePrintDialogOnThePrintMode_data();
    void labelsOpenThePrintDialogOnThePrintMode();
    void startLabelGoesBackToOneAfterAPrintThatUsedIt_data();
    void startLabelGoesBackToOneAfterAPrintThatUsedIt();

    void labelsStandInThePlacesOfTheStock_data();
    void labelsStandInThePlacesOfTheStock();
    void cropMarksSitAtTheCornersOutsideTheLabels_data();
    void cropMarksSitAtTheCornersOutsideTheLabels();
    void calibrationMovesAndStretchesEveryPlacement_data();
    void calibrationMovesAndStretchesEveryPlacement();
    void calibrationGoesToItsPrinterAndToPdfOnlyWhenAsked_data();
    void calibrationGoesToItsPrinterAndToPdfOnlyWhenAsked();
    void calibrationDialogKeepsWhatItShows();
    void calibrationSheetCarriesNumberedMillimetreMarks();

private:
    QTemporaryDir m_dir;
};

void TestLabelStock::initTestCase()
{
    if (!haveTool("pdftotext") || !haveTool("pdftoppm") || !haveTool("pdfinfo"))
        QSKIP("poppler-utils are needed to read the PDF files back");
}

void TestLabelStock::settingsStayForEachDocument()
{
    TestWorld world;
    const QString pdf = world.path(QStringLiteral("etichette.pdf"));
    // First session: the user picks four labels a sheet on die-cut stock.
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    world.platform().onRealPrintDialog = [&](QPrintDialog& dialog) {
        PrintModeTab& tab = tabOf(dialog);
        tab.findChild<QRadioButton*>(QStringLiteral("optJoinSmallPages"))->setChecked(true);
        tab.spnFirstLeft->setValue(7.5);
        tab.spnFirstTop->setValue(12.3);
        tab.spnGapX->setValue(3);
        tab.spnGapY->setValue(2.5);
        tab.spnStartAt->setValue(2);
        tab.chkCropMarks->setChecked(true);
        if (!copiesOf(dialog))
            return false;
        copiesOf(dialog)->setValue(4);
        return true;
    };
    {
        TfrmStampaVerticale window(sampleInput());
        window.show();
        QTest::mouseClick(window.btnStampa, Qt::LeftButton);
        QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));
    }
    QVERIFY(QFileInfo::exists(world.path(QString::fromLatin1(kPrintSettingsFileName))));
    // Four labels from the second place: the first sheet holds three.
    const QList<QList<QRectF>> sheets = baroloBoxes(pdf);
    QCOMPARE(sheets.size(), 2);
    QCOMPARE(sheets.at(0).size(), 3);

    // Second session: new windows read the file. The preview window of the
    // same label offers the same, the other kind and the wine sheet offer
    // the first-run choices.
    PrintChoices offered;
    int offeredCopies = 0;
    world.platform().onRealPrintDialog = [&](QPrintDialog& dialog) {
        offered = tabOf(dialog).choices();
        offeredCopies = copiesOf(dialog) ? copiesOf(dialog)->value() : -1;
        return false;
    };
    {
        TfrmStampaVerticale window(sampleInput());
        window.show();
        QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    }
    QCOMPARE(offered.mode, PrintMode::JoinSmallPages);
    QCOMPARE(offeredCopies, 4);
    // The partly used sheet was filled: the next print starts a fresh one.
    QCOMPARE(offered.stock, stock({7.5, 12.3}, 3, 2.5, 1, true));

    {
        TfrmStampaOrizzontale window(sampleInput());
        window.show();
        QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    }
    QCOMPARE(offered.mode, PrintMode::Default);
    QCOMPARE(offeredCopies, 1);
    QCOMPARE(offered.stock, LabelStock());

    // Cancelling changes nothing that was remembered.
    {
        TfrmStampaVerticale window(sampleInput());
        window.show();
        QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    }
    QCOMPARE(offered.mode, PrintMode::JoinSmallPages);
    QCOMPARE(offeredCopies, 4);
}

void TestLabelStock::damagedSettingsFileGivesFirstRunChoices_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("copies");
    QTest::addColumn<double>("gapX");

    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[\x01\x02=\n\x00", 10) << int(PrintMode::Default) << 1
                                    << 0.0;
    QTest::newRow("cut off in the middle of a value")
        << QByteArray("[Documento etichetta_verticale]\nModalita=JoinSma") << int(PrintMode::Default) << 1 << 0.0;
    QTest::newRow("values out of range or unreadable")
        << QByteArray("[Documento etichetta_verticale]\nModalita=Scale\nCopie=-3\nSpazioOrizzontale=1e999\n")
        << int(PrintMode::Scale) << 1 << 0.0;
    QTest::newRow("hand-edited with a decimal comma")
        << QByteArray("[Documento etichetta_verticale]\r\nCopie=6\r\nSpazioOrizzontale=2,5\r\n")
        << int(PrintMode::Default) << 6 << 2.5;
    QTest::newRow("another document's section only")
        << QByteArray("[Documento scheda_vino]\nModalita=Scale\nCopie=3\n") << int(PrintMode::Default) << 1 << 0.0;
}

void TestLabelStock::damagedSettingsFileGivesFirstRunChoices()
{
    QFETCH(QByteArray, file);
    QFETCH(int, mode);
    QFETCH(int, copies);
    QFETCH(double, gapX);
    TestWorld world;
    testfiles::write(world.path(QString::fromLatin1(kPrintSettingsFileName)), file);
    PrintChoices offered;
    int offeredCopies = 0;
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        offeredCopies = printer.copyCount();
        return false;
    };
    TfrmStampaVerticale window(sampleInput());
    window.show();
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY(world.platform().messages.isEmpty());
    offered = world.platform().offeredPrintChoices;
    QCOMPARE(int(offered.mode), mode);
    QCOMPARE(offeredCopies, copies);
    QCOMPARE(offered.stock.gapXMm, gapX);
    QCOMPARE(offered.stock.startAt, 1);
}

void TestLabelStock::writingOneDocumentKeepsTheRestOfTheFile()
{
    TestWorld world;
    const QString path = world.path(QString::fromLatin1(kPrintSettingsFileName));
    const QByteArray before = "; mie note\n[Documento scheda_vino]\nModalita=Scale\nCopie=3\nMioCommento=sì\n\n"
                              "[Stampante Ufficio]\nSpostamentoOrizzontale=-1.2\nScalaVerticale=0.995\n";
    testfiles::write(path, before);
    DocumentPrintSettings label;
    label.choices.mode = PrintMode::JoinSmallPages;
    label.copies = 12;
    QVERIFY(saveDocumentPrintSettings(QStringLiteral("etichetta_verticale"), label));
    const QByteArray after = testfiles::read(path);
    QVERIFY2(after.startsWith(before), after.constData());
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("scheda_vino")).copies, 3);
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("etichetta_verticale")).copies, 12);
    const Calibrations calibrations = loadCalibrations();
    QCOMPARE(calibrations.byPrinter.value(QStringLiteral("Ufficio")).offsetXMm, -1.2);
    QCOMPARE(calibrations.byPrinter.value(QStringLiteral("Ufficio")).scaleY, 0.995);

    // Changing a document rewrites its values in place.
    label.copies = 2;
    QVERIFY(saveDocumentPrintSettings(QStringLiteral("etichetta_verticale"), label));
    QVERIFY(testfiles::read(path).startsWith(before));
    QCOMPARE(testfiles::read(path).count("Copie=12"), 0);
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("etichetta_verticale")).copies, 2);

    // The same choices again leave the file in place: it is not replaced.
    const auto fileId = [&] {
        struct stat status = {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : ino_t(0);
    };
    const ino_t written = fileId();
    QVERIFY(saveDocumentPrintSettings(QStringLiteral("etichetta_verticale"), label));
    QCOMPARE(fileId(), written);
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("etichetta_verticale")).copies, 2);
}

void TestLabelStock::aSettingsFileThatCannotBeWrittenStillPrints()
{
    TestWorld world;
    const QString path = world.path(QString::fromLatin1(kPrintSettingsFileName));
    const QByteArray before = "[Documento etichetta_verticale]\nModalita=Scale\nCopie=2\n";
    QVERIFY(testfiles::write(path, before));
    // The user protected the file: it is read, never replaced.
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QString pdf = world.path(QStringLiteral("protetto.pdf"));
    int offeredCopies = 0;
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        offeredCopies = printer.copyCount();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(5);
        return true;
    };
    TfrmStampaVerticale window(sampleInput());
    window.show();
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));
    QCOMPARE(world.platform().offeredPrintChoices.mode, PrintMode::Scale);
    QCOMPARE(offeredCopies, 2);
    QCOMPARE(pdfPageCount(pdf), 5);
    QCOMPARE(testfiles::read(path), before);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestLabelStock::labelsOpenThePrintDialogOnThePrintMode_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("modeFirst");

    QTest::newRow("vertical label") << "TfrmStampaVerticale" << true;
    QTest::newRow("horizontal label") << "TfrmStampaOrizzontale" << true;
    // A sheet of its own size: the dialog opens folded, on its first tab.
    QTest::newRow("wine sheet") << "TfrmStampaVini" << false;
}

void TestLabelStock::labelsOpenThePrintDialogOnThePrintMode()
{
    QFETCH(QString, window);
    QFETCH(bool, modeFirst);
    TestWorld world;
    bool tabShown = !modeFirst, tabInFront = !modeFirst, optionsButtonFound = false;
    world.platform().onRealPrintDialog = [&](QPrintDialog& dialog) {
        PrintModeTab& tab = tabOf(dialog);
        tabShown = tab.isVisible() && tab.spnStartAt->isVisible() && tab.btnCalibration->isVisible();
        auto* tabs = dialog.findChild<QTabWidget*>();
        tabInFront = tabs && tabs->currentWidget() == &tab;
        // The user can still fold the options away.
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text().contains(QLatin1String("<<")) || button->text().contains(QLatin1String(">>")))
                optionsButtonFound = true;
        return false;
    };
    std::unique_ptr<DocumentWindow> shown;
    if (window == QLatin1String("TfrmStampaVini")) {
        WineSheetInput wine;
        for (const SheetField& entry : kSheetFields)
            wine.fields.insert(QString::fromLatin1(entry.field), QStringLiteral("Barolo"));
        shown = std::make_unique<TfrmStampaVini>(wine);
    }
    else if (window == QLatin1String("TfrmStampaOrizzontale"))
        shown = std::make_unique<TfrmStampaOrizzontale>(sampleInput());
    else
        shown = std::make_unique<TfrmStampaVerticale>(sampleInput());
    shown->show();
    QTest::mouseClick(shown->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().printDialogs, 1);
    QCOMPARE(world.platform().offeredPrintChoices.showModeFirst, modeFirst);
    QCOMPARE(tabShown, modeFirst);
    QCOMPARE(tabInFront, modeFirst);
    QVERIFY(optionsButtonFound);
}

void TestLabelStock::startLabelGoesBackToOneAfterAPrintThatUsedIt_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("printerFails");
    QTest::addColumn<int>("startAfter");

    QTest::newRow("printed from the third label") << int(PrintMode::JoinSmallPages) << true << false << 1;
    QTest::newRow("cancelled") << int(PrintMode::JoinSmallPages) << false << false << 3;
    QTest::newRow("the printer failed") << int(PrintMode::JoinSmallPages) << true << true << 3;
    // Only joined labels start at a place of the sheet.
    QTest::newRow("printed one label a sheet") << int(PrintMode::Default) << true << false << 3;
}

void TestLabelStock::startLabelGoesBackToOneAfterAPrintThatUsedIt()
{
    QFETCH(int, mode);
    QFETCH(bool, confirm);
    QFETCH(bool, printerFails);
    QFETCH(int, startAfter);
    TestWorld world;
    DocumentPrintSettings before;
    before.choices = joined(stock({7.5, 12.3}, 3, 2.5, 3, true));
    before.choices.mode = PrintMode(mode);
    before.copies = 2;
    QVERIFY(saveDocumentPrintSettings(QStringLiteral("etichetta_verticale"), before));
    // A folder that does not exist: the PDF file cannot be written.
    const QString pdf = world.path(printerFails ? QStringLiteral("manca/etichette.pdf") : QStringLiteral("etichette.pdf"));
    world.platform().onRealPrintDialog = [&](QPrintDialog&) { return confirm; };
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    TfrmStampaVerticale window(sampleInput());
    window.show();
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().messages.size(), printerFails ? 1 : 0);
    QCOMPARE(QFileInfo::exists(pdf), confirm && !printerFails);

    const DocumentPrintSettings after = loadDocumentPrintSettings(QStringLiteral("etichetta_verticale"));
    QCOMPARE(after.choices.stock.startAt, startAfter);
    // The rest of the stock stays remembered.
    LabelStock rest = before.choices.stock;
    rest.startAt = startAfter;
    QCOMPARE(after.choices.stock, rest);
    QCOMPARE(after.choices.mode, PrintMode(mode));
    QCOMPARE(after.copies, 2);
}

void TestLabelStock::labelsStandInThePlacesOfTheStock_data()
{
    QTest::addColumn<LabelStock>("stock");
    QTest::addColumn<int>("copies");
    // The places used on each sheet, numbered row by row from 0.
    QTest::addColumn<QList<QList<int>>>("places");
    QTest::addColumn<int>("columns");

    QTest::newRow("die-cut stock with gutters, two by two")
        << stock({12, 15}, 4, 6) << 5 << QList<QList<int>>{{0, 1, 2, 3}, {0}} << 2;
    QTest::newRow("edge to edge from the corner")
        << stock({0, 0}, 0, 0) << 6 << QList<QList<int>>{{0, 1, 2, 3}, {0, 1}} << 2;
    QTest::newRow("start at label 3 leaves two places empty")
        << stock({10, 10}, 2, 2, 3) << 4 << QList<QList<int>>{{2, 3}, {0, 1}} << 2;
    QTest::newRow("start at label 4 of four")
        << stock({0, 0}, 0, 0, 4) << 2 << QList<QList<int>>{{3}, {0}} << 2;
    QTest::newRow("a place past the sheet's last starts a fresh sheet")
        << stock({0, 0}, 0, 0, 9) << 1 << QList<QList<int>>{{0}} << 2;
    QTest::newRow("too wide for two across")
        << stock({20, 5}, 5, 0) << 3 << QList<QList<int>>{{0, 1}, {0}} << 1;
}

void TestLabelStock::labelsStandInThePlacesOfTheStock()
{
    QFETCH(LabelStock, stock);
    QFETCH(int, copies);
    QFETCH(QList<QList<int>>, places);
    QFETCH(int, columns);
    TestWorld world;
    const QPointF inLabel = baroloInLabel(world.folder());
    const QString pdf = world.path(QStringLiteral("stock.pdf"));
    printToPdf(pdf, copies, joined(stock));
    const QList<QList<QRectF>> sheets = baroloBoxes(pdf);
    QCOMPARE(sheets.size(), places.size());
    for (int s = 0; s < sheets.size(); ++s) {
        QCOMPARE(sheets.at(s).size(), places.at(s).size());
        for (int i = 0; i < places.at(s).size(); ++i) {
            const int place = places.at(s).at(i);
            const QPointF corner = stock.firstMm
                + QPointF((place % columns) * (kLabelWidth + stock.gapXMm), (place / columns) * (kLabelHeight + stock.gapYMm));
            QVERIFY2(near(sheets.at(s).at(i).topLeft(), corner + inLabel),
                     qPrintable(QStringLiteral("sheet %1 place %2: %3, expected %4")
                                    .arg(s).arg(place).arg(describe(sheets.at(s).at(i).topLeft()))
                                    .arg(describe(corner + inLabel))));
        }
    }
}

void TestLabelStock::cropMarksSitAtTheCornersOutsideTheLabels_data()
{
    QTest::addColumn<LabelStock>("stock");
    QTest::addColumn<int>("copies");
    QTest::newRow("gutters wider than the marks") << stock({6, 15}, 8, 8, 1, true) << 4;
    QTest::newRow("labels touching") << stock({10, 10}, 0, 0, 1, true) << 4;
    QTest::newRow("narrow gutters, started late") << stock({10, 10}, 3, 2, 2, true) << 2;
}

void TestLabelStock::cropMarksSitAtTheCornersOutsideTheLabels()
{
    QFETCH(LabelStock, stock);
    QFETCH(int, copies);
    TestWorld world;
    const QString pdf = world.path(QStringLiteral("marks.pdf"));
    printToPdf(pdf, copies, joined(stock));
    constexpr int dpi = 400;
    const QImage sheet = pdfPageImage(pdf, 0, dpi);
    QVERIFY(!sheet.isNull());
    QList<QRectF> labels;
    for (int place = stock.startAt - 1; place < stock.startAt - 1 + copies && place < 4; ++place)
        labels << QRectF(stock.firstMm + QPointF((place % 2) * (kLabelWidth + stock.gapXMm),
                                                 (place / 2) * (kLabelHeight + stock.gapYMm)),
                         QSizeF(kLabelWidth, kLabelHeight));
    // The label's outline is drawn on its edge, a little wider than a line.
    const double outline = 0.3;
    const double mmPerDot = 25.4 / dpi;
    int markDots = 0;
    QSet<int> corners; // the corners that got a mark
    const QImage dots = sheet.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < dots.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(dots.constScanLine(y));
        for (int x = 0; x < dots.width(); ++x) {
            if (qGray(row[x]) > 128)
                continue;
            const QPointF at((x + 0.5) * mmPerDot, (y + 0.5) * mmPerDot);
            bool onLabel = false;
            for (const QRectF& label : labels)
                onLabel = onLabel || label.adjusted(-outline, -outline, outline, outline).contains(at);
            if (onLabel)
                continue;
            // Ink off the labels is a mark: on a line along a label's edge,
            // within the mark's reach of one of its corners.
            ++markDots;
            bool atCorner = false;
            for (int l = 0; l < labels.size(); ++l) {
                const QRectF& label = labels.at(l);
                const QPointF cs[] = {label.topLeft(), label.topRight(), label.bottomLeft(), label.bottomRight()};
                for (int c = 0; c < 4; ++c) {
                    const QPointF d = at - cs[c];
                    const bool alongX = std::abs(d.y()) < 0.15 && std::abs(d.x()) > 0.5 && std::abs(d.x()) < 5.5
                        && (d.x() < 0) == (cs[c].x() == label.left());
                    const bool alongY = std::abs(d.x()) < 0.15 && std::abs(d.y()) > 0.5 && std::abs(d.y()) < 5.5
                        && (d.y() < 0) == (cs[c].y() == label.top());
                    if (alongX || alongY) {
                        atCorner = true;
                        corners.insert(l * 4 + c);
                    }
                }
            }
            QVERIFY2(atCorner, qPrintable(QStringLiteral("ink off the labels at %1").arg(describe(at))));
        }
    }
    QVERIFY(markDots > 0);
    // Every corner with room outside it has its mark: the sheet's outer
    // corners of the block of labels at least.
    const QRectF block = std::accumulate(labels.cbegin(), labels.cend(), labels.first(),
                                         [](const QRectF& a, const QRectF& b) { return a.united(b); });
    for (int l = 0; l < labels.size(); ++l) {
        const QRectF& label = labels.at(l);
        const QPointF cs[] = {label.topLeft(), label.topRight(), label.bottomLeft(), label.bottomRight()};
        for (int c = 0; c < 4; ++c) {
            const bool outer = (cs[c].x() == block.left() || cs[c].x() == block.right())
                && (cs[c].y() == block.top() || cs[c].y() == block.bottom());
            if (outer)
                QVERIFY2(corners.contains(l * 4 + c),
                         qPrintable(QStringLiteral("no mark at %1").arg(describe(cs[c]))));
        }
    }
}

void TestLabelStock::calibrationMovesAndStretchesEveryPlacement_data()
{
    QTest::addColumn<PrinterCalibration>("calibration");
    QTest::addColumn<PrintChoices>("choices");
    QTest::addColumn<int>("copies");

    const auto calibration = [](double dx, double dy, double sx, double sy) {
        return PrinterCalibration{dx, dy, sx, sy};
    };
    QTest::newRow("offset only, one label a sheet") << calibration(1.5, -0.7, 1, 1) << PrintChoices() << 1;
    QTest::newRow("tenths of a millimetre on label stock")
        << calibration(-0.1, 0.3, 1, 1) << joined(stock({12, 15}, 4, 6)) << 4;
    QTest::newRow("scale only, joined labels") << calibration(0, 0, 0.995, 1.004) << joined(LabelStock()) << 2;
    QTest::newRow("offset and scale on stock")
        << calibration(2.2, 1.1, 1.012, 0.988) << joined(stock({5, 5}, 3, 3, 2, true)) << 3;
}

void TestLabelStock::calibrationMovesAndStretchesEveryPlacement()
{
    QFETCH(PrinterCalibration, calibration);
    QFETCH(PrintChoices, choices);
    QFETCH(int, copies);
    TestWorld world;
    const QString plainPdf = world.path(QStringLiteral("plain.pdf"));
    const QString correctedPdf = world.path(QStringLiteral("corrected.pdf"));
    printToPdf(plainPdf, copies, choices);
    printToPdf(correctedPdf, copies, choices, calibration);
    const QList<PdfWord> plain = pdfWords(plainPdf), corrected = pdfWords(correctedPdf);
    QCOMPARE(corrected.size(), plain.size());
    QVERIFY(!plain.isEmpty());
    for (int i = 0; i < plain.size(); ++i) {
        const QRectF was = plain.at(i).mm, is = corrected.at(i).mm;
        QCOMPARE(corrected.at(i).text, plain.at(i).text);
        const QPointF expected(calibration.offsetXMm + calibration.scaleX * was.left(),
                               calibration.offsetYMm + calibration.scaleY * was.top());
        QVERIFY2(near(is.topLeft(), expected),
                 qPrintable(QStringLiteral("%1 at %2, expected %3").arg(plain.at(i).text, describe(is.topLeft()),
                                                                         describe(expected))));
        QVERIFY2(std::abs(is.width() - calibration.scaleX * was.width()) <= kTolerance, qPrintable(plain.at(i).text));
    }
}

void TestLabelStock::calibrationGoesToItsPrinterAndToPdfOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("toPdf");
    QTest::addColumn<QString>("printer");
    QTest::addColumn<QString>("forPdf");
    QTest::addColumn<double>("offsetX");

    QTest::newRow("its own printer") << false << "Ufficio" << "" << 1.0;
    QTest::newRow("another printer") << false << "Magazzino" << "" << 2.0;
    QTest::newRow("a printer never calibrated") << false << "Nuova" << "" << 0.0;
    QTest::newRow("PDF file, not asked") << true << "" << "" << 0.0;
    QTest::newRow("PDF file, asked for the office printer") << true << "" << "Ufficio" << 1.0;
}

void TestLabelStock::calibrationGoesToItsPrinterAndToPdfOnlyWhenAsked()
{
    QFETCH(bool, toPdf);
    QFETCH(QString, printer);
    QFETCH(QString, forPdf);
    QFETCH(double, offsetX);
    Calibrations calibrations;
    calibrations.byPrinter.insert(QStringLiteral("Ufficio"), {1.0, 0, 1, 1});
    calibrations.byPrinter.insert(QStringLiteral("Magazzino"), {2.0, 0, 1, 1});
    calibrations.forPdf = forPdf;
    QCOMPARE(calibrationFor(toPdf, printer, calibrations).offsetXMm, offsetX);
    if (!toPdf)
        return;

    // From the print window: the dialog is offered the calibrations of the
    // file, and the PDF lands where the chosen one puts it.
    TestWorld world;
    QVERIFY(saveCalibrations(calibrations));
    const QString pdf = world.path(QStringLiteral("window.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& p, int) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    TfrmStampaVerticale window(sampleInput());
    window.show();
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().offeredPrintChoices.calibrations, calibrations);
    const QPointF inLabel = baroloInLabel(m_dir.path());
    const QList<QList<QRectF>> sheets = baroloBoxes(pdf);
    QCOMPARE(sheets.value(0).size(), 1);
    QVERIFY2(near(sheets.at(0).at(0).topLeft(), QPointF(10 + offsetX, 10) + inLabel),
             qPrintable(describe(sheets.at(0).at(0).topLeft())));
}

void TestLabelStock::calibrationDialogKeepsWhatItShows()
{
    TestWorld world;
    Calibrations start;
    start.byPrinter.insert(QStringLiteral("Ufficio"), {-1.2, 0.4, 0.995, 1.0});
    QVERIFY(saveCalibrations(start));
    bool shownRight = false;
    world.platform().onDialog = [&](QDialog& shown) {
        auto* dialog = dynamic_cast<CalibrationDialog*>(&shown);
        if (!dialog)
            return int(QDialog::Rejected);
        dialog->cboPrinter->setCurrentText(QStringLiteral("Ufficio"));
        shownRight = dialog->spnOffsetX->value() == -1.2 && dialog->spnOffsetY->value() == 0.4
            && dialog->spnScaleX->value() == 99.5 && !dialog->chkPdf->isChecked();
        dialog->spnOffsetY->setValue(0.34);  // the box shows 0.3: 0.3 is kept
        dialog->spnScaleY->setValue(100.456); // shows 100.46 %
        dialog->chkPdf->setChecked(true);
        return int(QDialog::Accepted);
    };
    // The user calibrates from the print dialog's button, then cancels the
    // print: the calibration is kept for the next prints all the same.
    world.platform().onRealPrintDialog = [](QPrintDialog& dialog) {
        tabOf(dialog).btnCalibration->click();
        return false;
    };
    TfrmStampaVerticale window(sampleInput());
    window.show();
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY(shownRight);
    const Calibrations saved = loadCalibrations();
    const PrinterCalibration office = saved.byPrinter.value(QStringLiteral("Ufficio"));
    QCOMPARE(office.offsetXMm, -1.2);
    QCOMPARE(office.offsetYMm, 0.3);
    QCOMPARE(office.scaleX, 0.995);
    QCOMPARE(office.scaleY, 1.0046);
    QCOMPARE(saved.forPdf, QStringLiteral("Ufficio"));
    // Nothing was printed, and the label's own settings were not written.
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("etichetta_verticale")).copies, 1);
    QVERIFY(!testfiles::read(world.path(QString::fromLatin1(kPrintSettingsFileName))).contains("etichetta_verticale"));
}

void TestLabelStock::calibrationSheetCarriesNumberedMillimetreMarks()
{
    const QString pdf = m_dir.filePath(QStringLiteral("taratura.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QVERIFY(printCalibrationSheet(printer, QStringLiteral("Ufficio")));
    QCOMPARE(pdfPageCount(pdf), 1);
    const QSizeF a4 = pdfPageSizeMm(pdf);
    QVERIFY(std::abs(a4.width() - 210) < 0.5 && std::abs(a4.height() - 297) < 0.5);

    // Every centimetre of both rulers is numbered: the top ruler's numbers
    // centred over their marks, the left ruler's beside theirs, counted
    // from the sheet's edges.
    const QList<PdfWord> words = pdfWords(pdf);
    QList<int> top, left;
    QList<QRectF> numbers;
    for (const PdfWord& word : words) {
        bool number = false;
        const int mm = word.text.toInt(&number);
        if (!number || word.mm.top() > 285)
            continue;
        if (word.mm.bottom() < 21 && std::abs(word.mm.center().x() - mm) < 0.6)
            top << mm;
        else if (word.mm.right() < 20 && std::abs(word.mm.center().y() - mm) < 0.6)
            left << mm;
        else
            continue;
        numbers << word.mm;
    }
    QList<int> topExpected, leftExpected;
    for (int mm = 10; mm <= 200; mm += 10)
        topExpected << mm;
    for (int mm = 30; mm <= 280; mm += 10)
        leftExpected << mm;
    std::sort(top.begin(), top.end());
    std::sort(left.begin(), left.end());
    QCOMPARE(top, topExpected);
    QCOMPARE(left, leftExpected);
    // No number stands on another number or on either ruler and its marks.
    const QRectF topRuler(QPointF(10, 20), QPointF(200, 25)), leftRuler(QPointF(20, 30), QPointF(25, 280));
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        QVERIFY2(!numbers.at(i).intersects(topRuler) && !numbers.at(i).intersects(leftRuler),
                 qPrintable(describe(numbers.at(i).topLeft())));
        for (qsizetype j = i + 1; j < numbers.size(); ++j)
            QVERIFY2(!numbers.at(i).intersects(numbers.at(j)), qPrintable(describe(numbers.at(i).topLeft())));
    }

    // The formulas are on the sheet, in Italian, with the marks they use.
    const QString text = pdfTexts(words, 0).join(QLatin1Char(' '));
    for (const char* formula : {"Scala orizzontale = 190 / (B \u2212 A) \u00d7 100 %",
                                "Scala verticale = 250 / (D \u2212 C) \u00d7 100 %",
                                "Spostamento orizzontale = 10 \u2212 A \u00d7 scala orizzontale",
                                "Spostamento verticale = 30 \u2212 C \u00d7 scala verticale",
                                "le tacche 10 (A) e 200 (B) del righello in alto",
                                "le tacche 30 (C) e 280 (D) del righello a sinistra"})
        QVERIFY2(text.contains(QString::fromUtf8(formula)), formula);

    // The long marks the user measures are ink on paper, the paper between
    // them is not.
    const QImage sheet = pdfPageImage(pdf, 0, 400);
    QVERIFY(!sheet.isNull());
    const auto ink = [&](double x, double y) { return qGray(pixelAtMm(sheet, 400, x, y).rgb()) < 160; };
    for (double x : {10.0, 200.0})
        QVERIFY2(ink(x, 22) && !ink(x + 0.5, 22), qPrintable(QString::number(x)));
    for (double y : {30.0, 280.0})
        QVERIFY2(ink(22, y) && !ink(22, y + 0.5), qPrintable(QString::number(y)));
}

QTEST_MAIN(TestLabelStock)
#include "tst_labelstock.moc"
