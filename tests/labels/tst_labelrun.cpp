// Runs of label stock: labels chosen in the search with their copies, the
// run's window, and what the printed PDF holds, read back from the file:
// the order, each label's copies together, the start label across labels,
// gaps, crop marks and the printer's correction on every label; labels as
// stored when the job starts, each logo once; runs that must not print.

#include "../report/ReportTestSupport.h"
#include "DocumentWindow.h"
#include "LabelRun.h"
#include "LabelRunWindow.h"
#include "LabelWindows.h"
#include "PrintSettings.h"
#include "RecordListView.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>

using namespace vinarca;
using namespace reporttest;

Q_DECLARE_METATYPE(vinarca::LabelStock)
Q_DECLARE_METATYPE(vinarca::PrinterCalibration)

namespace {

const QStringList kNames = {QStringLiteral("Barolo"), QStringLiteral("Dolcetto"), QStringLiteral("Arneis")};
constexpr double kLabelWidth = 95, kLabelHeight = 120; // the vertical label
constexpr double kTolerance = 0.05;                     // mm

QByteArray labelRecord(const QString& product, const QString& name)
{
    const RecordLayout& layout = labelLayout();
    QByteArray record = layout.emptyRecord();
    layout.encodeField(record, layout.indexOf(QStringLiteral("Prodotto")), product);
    layout.encodeField(record, layout.indexOf(QStringLiteral("Nome")), name);
    return record;
}

// The vertical archive with one label per name, product "Vino <name>".
void writeArchive(const TestWorld& world, const QStringList& names = kNames)
{
    QByteArray bytes;
    for (const QString& name : names)
        bytes += labelRecord(QStringLiteral("Vino ") + name, name);
    QVERIFY(testfiles::write(world.path(verticalLabelKind().record.archiveFile), bytes));
}

// A small logo of one colour as the label's own logo file.
void writeLogo(qint64 position, QColor colour, QSize size = {160, 70})
{
    QImage logo(size, QImage::Format_RGB32);
    logo.fill(colour);
    QDir().mkpath(verticalLabelKind().record.pictureFolderPath());
    QVERIFY(logo.save(verticalLabelKind().record.picturePath(QString::number(position)), "JPG"));
}

LabelRun& run()
{
    return labelRunOf(verticalLabelKind());
}

void setRun(const QList<int>& copies)
{
    run().clear();
    for (int i = 0; i < copies.size(); ++i)
        run().add(i + 1, QStringLiteral("Vino ") + kNames.at(i), copies.at(i));
}

// The user prints the run from its window: Stampa, the print window's
// Stampa, and OK in the print dialog with the stock and a PDF file.
void printRunFromWindow(TestWorld& world, const QString& pdf, const LabelStock& stock)
{
    world.platform().printChoices.mode = PrintMode::JoinSmallPages;
    world.platform().printChoices.stock = stock;
    world.platform().onPrintDialog = [pdf](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    world.platform().onDialog = [](QDialog& dialog) {
        if (auto* window = qobject_cast<DocumentWindow*>(&dialog))
            window->btnStampaClick();
        return 1;
    };
    LabelRunWindow window(verticalLabelKind());
    window.btnStampa->click();
}

// Each name's word on each sheet, in reading order.
struct Placed
{
    int sheet;
    QString name;
    QPointF at;
};

QList<Placed> namesOnSheets(const QString& pdf)
{
    QList<Placed> placed;
    for (const PdfWord& word : pdfWords(pdf))
        if (kNames.contains(word.text))
            placed.append({word.page, word.text, word.mm.topLeft()});
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        if (a.sheet != b.sheet)
            return a.sheet < b.sheet;
        if (std::abs(a.at.y() - b.at.y()) > 1)
            return a.at.y() < b.at.y();
        return a.at.x() < b.at.x();
    });
    return placed;
}

