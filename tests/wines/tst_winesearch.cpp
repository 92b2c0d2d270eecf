#include "FramedEdit.h"
#include "EditFlow.h"
#include "PictureBox.h"
#include "RecordArchive.h"
#include "RecordListView.h"
#include "ScriptedPlatform.h"
#include "TrovaVini.h"
#include "WineRecord.h"
#include "WineSearch.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vinarca;

namespace {
// A wine with the given fields set (by field name), the rest empty.
QByteArray wine(const QMap<QString, QString>& fields)
{
    QByteArray record = wineLayout().emptyRecord();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        wineLayout().encodeField(record, wineKind().field(it.key()), it.value());
    return record;
}

void writeArchive(const QList<QByteArray>& records)
{
    QFile f(wineArchivePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    for (const QByteArray& r : records)
        f.write(r);
}

const QString Nome = QStringLiteral("Nome"), Produttore = QStringLiteral("Produttore"),
              Regione = QStringLiteral("Regione"), Annata = QStringLiteral("Annata"),
              Fornitore = QStringLiteral("Fornitore"), Giacenza = QStringLiteral("Giacenza"),
              Prezzo = QStringLiteral("Prezzo"), Note = QStringLiteral("Note");
} // namespace

class TestWineSearch : public QObject
{
    Q_OBJECT
private slots:
    void searchLine_data();
    void searchLine();
    void matching_data();
    void matching();
    void searchWindowFlow();
    void emptyArchive();
    void unreadableArchiveKeepsTheCriteriaPanel();
    void doubleClickLoadsTheLastEqualRecord();
    void printHandsTheLinesOver();
    void printedListPages();
    void bigResultListIsUsedLikeAnyOther();
};

void TestWineSearch::searchLine_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("line");
    QTest::newRow("columns padded")
        << wine({{Nome, "Barolo"}, {Produttore, "Borgogno"}, {Fornitore, "Rossi"}, {Giacenza, "12"}, {Prezzo, "25,50"}})
        << QStringLiteral("Barolo                          Produttore: Borgogno                        Fornitore: "
                          "Rossi                           Giacenza: 12          € 25,50");
    QTest::newRow("long name cut at 30, stock of 10 fills its column")
        << wine({{Nome, "Verdicchio dei Castelli di Jesi Classico"}, {Giacenza, "1234567890"}})
        << QStringLiteral("Verdicchio dei Castelli di Jes  Produttore:                                 Fornitore: "
                          "                                Giacenza: 1234567890  € ");
    // Blanks and control characters around a stored text are not part of
    // its column; accented letters and the euro sign are kept.
    QByteArray padded = wine({{Nome, "Nebbiolo"}, {Prezzo, "9,90"}});
    const int nome = wineLayout().field(wineKind().field(Nome)).offset;
    const QByteArray stored = QByteArray("  \tCh\xe2teau \x80  \x01", 15);
    padded[nome] = char(stored.size());
    padded.replace(nome + 1, stored.size(), stored);
    QTest::newRow("stored blanks trimmed, code page characters kept")
        << padded
        << QStringLiteral("Château €                       Produttore:                                 Fornitore: "
                          "                                Giacenza:             € 9,90");
}

void TestWineSearch::searchLine()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, line);
    QCOMPARE(WineSearchLine(record), line);
    // The search window's list makes the same line from the archive.
    TestWorld world;
    writeArchive({record});
    QCOMPARE(searchWines({}), QStringList{line});
}

