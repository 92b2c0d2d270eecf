// The label search windows: the summary line, the list filled on show, find
// in the list, the double click that loads a record into the editor of its
// kind, printing the list, and an archive that cannot be read.

#include "../report/ReportTestSupport.h"
#include "EditFlow.h"
#include "FramedEdit.h"
#include "LabelFixture.h"
#include "LabelSearch.h"
#include "RecordArchive.h"
#include "LabelWindows.h"

#include <QDir>
#include "RecordListView.h"
#include <QPrinter>
#include <QPushButton>

using namespace vinarca;

namespace {

// A record from "Prodotto|Imbottigliatore|Lotto|Prezzo|Note|Nome".
QByteArray labelRecord(const QString& fields)
{
    const QStringList parts = fields.split(QLatin1Char('|'));
    const char* names[] = {"Prodotto", "Imbottigliatore", "Lotto", "Prezzo", "Note", "Nome"};
    const RecordLayout& layout = labelLayout();
    QByteArray record = layout.emptyRecord();
    for (int i = 0; i < parts.size(); ++i)
        layout.encodeField(record, layout.indexOf(QString::fromLatin1(names[i])), parts[i]);
    return record;
}

void writeArchive(const TestWorld& world, const LabelKind& kind, const QStringList& records)
{
    QByteArray bytes;
    for (const QString& r : records)
        bytes += labelRecord(r);
    QVERIFY(testfiles::write(world.path(kind.record.archiveFile), bytes));
}

std::unique_ptr<LabelSearchWindow> makeWindow(const QString& kind)
{
    if (kind == QLatin1String("vertical"))
        return std::make_unique<TfrmTrovaEtichetteVer>();
    return std::make_unique<TfrmTrovaEtichetteOri>();
}

QStringList listed(const LabelSearchWindow& window)
{
    QStringList lines;
    for (int i = 0; i < window.lstRecords->count(); ++i)
        lines << window.lstRecords->text(i);
    return lines;
}

const QString kNotApplicable = QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");

} // namespace

class TestLabelSearch : public QObject
{
    Q_OBJECT

private slots:
    void summaryLine_data();
    void summaryLine();
    void fillAndFind_data();
    void fillAndFind();
    void doubleClickLoadsTheLastEqualRecordWithItsLogo_data();
    void doubleClickLoadsTheLastEqualRecordWithItsLogo();
    void unreadableArchiveIsSaidAndNothingChanges();
    void printsTheListUnderItsTitle();
    void eachListRemembersItsPrintSettings();
};

void TestLabelSearch::summaryLine_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("line");
    QTest::newRow("columns") << "Barolo|Rossi|L12|15,00|riserva"
                             << QStringLiteral("Barolo") + QString(24, u' ') + "  Rossi" + QString(23, u' ')
                                    + "  Lotto: L12" + QString(17, u' ') + QStringLiteral("  Prezzo: € 15,00")
                                    + QString(10, u' ') + "  Note: riserva";
    QTest::newRow("fields trimmed of blanks and controls")
        << " \tBarolo |  Rossi| L12 |15,00 | riserva \t"
        << QStringLiteral("Barolo") + QString(24, u' ') + "  Rossi" + QString(23, u' ') + "  Lotto: L12"
               + QString(17, u' ') + QStringLiteral("  Prezzo: € 15,00") + QString(10, u' ') + "  Note: riserva";
    QTest::newRow("long product cut at 30, notes whole")
        << "Barolo Riserva Cannubi Boschis Vigna|Cantina Sociale del Roero e Langhe|Lotto 2024 numero 0001 bis|"
           "1.234.567,890|note lunghe oltre ogni colonna prevista"
        << QStringLiteral("Barolo Riserva Cannubi Boschis  Cantina Sociale del Roero e   Lotto: Lotto 2024 numero 00"
                          "  Prezzo: € 1.234.567,890    Note: note lunghe oltre ogni colonna prevista");
    QTest::newRow("empty fields keep the columns")
        << "Barolo||||" << QStringLiteral("Barolo") + QString(24, u' ') + "  " + QString(28, u' ') + "  Lotto: "
                               + QString(20, u' ') + QStringLiteral("  Prezzo: € ") + QString(15, u' ') + "  Note: ";
}

void TestLabelSearch::summaryLine()
{
    QFETCH(QString, record);
    QFETCH(QString, line);
    QCOMPARE(LabelSearchLine(labelRecord(record)), line);
}