// Where each name's word stands in its label, from the label's corner:
// the labels printed one to a page as prepared, inside 10 mm margins.
QHash<QString, QPointF> nameOffsets(const QString& folder)
{
    QHash<QString, QPointF> offsets;
    const PreparedRun prepared = prepareRun(verticalLabelKind(), run());
    for (int page = 0; page < prepared.labels->pageCount(); ++page) {
        const QString pdf = folder + QStringLiteral("alone%1.pdf").arg(page);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printPages(*prepared.labels, printer, {page});
        for (const Placed& p : namesOnSheets(pdf))
            offsets.insert(p.name, p.at - QPointF(10, 10));
    }
    return offsets;
}

// Ink within a quarter of a millimetre of a place on the sheet: a thin line
// through it is found whatever pixel row the rasteriser puts it on.
bool isInk(const QImage& sheet, double dpi, QPointF mm)
{
    const double step = 25.4 / dpi;
    for (double dy = -0.25; dy <= 0.25; dy += step)
        for (double dx = -0.25; dx <= 0.25; dx += step)
            if (qGray(pixelAtMm(sheet, dpi, mm.x() + dx, mm.y() + dy).rgb()) < 200)
                return true;
    return false;
}

} // namespace

class TestLabelRun : public QObject
{
    Q_OBJECT
private slots:
    void init() { run().clear(); }
    void cleanup() { run().clear(); }

    void runKeepsOneEntryPerLabel();
    void placementsReadBackFromPdf_data();
    void placementsReadBackFromPdf();
    void printsLabelsAsStoredWithEachLogoOnce();
    void badRunsPrintNothing_data();
    void badRunsPrintNothing();
    void copiesBeyondTheBoxAreRefused_data();
    void copiesBeyondTheBoxAreRefused();
    void annullaInTheProgressLeavesNoFile();
    void searchAddsMarkedAndAllLabels();
    void previewShowsTheSheetsThePrintMakes();
};

void TestLabelRun::runKeepsOneEntryPerLabel()
{
    LabelRun r;
    r.add(3, QStringLiteral("C"), 2);
    r.add(1, QStringLiteral("A"), 5);
    r.add(3, QStringLiteral("C"), 7); // again: new copies where it stands
    QCOMPARE(r.entries(), (QList<LabelRunEntry>{{3, QStringLiteral("C"), 7}, {1, QStringLiteral("A"), 5}}));
    QCOMPARE(r.totalCopies(), qint64(12));
    QVERIFY(r.move(1, -1));
    QVERIFY(!r.move(0, -1));
    QCOMPARE(r.entries().constFirst().position, 1);
    r.remove(0);
    QCOMPARE(r.entries().size(), 1);
}

void TestLabelRun::placementsReadBackFromPdf_data()
{
    QTest::addColumn<QList<int>>("copies");
    QTest::addColumn<LabelStock>("stock");
    QTest::addColumn<PrinterCalibration>("calibration");
    // Expected: the places (0-based, row by row) each label copy takes, in
    // run order; places past a sheet's last go on the next sheets.
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("places");

    LabelStock plain;
    // A4 holds 2 x 2 vertical labels from (10, 10).
    QTest::newRow("order, copies together, next sheet")
        << QList<int>{2, 1, 3} << plain << PrinterCalibration{}
        << QStringList{"Barolo", "Barolo", "Dolcetto", "Arneis", "Arneis", "Arneis"} << QList<int>{0, 1, 2, 3, 4, 5};
    LabelStock start = plain;
    start.startAt = 3;
    QTest::newRow("start at label 3 across labels")
        << QList<int>{1, 2, 1} << start << PrinterCalibration{}
        << QStringList{"Barolo", "Dolcetto", "Dolcetto", "Arneis"} << QList<int>{2, 3, 4, 5};
    LabelStock gaps;
    gaps.firstMm = {12, 8};
    gaps.gapXMm = 3;
    gaps.gapYMm = 4;
    gaps.cropMarks = true;
    QTest::newRow("first label, gaps and crop marks")
        << QList<int>{1, 1, 1} << gaps << PrinterCalibration{} << QStringList{"Barolo", "Dolcetto", "Arneis"}
        << QList<int>{0, 1, 2};
    QTest::newRow("calibration on every label")
        << QList<int>{1, 2, 2} << gaps << PrinterCalibration{1.5, -2, 1.01, 0.99}
        << QStringList{"Barolo", "Dolcetto", "Dolcetto", "Arneis", "Arneis"} << QList<int>{0, 1, 2, 3, 4};
}