void TestWineSearch::matching_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QList<WineCriterion>>("criteria");
    QTest::addColumn<bool>("listed");
    const QByteArray barolo = wine({{Nome, "Barolo Cannubi"}, {Regione, "Piemonte"}, {Note, "Ottimo con il TARTUFO"}});
    QTest::newRow("no criterion lists everything") << barolo << QList<WineCriterion>{} << true;
    // Only criteria with a text beyond blanks are counted, yet every
    // criterion with any text can match: a blank criterion is never required
    // but can stand in for a filled one that fails.
    QTest::newRow("a blank criterion alone lists everything") << barolo << QList<WineCriterion>{{Nome, "   "}} << true;
    QTest::newRow("a blank criterion found stands in for a failing one")
        << wine({{Nome, "Barolo"}, {Regione, "Alto  Adige"}})
        << QList<WineCriterion>{{Nome, "xyz"}, {Regione, "  "}} << true;
    QTest::newRow("a blank criterion not found")
        << wine({{Nome, "Barolo"}, {Regione, "Piemonte"}})
        << QList<WineCriterion>{{Nome, "xyz"}, {Regione, "  "}} << false;
    // It is stored as '?', which must not make it match a real '?'.
    QTest::newRow("a character outside the code page never matches")
        << wine({{Nome, "Barolo ?"}}) << QList<WineCriterion>{{Nome, QStringLiteral("Barolo \u2713")}} << false;
    QTest::newRow("substring in any case of A-Z") << barolo << QList<WineCriterion>{{Nome, "cANNUB"}} << true;
    QTest::newRow("two criteria combine with AND")
        << barolo << QList<WineCriterion>{{Note, "tartufo"}, {Regione, "piem"}} << true;
    QTest::newRow("one of two failing") << barolo << QList<WineCriterion>{{Note, "tartufo"}, {Regione, "toscana"}}
                                        << false;
    QTest::newRow("criterion searches its own field only") << barolo << QList<WineCriterion>{{Regione, "barolo"}}
                                                           << false;
    QTest::newRow("trailing blank must be in the field") << barolo << QList<WineCriterion>{{Nome, "barolo "}} << true;
    QTest::newRow("trailing blank at the field's end") << barolo << QList<WineCriterion>{{Nome, "cannubi "}} << false;
    QTest::newRow("accented capital matches only itself")
        << wine({{Nome, "ÈTNA rosso"}}) << QList<WineCriterion>{{Nome, "ètna"}} << false;
    QTest::newRow("accented capital typed as stored") << wine({{Nome, "ÈTNA rosso"}})
                                                      << QList<WineCriterion>{{Nome, "Ètna"}} << true;
}

void TestWineSearch::matching()
{
    QFETCH(QByteArray, record);
    QFETCH(QList<WineCriterion>, criteria);
    QFETCH(bool, listed);
    QCOMPARE(WineMatcher(criteria).matches(record), listed);
}

void TestWineSearch::searchWindowFlow()
{
    TestWorld world;
    writeArchive({wine({{Nome, "Soave"}, {Regione, "Veneto"}}), wine({{Nome, "Barolo"}, {Regione, "Piemonte"}}),
                  wine({{Nome, "Barbaresco"}, {Regione, "Piemonte"}})});
    TfrmTrovaVini window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.size(), QSize(862, 560));
    QVERIFY(window.panAvvio->isVisible());
    QVERIFY(!window.panContainer->isVisible());
    QCOMPARE(QApplication::focusWidget(), window.txtNome);

    // Return walks the criteria in table order and wraps.
    for (const char* next : {"txtProduttore", "txtDesignazione", "txtFornitore", "txtNazione", "txtRegione",
                             "txtZona", "txtCantina", "txtAnnata", "txtNote", "txtNome"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("effCampo01"))->isVisible());

    window.txtRegione->setText(QStringLiteral("piemonte"));
    QTest::mouseClick(window.btnCerca, Qt::LeftButton);
    QVERIFY(window.panContainer->isVisible());
    QVERIFY(!window.panAvvio->isVisible());
    QCOMPARE(window.lstRecords->count(), 2);
    QVERIFY(window.lstRecords->text(0).startsWith(QStringLiteral("Barbaresco")));
    QCOMPARE(window.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 2 schede."));
    QCOMPARE(window.lblConta->text(), QStringLiteral("1"));
    QCOMPARE(QApplication::focusWidget(), window.txtTrova);

    // Find cycles through the matches.
    window.txtTrova->setText(QStringLiteral("BAR"));
    window.btnTrova->click();
    QCOMPARE(window.lstRecords->currentRow(), 0);
    window.btnTrova->click();
    QCOMPARE(window.lstRecords->currentRow(), 1);
    window.btnTrova->click();
    QCOMPARE(window.lstRecords->currentRow(), 0);
    // Return in the find box only moves to Trova.
    window.txtTrova->setFocus();
    QTest::keyClick(window.txtTrova, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window.btnTrova);
    QCOMPARE(window.lstRecords->currentRow(), 0);
    QVERIFY(world.platform().messages.isEmpty());
}

