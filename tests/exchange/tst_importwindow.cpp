#include "ExportWindow.h"
#include "ImportWindow.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "WineRecord.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace vinarca;

namespace {

qint64 storedCount()
{
    return RecordArchive(wineKind().archivePath(), *wineKind().layout, RecordArchive::Access::Read).count();
}

QString storedField(qint64 position, const QString& field)
{
    RecordArchive archive(wineKind().archivePath(), *wineKind().layout, RecordArchive::Access::Read);
    QByteArray record;
    archive.readAt(position, record);
    return wineKind().layout->decodeField(record, wineKind().field(field));
}

} // namespace

class TestImportWindow : public QObject
{
    Q_OBJECT
private slots:
    void importFromTheExportWindow();
    void undoOnlyWhileNothingWasSaved();
};

void TestImportWindow::importFromTheExportWindow()
{
    TestWorld world;
    ScriptedPlatform& platform = world.platform();
    // Windows-1252, tab-separated, a column the user moves to another field.
    testfiles::write(world.path("negozio.csv"), "Vino\tCantina\tCodice\tPrezzo \x80\r\nN\xE9rello\tRossi\t"
                                                "A1\t12,50\r\n\tSenza nome\tA2\t3\r\n");
    platform.openAnswers.enqueue(world.path("negozio.csv"));
    platform.answers.enqueue(MessageAnswer::Yes);
    QStringList headers;
    platform.onDialog = [&](QDialog& dialog) {
        auto& window = dynamic_cast<ImportWindow&>(dialog);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdSfoglia"), Qt::LeftButton);
        auto* encoding = window.findChild<QComboBox*>("cboCodifica");
        auto* delimiter = window.findChild<QComboBox*>("cboSeparatore");
        auto* grid = window.findChild<QTableWidget*>("grdAnteprima");
        if (encoding->currentIndex() != 1 || delimiter->currentIndex() != 2 || grid->columnCount() != 4
            || grid->item(0, 0)->text() != QString::fromUtf8("Nérello"))
            return 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            headers << grid->horizontalHeaderItem(c)->text();
        // "Cantina" is the cellar field by its caption; this shop means the producer.
        window.findChild<QComboBox*>("cboColonna")->setCurrentIndex(1);
        auto* field = window.findChild<QComboBox*>("cboCampo");
        field->setFocus();
        field->setCurrentIndex(field->findData(QStringLiteral("Produttore")));
        emit field->activated(field->currentIndex());
        QTest::mouseClick(window.findChild<QPushButton*>("cmdVerifica"), Qt::LeftButton);
        auto* results = window.findChild<QListWidget*>("lstRisultati");
        if (results->count() != 2)
            return 0;
        headers << results->item(1)->text();
        QTest::mouseClick(window.findChild<QPushButton*>("cmdImporta"), Qt::LeftButton);
        return 0;
    };
    TfrmExpVini exporter(wineKind(), nullptr);
    exporter.show();
    QVERIFY(exporter.cmdImporta);
    QTest::mouseClick(exporter.cmdImporta, Qt::LeftButton);
    QCOMPARE(headers, (QStringList{QString::fromUtf8("Vino\n→ Nome vino"), QString::fromUtf8("Cantina\n→ Cantina"),
                                   QString::fromUtf8("Codice\n→ (non importare)"), QString::fromUtf8("Prezzo €\n→ Prezzo"),
                                   QString::fromUtf8("Riga 3: manca il campo \"Nome vino\": la riga non sarà importata.")}));
    QCOMPARE(platform.messages.size(), 2);
    QCOMPARE(platform.messages.at(0).text, QString::fromUtf8("Schede da importare nel catalogo: 1.\r\n\r\n"
                                                             "L'importazione si potrà annullare finché non si salva "
                                                             "un'altra scheda. Si vuole importare adesso?"));
    QCOMPARE(platform.lastMessage(), QString::fromUtf8("Importazione completata.\r\n\r\nSchede aggiunte: 1; schede aggiornate: 0."));
    QCOMPARE(storedCount(), 1);
    QCOMPARE(storedField(1, "Produttore"), "Rossi");
    QCOMPARE(storedField(1, "Cantina"), "");
    QCOMPARE(storedField(1, "Prezzo"), "12,50");
    // The grid behind shows the new wine, and the choice is remembered.
    QCOMPARE(exporter.model()->sheet().cell(0, 0), QString::fromUtf8("Nérello"));
    QCOMPARE(matchColumns(wineKind(), {"Cantina"}, loadRememberedColumns(wineKind())), QStringList{"Produttore"});
}

void TestImportWindow::undoOnlyWhileNothingWasSaved()
{
    TestWorld world;
    ScriptedPlatform& platform = world.platform();
    testfiles::write(world.path("a.csv"), "Vino;Produttore\nBarolo;Rossi\n");
    ImportWindow window(wineKind(), nullptr);
    window.show();
    window.openFile(world.path("a.csv"));
    platform.answers.enqueue(MessageAnswer::Yes);
    QTest::mouseClick(window.cmdImporta, Qt::LeftButton);
    QCOMPARE(storedCount(), 1);
    platform.answers.enqueue(MessageAnswer::Yes);
    QTest::mouseClick(window.cmdAnnullaImportazione, Qt::LeftButton);
    QCOMPARE(platform.lastMessage(), QString::fromUtf8("L'ultima importazione è stata annullata."));
    QCOMPARE(storedCount(), 0);
    QTest::mouseClick(window.cmdAnnullaImportazione, Qt::LeftButton);
    QVERIFY(platform.lastMessage().startsWith(QString::fromUtf8("Attenzione: non c'è un'importazione da annullare.")));
    QCOMPARE(platform.messages.last().kind, MessageKind::Warning);
}

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