void TestLabelRun::placementsReadBackFromPdf()
{
    if (!haveTool("pdftotext") || !haveTool("pdftoppm"))
        QSKIP("poppler-utils missing");
    QFETCH(QList<int>, copies);
    QFETCH(LabelStock, stock);
    QFETCH(PrinterCalibration, calibration);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, places);
    TestWorld world;
    writeArchive(world);
    setRun(copies);
    const QHash<QString, QPointF> offsets = nameOffsets(world.folder());
    if (!calibration.isIdentity()) {
        Calibrations calibrations;
        calibrations.byPrinter.insert(QStringLiteral("Ufficio"), calibration);
        calibrations.forPdf = QStringLiteral("Ufficio");
        QVERIFY(saveCalibrations(calibrations));
    }
    const QString pdf = world.path(QStringLiteral("serie.pdf"));
    printRunFromWindow(world, pdf, stock);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().messages.value(0).text));

    const QList<Placed> placed = namesOnSheets(pdf);
    QCOMPARE(placed.size(), names.size());
    const int columns = 2, perSheet = 4;
    for (int i = 0; i < names.size(); ++i) {
        const int place = places.at(i);
        const QPointF corner = stock.firstMm + QPointF((place % perSheet) % columns * (kLabelWidth + stock.gapXMm),
                                                       (place % perSheet) / columns * (kLabelHeight + stock.gapYMm));
        const QPointF plain = corner + offsets.value(names.at(i));
        const QPointF expected(calibration.offsetXMm + calibration.scaleX * plain.x(),
                               calibration.offsetYMm + calibration.scaleY * plain.y());
        const QString where = QStringLiteral("copy %1: %2 on sheet %3 at (%4, %5), expected %6 on sheet %7 at (%8, %9)")
                                  .arg(i)
                                  .arg(placed.at(i).name)
                                  .arg(placed.at(i).sheet)
                                  .arg(placed.at(i).at.x())
                                  .arg(placed.at(i).at.y())
                                  .arg(names.at(i))
                                  .arg(place / perSheet)
                                  .arg(expected.x())
                                  .arg(expected.y());
        QVERIFY2(placed.at(i).name == names.at(i) && placed.at(i).sheet == place / perSheet, qPrintable(where));
        QVERIFY2(std::abs(placed.at(i).at.x() - expected.x()) <= kTolerance
                     && std::abs(placed.at(i).at.y() - expected.y()) <= kTolerance,
                 qPrintable(where));
    }
    // A crop mark leads left from the first label's top-left corner, 1 mm off it.
    constexpr double dpi = 400; // an A4 sheet within the image reader's memory limit
    const QImage sheet = pdfPageImage(pdf, 0, int(dpi));
    QVERIFY(!sheet.isNull());
    const QPointF mark = stock.firstMm + QPointF(-3, 0);
    const QPointF markOnPaper(calibration.offsetXMm + calibration.scaleX * mark.x(),
                              calibration.offsetYMm + calibration.scaleY * mark.y());
    QCOMPARE(isInk(sheet, dpi, markOnPaper), stock.cropMarks);
}