void TestWineSearch::emptyArchive()
{
    TestWorld world;
    TfrmTrovaVini window;
    window.show();
    window.btnCercaClick();
    QVERIFY(QFile::exists(wineArchivePath()));
    QCOMPARE(window.lstRecords->count(), 0);
    QCOMPARE(window.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 0 schede."));
    window.btnTrovaClick();
    QCOMPARE(world.platform().messages.size(), 1);
    QVERIFY(world.platform().messages[0].plain);
    QCOMPARE(world.platform().lastMessage(), QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
}

void TestWineSearch::unreadableArchiveKeepsTheCriteriaPanel()
{
    TestWorld world;
    // A folder where the archive should be: it cannot be opened.
    QVERIFY(QDir().mkpath(wineArchivePath()));
    TfrmTrovaVini window;
    window.show();
    QTest::mousePress(window.btnCerca, Qt::LeftButton);
    QVERIFY(window.lblAttendere->isVisible());
    QTest::mouseRelease(window.btnCerca, Qt::LeftButton);
    QCOMPARE(world.platform().messages.size(), 1);
    QVERIFY(world.platform().messages[0].plain);
    QCOMPARE(world.platform().lastMessage(), accessFailureMessage());
    QVERIFY(window.panAvvio->isVisible());
    QVERIFY(window.lblAttendere->isVisible());
}

void TestWineSearch::doubleClickLoadsTheLastEqualRecord()
{
    TestWorld world;
    const QByteArray twin = wine({{Nome, "Barolo"}, {Produttore, "Borgogno"}, {Annata, "2015"}});
    const QByteArray twinLater = wine({{Nome, "Barolo"}, {Produttore, "Borgogno"}, {Annata, "2016"}});
    writeArchive({twin, wine({{Nome, "Asti"}}), twinLater});
    TfrmTrovaVini window;
    window.lblMemory->setText(QStringLiteral("vini"));
    QByteArray loaded;
    qint64 position = 0;
    int calls = 0;
    window.setLoader([&](const QByteArray& record, qint64 at) {
        loaded = record;
        position = at;
        ++calls;
    });
    window.show();
    window.btnCercaClick();
    QCOMPARE(window.lstRecords->count(), 3);
    window.lstRecords->setCurrentRow(1); // one of the two identical Barolo lines
    window.lstRecordsDblClick();
    QCOMPARE(calls, 1);
    QCOMPARE(position, qint64(3));
    QCOMPARE(wineLayout().decodeField(loaded, wineKind().field(Annata)), QStringLiteral("2016"));
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(!window.isVisible());

    // With another routing marker nothing is loaded, the window still closes.
    TfrmTrovaVini other;
    other.setLoader([&](const QByteArray&, qint64) { ++calls; });
    other.show();
    other.btnCercaClick();
    other.lstRecords->setCurrentRow(0);
    other.lstRecordsDblClick();
    QCOMPARE(calls, 1);
    QVERIFY(!other.isVisible());
}

void TestWineSearch::printHandsTheLinesOver()
{
    TestWorld world;
    writeArchive({wine({{Nome, "Soave"}}), wine({{Nome, "Asti"}})});
    TfrmTrovaVini window;
    QStringList printed;
    window.setListPrinter([&](QWidget*, const QStringList& lines) { printed = lines; });
    window.show();
    window.btnCercaClick();
    window.btnStampa->click();
    QCOMPARE(printed.size(), 2);
    QVERIFY(printed[0].startsWith(QStringLiteral("Asti")));
}

void TestWineSearch::printedListPages()
{
    TestWorld world;
    QList<QByteArray> wines;
    for (int i = 0; i < 100; ++i)
        wines << wine({{Nome, QStringLiteral("Vino [%1]").arg(i, 3, 10, QLatin1Char('0'))}});
    writeArchive(wines);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("riepilogo.pdf"));
    int pages = 0;
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        pages = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    TfrmTrovaVini window;
    window.show();
    window.btnCercaClick();
    window.btnStampaClick();
    QVERIFY(world.platform().messages.isEmpty());
    // 100 lines of 3.39 mm do not fit on one landscape page of 190 mm.
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished());
    const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(infoText.contains(QStringLiteral("842 x 595")), qPrintable(infoText)); // A4 landscape
    QVERIFY(infoText.contains(QStringLiteral("Pages:           %1").arg(pages)));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QCOMPARE(printed.count(QStringLiteral("Riepilogo vini in catalogo")), 1);
    QVERIFY(printed.contains(QStringLiteral("Vino [000]"))); // brackets printed as they are
    QVERIFY(printed.contains(QStringLiteral("Vino [099]")));
    // The footer, with today's date, once, after the list.
    const QString footer = QStringLiteral("Stampa eseguita in data ") + shortDateText(QDate::currentDate());
    QCOMPARE(printed.count(footer), 1);
    QVERIFY(printed.indexOf(footer) > printed.indexOf(QStringLiteral("Vino [099]")));
}