void TestLabelSearch::fillAndFind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("listedProducts"); // the start of each listed line, in list order
    QTest::addColumn<QStringList>("finds");
    QTest::addColumn<QList<int>>("selected"); // the selected row after each find
    QTest::addColumn<QString>("message");
    forBothKinds([](const QString& kind) {
        const auto row = [&kind](const char* name) -> QTestData& { return QTest::addRow("%s, %s", qPrintable(kind), name) << kind; };
        row("capitals find any case, list sorted")
            << QStringList{"Chianti|Verdi", "Barolo|Rossi", "amarone|Bianchi"}
            << QStringList{"amarone", "Barolo", "Chianti"} << QStringList{"BAR"} << QList<int>{1} << QString();
        row("same text again moves on and wraps")
            << QStringList{"Barolo B", "Chianti", "Barolo A"} << QStringList{"Barolo A", "Barolo B", "Chianti"}
            << QStringList{"barolo", "barolo", "barolo"} << QList<int>{0, 1, 0} << QString();
        row("new text starts again from the top")
            << QStringList{"Barolo A", "Barolo B", "Chianti"} << QStringList{"Barolo A", "Barolo B", "Chianti"}
            << QStringList{"barolo", "barolo", "chianti", "barolo"} << QList<int>{0, 1, 2, 0} << QString();
        row("text in another column, not found keeps the selection")
            << QStringList{"Barolo|Rossi|L12", "Chianti|Verdi|L7"} << QStringList{"Barolo", "Chianti"}
            << QStringList{"lotto: l7", "merlot"} << QList<int>{1, 1} << QString();
        row("accented capitals match only themselves")
            << QStringList{"\u00C8tna rosso", "\u00E8tna bianco"} << QStringList{"\u00C8tna rosso", "\u00E8tna bianco"}
            << QStringList{"\u00E8tna", "\u00C8TNA"} << QList<int>{1, 0} << QString();
        row("blanks are part of the text, empty text matches nothing")
            << QStringList{"Barolo", "Chianti"} << QStringList{"Barolo", "Chianti"}
            << QStringList{"", "chianti  "} << QList<int>{0, 1} << QString();
        row("identical lines both listed") << QStringList{"Barolo|Rossi", "Barolo|Rossi"}
                                           << QStringList{"Barolo", "Barolo"} << QStringList{"rossi", "rossi"}
                                           << QList<int>{0, 1} << QString();
        row("blank product not listed") << QStringList{" |Rossi", "Barolo"} << QStringList{"Barolo"}
                                        << QStringList{"rossi"} << QList<int>{0} << QString();
        row("empty archive") << QStringList{} << QStringList{} << QStringList{"barolo"} << QList<int>{-1}
                             << kNotApplicable;
    });
}

void TestLabelSearch::fillAndFind()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, records);
    QFETCH(QStringList, listedProducts);
    QFETCH(QStringList, finds);
    QFETCH(QList<int>, selected);
    QFETCH(QString, message);
    TestWorld world;
    writeArchive(world, labelKindNamed(kind), records);
    auto window = makeWindow(kind);
    window->show();
    const QStringList lines = listed(*window);
    QCOMPARE(lines.size(), listedProducts.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(lines[i].startsWith(listedProducts[i]), qPrintable(lines[i]));
    QCOMPARE(window->lstRecords->currentRow(), -1);
    QCOMPARE(window->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(lines.size()));
    for (int i = 0; i < finds.size(); ++i) {
        window->txtTrova->setText(finds[i]);
        QTest::mouseClick(window->btnTrova, Qt::LeftButton);
        QCOMPARE(window->lstRecords->currentRow(), selected[i]);
    }
    QCOMPARE(world.platform().lastMessage(), message);
    if (!message.isEmpty())
        QVERIFY(world.platform().messages.constLast().plain);

    // Shown again, the list is read afresh and the find starts over.
    window->hide();
    window->show();
    QCOMPARE(listed(*window), lines);
    QVERIFY(window->txtTrova->text().isEmpty());
}