void TestLabelRun::printsLabelsAsStoredWithEachLogoOnce()
{
    if (!haveTool("pdftotext") || !haveTool("pdfimages"))
        QSKIP("poppler-utils missing");
    TestWorld world;
    writeArchive(world);
    writeLogo(1, Qt::red);
    writeLogo(2, Qt::green);
    // The third label's logo file cannot be read: the default logo prints.
    QVERIFY(testfiles::write(verticalLabelKind().record.picturePath(QStringLiteral("3")), "not a picture"));
    setRun({3, 3, 3});
    // Another desk changes the first label after it joined the run.
    writeArchive(world, {QStringLiteral("Nebbiolo"), kNames.at(1), kNames.at(2)});
    const QString pdf = world.path(QStringLiteral("serie.pdf"));
    printRunFromWindow(world, pdf, LabelStock{});
    QVERIFY(world.platform().messages.isEmpty());
    const QList<PdfWord> words = pdfWords(pdf);
    const auto count = [&words](const QString& text) {
        return int(std::count_if(words.cbegin(), words.cend(), [&text](const PdfWord& w) { return w.text == text; }));
    };
    QCOMPARE(count(QStringLiteral("Nebbiolo")), 3);
    QCOMPARE(count(QStringLiteral("Barolo")), 0);
    QCOMPARE(count(QStringLiteral("Arneis")), 3);

    // Every picture drawn is one image object of the file, however many
    // labels show it: nine labels, three logos and the layout's own
    // drawing, four objects at most.
    const QStringList rows = reporttest::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .mid(2);
    QSet<QString> objects;
    for (const QString& row : rows) {
        const QStringList columns = row.simplified().split(QLatin1Char(' '));
        if (columns.size() > 10)
            objects.insert(columns.at(10)); // the object number
    }
    QVERIFY2(rows.size() >= 9, qPrintable(QString::number(rows.size())));
    QVERIFY2(objects.size() <= 4, qPrintable(rows.join(QLatin1Char('\n'))));
}

void TestLabelRun::badRunsPrintNothing_data()
{
    QTest::addColumn<QList<int>>("copies");
    QTest::addColumn<int>("archived"); // labels left in the archive
    QTest::addColumn<QString>("message");
    QTest::newRow("no labels") << QList<int>{} << 3
                               << QStringLiteral("Attenzione: la serie di stampa non contiene copie da stampare.\r\n\r\n"
                                                 "Aggiungere alla serie almeno un'etichetta con il numero di copie "
                                                 "desiderato.");
    QTest::newRow("label beyond the archive")
        << QList<int>{2, 1, 4} << 2
        << QStringLiteral("Attenzione: l'etichetta \"Vino Arneis\" (scheda n. 3) non si trova più in archivio.\r\n\r\n"
                          "Togliere l'etichetta dalla serie e ripetere la stampa: nulla è stato stampato.");
}

void TestLabelRun::badRunsPrintNothing()
{
    QFETCH(QList<int>, copies);
    QFETCH(int, archived);
    QFETCH(QString, message);
    TestWorld world;
    writeArchive(world);
    setRun(copies);
    writeArchive(world, kNames.mid(0, archived)); // the archive was replaced by a shorter one
    const QString pdf = world.path(QStringLiteral("serie.pdf"));
    printRunFromWindow(world, pdf, LabelStock{});
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages.constFirst().text, message);
    QCOMPARE(world.platform().printDialogs, 0);
    QVERIFY(!QFileInfo::exists(pdf));
}

void TestLabelRun::copiesBeyondTheBoxAreRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("the most") << QStringLiteral("10000") << true;
    QTest::newRow("one more than the box allows") << QStringLiteral("10001") << false;
    QTest::newRow("none") << QStringLiteral("0") << false;
    QTest::newRow("not a number") << QStringLiteral("dieci") << false;
}