// Twenty thousand wines: the list shows only the rows on screen, yet every
// line is there to select, find, open and print, in list order.
void TestWineSearch::bigResultListIsUsedLikeAnyOther()
{
    TestWorld world;
    constexpr int kWines = 20000;
    QList<QByteArray> wines;
    // In reverse order of name, so the list order is not the archive's.
    for (int i = kWines - 1; i >= 0; --i)
        wines << wine({{Nome, QStringLiteral("Vino %1 Più").arg(i, 5, 10, QLatin1Char('0'))},
                       {Annata, QString::number(1990 + i % 30)},
                       {Prezzo, QStringLiteral("%1,00").arg(i)}});
    writeArchive(wines);
    TfrmTrovaVini window;
    window.lblMemory->setText(QStringLiteral("vini"));
    qint64 loadedAt = 0;
    window.setLoader([&](const QByteArray&, qint64 at) { loadedAt = at; });
    QStringList printed;
    window.setListPrinter([&](QWidget*, const QStringList& lines) { printed = lines; });
    window.show();
    QTest::mouseClick(window.btnCerca, Qt::LeftButton);
    QCoreApplication::processEvents(); // the list laid out and painted, as the user sees it
    QCOMPARE(window.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 20000 schede."));
    QCOMPARE(window.lstRecords->count(), kWines);
    QCOMPARE(window.lstRecords->text(kWines - 1).left(16), QStringLiteral("Vino 19999 Più  "));

    // Printing hands over every line, as the search made them.
    window.btnStampa->click();
    QCOMPARE(printed, searchWines({}));
    QCOMPARE(printed.size(), kWines);
    QVERIFY(printed.last().endsWith(QStringLiteral("€ 19999,00")));

    // The keyboard and Find reach rows far down the list.
    window.lstRecords->setFocus();
    QTest::keyClick(window.lstRecords, Qt::Key_End);
    QCOMPARE(window.lstRecords->currentRow(), kWines - 1);
    window.txtTrova->setText(QStringLiteral("vino 12345"));
    window.btnTrova->click();
    QCOMPARE(window.lstRecords->currentRow(), 12345);
    QVERIFY(window.lstRecords->selectionModel()->isRowSelected(12345, {}));

    // A double click on a row scrolled into view opens its wine: "Vino
    // 15000" is record 20000 - 15000 of the archive.
    const QModelIndex row = window.lstRecords->model()->index(15000, 0);
    window.lstRecords->scrollTo(row);
    const QPoint at = window.lstRecords->visualRect(row).center();
    QTest::mouseClick(window.lstRecords->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.lstRecords->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(loadedAt, qint64(kWines - 15000));
    QVERIFY(!window.isVisible());
    QCOMPARE(window.lstRecords->count(), 0); // closing empties the list
}

QTEST_MAIN(TestWineSearch)
#include "tst_winesearch.moc"