void TestLabelSearch::doubleClickLoadsTheLastEqualRecordWithItsLogo_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelSearch::doubleClickLoadsTheLastEqualRecordWithItsLogo()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    writeArchive(f.world, f.kind(), {"Chianti|Verdi|L7||| Nome uno", "Barolo|Rossi|L12|15,00|riserva|Nome due",
                                     "Barolo|Rossi|L12|15,00|riserva|Nome tre"});
    QImage logo(120, 60, QImage::Format_RGB32);
    logo.fill(Qt::green);
    QVERIFY(QDir().mkpath(QFileInfo(f.logoPath(3)).path()));
    QVERIFY(logo.save(f.logoPath(3), "JPG"));
    f.type("txtNome", QStringLiteral("modifica non salvata"));
    const QByteArray stored = f.archiveBytes();

    QString opened;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        opened = dialog.objectName();
        auto& window = dynamic_cast<LabelSearchWindow&>(dialog);
        window.show(); // as the modal run shows it: the list fills
        window.lstRecords->setCurrentRow(0); // the first of the two Barolo lines
        window.lstRecordsDblClick();
        return 0;
    };
    f.click("cmdTrova");
    QCOMPARE(opened, kind == QLatin1String("vertical") ? QStringLiteral("frmTrovaEtichetteVer")
                                                       : QStringLiteral("frmTrovaEtichetteOri"));
    QCOMPARE(f.edit("txtNome")->text(), QStringLiteral("Nome tre"));
    QCOMPARE(f.edit("txtProdotto")->text(), QStringLiteral("Barolo"));
    QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("3"));
    const QImage shown = f.window->imgFoto->image();
    QVERIFY(!shown.isNull());
    QVERIFY(reporttest::near(shown.pixelColor(shown.width() / 2, shown.height() / 2), Qt::green, 40));
    QCOMPARE(f.archiveBytes(), stored);
}

void TestLabelSearch::unreadableArchiveIsSaidAndNothingChanges()
{
    TestWorld world;
    // A folder where the archive should be: it cannot be read as a file.
    QVERIFY(QDir().mkpath(world.path(verticalLabelKind().record.archiveFile)));
    auto window = makeWindow(QStringLiteral("vertical"));
    window->show();
    QCOMPARE(window->lstRecords->count(), 0);
    QCOMPARE(world.platform().lastMessage(), accessFailureMessage());
    QVERIFY(QFileInfo(world.path(verticalLabelKind().record.archiveFile)).isDir());
}

void TestLabelSearch::printsTheListUnderItsTitle()
{
    if (!reporttest::haveTool("pdftotext"))
        QSKIP("pdftotext is needed to read the printed list");
    TestWorld world;
    writeArchive(world, horizontalLabelKind(), {"Chianti|Verdi", "Barolo|Rossi"});
    auto window = makeWindow(QStringLiteral("horizontal"));
    window->show();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QVERIFY(window->isVisible()); // the window stays open
    const QList<reporttest::PdfWord> words = reporttest::pdfWords(pdf);
    const auto top = [&](const char* text) {
        for (const reporttest::PdfWord& w : words)
            if (w.text == QLatin1String(text))
                return w.mm.top();
        return -1.0;
    };
    // The title, then the lines in list order.
    QVERIFY(top("Riepilogo") > 0 && top("etichette") == top("Riepilogo") && top("archivio") == top("Riepilogo"));
    QVERIFY(top("Barolo") > top("Riepilogo"));
    QVERIFY(top("Chianti") > top("Barolo"));
}

void TestLabelSearch::eachListRemembersItsPrintSettings()
{
    TestWorld world;
    writeArchive(world, horizontalLabelKind(), {"Chianti|Verdi"});
    writeArchive(world, verticalLabelKind(), {"Barolo|Rossi"});
    QTemporaryDir dir;
    int offeredCopies = 0;
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        offeredCopies = printer.copyCount();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("list.pdf")));
        printer.setCopyCount(2);
        return true;
    };
    world.platform().printChoices.mode = PrintMode::Scale;
    const auto print = [&](const char* kind) {
        auto window = makeWindow(QString::fromLatin1(kind));
        window->show();
        QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    };
    print("horizontal");
    world.platform().printChoices.mode = PrintMode::Default;
    print("vertical"); // the other list: first-run choices
    QCOMPARE(world.platform().offeredPrintChoices.mode, PrintMode::Default);
    QCOMPARE(offeredCopies, 1);
    print("horizontal"); // a new window of the first list: what was chosen for it
    QCOMPARE(world.platform().offeredPrintChoices.mode, PrintMode::Scale);
    QCOMPARE(offeredCopies, 2);
}

QTEST_MAIN(TestLabelSearch)
#include "tst_labelsearch.moc"