void TestLabelRun::copiesBeyondTheBoxAreRefused()
{
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    TestWorld world;
    writeArchive(world);
    setRun({2, 1});
    LabelRunWindow window(verticalLabelKind());
    window.grdSerie->selectRow(1);
    window.txtCopie->setText(typed);
    QTest::keyClick(window.txtCopie, Qt::Key_Return);
    QCOMPARE(run().entries().at(1).copies, taken ? typed.toInt() : 1);
    QCOMPARE(world.platform().messages.size(), taken ? 0 : 1);
    if (!taken)
        QCOMPARE(world.platform().messages.constFirst().text, runCopiesMessage());
    QCOMPARE(window.grdSerie->item(1, 1)->text(), taken ? typed : QStringLiteral("1"));
}

void TestLabelRun::annullaInTheProgressLeavesNoFile()
{
    TestWorld world;
    writeArchive(world);
    setRun({30, 30, 40}); // 25 sheets
    world.platform().cancelProgressAt = 3;
    const QString pdf = world.path(QStringLiteral("serie.pdf"));
    printRunFromWindow(world, pdf, LabelStock{});
    QCOMPARE(world.platform().progressSteps, 25);
    QCOMPARE(world.platform().progressDone, 3);
    QVERIFY(world.platform().messages.isEmpty());
    QVERIFY(!QFileInfo::exists(pdf));
}

void TestLabelRun::searchAddsMarkedAndAllLabels()
{
    TestWorld world;
    writeArchive(world);
    TfrmTrovaEtichetteVer window;
    window.show();
    // Listed in order: Vino Arneis, Vino Barolo, Vino Dolcetto.
    window.lstRecords->selectionModel()->select(window.lstRecords->model()->index(2, 0), QItemSelectionModel::Select);
    window.lstRecords->selectionModel()->select(window.lstRecords->model()->index(0, 0), QItemSelectionModel::Select);
    window.txtCopie->setText(QStringLiteral("5"));
    window.btnAggiungi->click();
    QCOMPARE(run().entries(), (QList<LabelRunEntry>{{3, QStringLiteral("Vino Arneis"), 5},
                                                    {2, QStringLiteral("Vino Dolcetto"), 5}}));
    window.txtCopie->setText(QStringLiteral("2"));
    window.btnAggiungiTutte->click();
    QCOMPARE(run().entries(), (QList<LabelRunEntry>{{3, QStringLiteral("Vino Arneis"), 2},
                                                    {2, QStringLiteral("Vino Dolcetto"), 2},
                                                    {1, QStringLiteral("Vino Barolo"), 2}}));
    LabelRunWindow runWindow(verticalLabelKind());
    QCOMPARE(runWindow.grdSerie->rowCount(), 3);
    QCOMPARE(runWindow.grdSerie->item(2, 0)->text(), QStringLiteral("Vino Barolo"));
    QCOMPARE(runWindow.lblFogli->text(), QStringLiteral("Etichette: 3    Copie: 6    Fogli A4: 2"));
}

void TestLabelRun::previewShowsTheSheetsThePrintMakes()
{
    TestWorld world;
    writeArchive(world);
    setRun({3, 2, 1});
    int sheets = -1;
    QStringList firstSheet;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* window = qobject_cast<DocumentWindow*>(&dialog))
            window->btnStampaClick();
        if (auto* preview = qobject_cast<ReportPreview*>(&dialog)) {
            sheets = preview->report().pageCount();
            for (const PlacedView& placed : preview->report().pages.front().views)
                if (placed.view->name() == QLatin1String("txtNome"))
                    firstSheet << QString::number(placed.view->geometry.left() / kUnitsPerMm, 'f', 1);
        }
        return 1;
    };
    LabelRunWindow window(verticalLabelKind());
    window.btnAnteprima->click();
    QCOMPARE(sheets, 2);
    QCOMPARE(firstSheet.size(), 4); // the first sheet's four places, two columns
    QCOMPARE(firstSheet.at(0), firstSheet.at(2));
    QVERIFY(firstSheet.at(0) != firstSheet.at(1));
}

QTEST_MAIN(TestLabelRun)
#include "tst_labelrun.moc"
