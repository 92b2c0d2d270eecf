#include "ExportWindow.h"
#include "LabelRecord.h"
#include "PictureButton.h"
#include "LabelWindows.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "SpreadsheetExport.h"
#include "TestFiles.h"
#include "Vini.h"
#include "WineRecord.h"

#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace vinarca;

namespace {

const QString kAsk = QStringLiteral("L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero "
                                    "di schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString kDone = QStringLiteral(
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?");

const RecordKind& kindOf(const QString& which)
{
    return which == "wines" ? wineKind() : which == "vertical" ? verticalLabelKind().record : horizontalLabelKind().record;
}

std::unique_ptr<ExportWindow> openWindow(const QString& which)
{
    std::unique_ptr<ExportWindow> window;
    if (which == "wines")
        window = std::make_unique<TfrmExpVini>(wineKind(), nullptr);
    else if (which == "vertical")
        window = std::make_unique<TfrmExpVerticali>(verticalLabelKind().record, nullptr);
    else
        window = std::make_unique<TfrmExpOrizzontali>(horizontalLabelKind().record, nullptr);
    window->show();
    return window;
}

// Appends records whose first exported field holds each name and whose
// second holds " due " (stored trimmed).
void appendRecords(const QString& which, const QStringList& names)
{
    const RecordKind& kind = kindOf(which);
    const QList<FieldFacts> columns = kind.exportColumns();
    RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
    for (const QString& name : names) {
        QByteArray record = kind.layout->emptyRecord();
        kind.layout->encodeField(record, kind.field(columns.at(0).field), name);
        kind.layout->encodeField(record, kind.field(columns.at(1).field), QStringLiteral(" due "));
        archive.append(record);
    }
}

QByteArray fileOf(const TestWorld& world, const ExportWindow& window)
{
    return testfiles::read(world.path(window.objectName() == "frmExpVini" ? "Catalogo_Vini.xls"
                                      : window.objectName() == "frmExpVerticali" ? "Etichette_Verticali.xls"
                                                                                  : "Etichette_Orizzontali.xls"));
}

QByteArray cell(const QByteArray& text)
{
    return "<td class=t>" + text + "</td>";
}

} // namespace

class TestExportWindow : public QObject
{
    Q_OBJECT
private slots:
    void gridShowsTheArchive_data();
    void gridShowsTheArchive();
    void emptyArchiveKeepsTenEmptyRows();
    void exportWritesTheGridAsEditedAndOffersToOpen_data();
    void exportWritesTheGridAsEditedAndOffersToOpen();
    void failedExportKeepsThePreviousFileAndSaysSo_data();
    void failedExportKeepsThePreviousFileAndSaysSo();
    void anEditStillOpenInTheGridIsExported();
    void editorsOpenTheirExport_data();
    void editorsOpenTheirExport();
};

void TestExportWindow::gridShowsTheArchive_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("editable"); // one letter per grid column after N.: y editable, n not
    QTest::newRow("wines") << "wines" << " Esporta catalogo vini in Microsoft Excel" << "nnnnnnnnnyyyyyyyyyyyyyyyy";
    QTest::newRow("vertical") << "vertical" << " Esportazione archivio etichette in Microsoft Excel"
                              << "nnnyyyynnynnny";
    QTest::newRow("horizontal") << "horizontal" << " Esportazione archivio etichette in Microsoft Excel"
                                << "nnnyyyynnynnny";
}

void TestExportWindow::gridShowsTheArchive()
{
    QFETCH(QString, which);
    QFETCH(QString, caption);
    QFETCH(QString, editable);
    TestWorld world;
    appendRecords(which, {"Primo", "Secondo", "Terzo"});
    auto window = openWindow(which);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), QSize(862, 560));
    auto* grid = window->findChild<QTableView*>("grdRecords");
    QVERIFY(grid);
    QAbstractItemModel* model = grid->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->columnCount(), editable.size() + 1);
    QCOMPARE(model->headerData(0, Qt::Horizontal), QVariant("N."));
    QCOMPARE(grid->columnWidth(0), 60);
    for (int r = 0; r < 3; ++r)
        QCOMPARE(model->index(r, 0).data().toString(), QString::number(r + 1));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("Secondo"));
    QCOMPARE(model->index(2, 2).data().toString(), QStringLiteral("due"));
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    for (int c = 0; c < editable.size(); ++c)
        QCOMPARE(bool(model->flags(model->index(0, c + 1)) & Qt::ItemIsEditable), editable.at(c) == 'y');
}

void TestExportWindow::emptyArchiveKeepsTenEmptyRows()
{
    TestWorld world;
    world.platform().answers << MessageAnswer::Yes << MessageAnswer::No;
    auto window = openWindow("wines");
    QAbstractItemModel* model = window->grdRecords->model();
    QCOMPARE(model->rowCount(), 10);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            QVERIFY(model->index(r, c).data().toString().isEmpty());
    window->cmdEsporta->click();
    const QByteArray bytes = fileOf(world, *window);
    QCOMPARE(bytes.count("<tr>"), 11);
    QCOMPARE(bytes.count(cell("")), 10 * 25);
}

void TestExportWindow::exportWritesTheGridAsEditedAndOffersToOpen_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("exportIt");
    QTest::addColumn<bool>("openIt");
    QTest::newRow("wines: export, open") << "wines" << true << true;
    QTest::newRow("vertical: export, do not open") << "vertical" << true << false;
    QTest::newRow("horizontal: do not export") << "horizontal" << false << false;
}

void TestExportWindow::exportWritesTheGridAsEditedAndOffersToOpen()
{
    QFETCH(QString, which);
    QFETCH(bool, exportIt);
    QFETCH(bool, openIt);
    TestWorld world;
    appendRecords(which, {"Primo", "Secondo"});
    auto window = openWindow(which);
    QAbstractItemModel* model = window->grdRecords->model();
    // The last column (Note) is editable in every variant; the edit is trimmed on the way out.
    const int note = model->columnCount() - 1;
    QVERIFY(model->setData(model->index(1, note), QStringLiteral("  <b>&\"x\"</b> "), Qt::EditRole));
    QVERIFY(!model->setData(model->index(1, 1), QStringLiteral("cambiato"), Qt::EditRole));

    world.platform().answers << (exportIt ? MessageAnswer::Yes : MessageAnswer::No)
                             << (openIt ? MessageAnswer::Yes : MessageAnswer::No);
    window->cmdEsporta->click();

    QStringList expectedMessages{kAsk};
    if (exportIt)
        expectedMessages << kDone;
    QStringList shown;
    for (const auto& m : world.platform().messages) {
        QCOMPARE(m.kind, MessageKind::Confirmation);
        shown << m.text;
    }
    QCOMPARE(shown, expectedMessages);
    const QByteArray bytes = fileOf(world, *window);
    QCOMPARE(bytes.isEmpty(), !exportIt);
    if (exportIt) {
        QCOMPARE(bytes.count("<tr>"), 3);
        QVERIFY(bytes.contains(cell("Secondo") + cell("due")));
        QVERIFY(bytes.contains(cell("&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;") + "</tr></table>"));
    }
    const QString file = world.path(which == "wines" ? "Catalogo_Vini.xls" : "Etichette_Verticali.xls");
    QCOMPARE(world.platform().shellCommands, openIt ? QStringList{'"' + file + '"'} : QStringList());
    // The archive is only read: the edit never reaches it.
    const ExportSheet stored(kindOf(which));
    QCOMPARE(stored.cell(1, note - 1), QString());
    QVERIFY(window->isVisible());
}

void TestExportWindow::failedExportKeepsThePreviousFileAndSaysSo_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a folder stands where the file goes") << "folder";
    QTest::newRow("the user made the file read-only") << "read-only";
    QTest::newRow("the file is a link out of the program folder") << "link";
}

void TestExportWindow::failedExportKeepsThePreviousFileAndSaysSo()
{
    QFETCH(QString, obstacle);
    TestWorld world;
    appendRecords("wines", {"Primo"});
    auto window = openWindow("wines");
    world.platform().answers << MessageAnswer::Yes << MessageAnswer::No;
    window->cmdEsporta->click();
    const QByteArray first = fileOf(world, *window);
    QVERIFY(!first.isEmpty());
    world.platform().messages.clear();

    const QString path = world.path("Catalogo_Vini.xls");
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath("Catalogo_Vini.xls");
    if (obstacle == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + "/aperto"));
    } else if (obstacle == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else {
        QVERIFY(QFile::rename(path, outsideFile));
        QVERIFY(QFile::link(outsideFile, path));
    }
    world.platform().answers << MessageAnswer::Yes;
    window->cmdEsporta->click();
    QCOMPARE(world.platform().messages.size(), 2);
    QVERIFY(world.platform().messages.at(1).plain);
    QCOMPARE(world.platform().messages.at(1).text,
             QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                            "Accertarsi che il file di Excel non sia già aperto."));
    if (obstacle == QLatin1String("folder")) {
        QVERIFY(QFileInfo(path).isDir());
    } else if (obstacle == QLatin1String("read-only")) {
        QCOMPARE(testfiles::read(path), first);
    } else {
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(testfiles::read(outsideFile), first);
    }
    QVERIFY(world.platform().shellCommands.isEmpty());
    QVERIFY(window->isVisible());
}

void TestExportWindow::anEditStillOpenInTheGridIsExported()
{
    TestWorld world;
    appendRecords("wines", {"Primo"});
    auto window = openWindow("wines");
    QTableView* grid = window->grdRecords;
    const QModelIndex note = grid->model()->index(0, grid->model()->columnCount() - 1);
    grid->setCurrentIndex(note);
    grid->edit(note);
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("scritto e non confermato"));
    world.platform().answers << MessageAnswer::Yes << MessageAnswer::No;
    window->cmdEsporta->click();
    QVERIFY(fileOf(world, *window).contains(cell("scritto e non confermato") + "</tr>"));
}

void TestExportWindow::editorsOpenTheirExport_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("window");
    QTest::newRow("wines") << "wines" << "frmExpVini";
    QTest::newRow("vertical") << "vertical" << "frmExpVerticali";
    QTest::newRow("horizontal") << "horizontal" << "frmExpOrizzontali";
}

void TestExportWindow::editorsOpenTheirExport()
{
    QFETCH(QString, which);
    QFETCH(QString, window);
    TestWorld world;
    std::unique_ptr<QWidget> editor;
    if (which == "wines")
        editor = std::make_unique<TfrmVini>();
    else if (which == "vertical")
        editor = std::make_unique<TfrmVerticali>();
    else
        editor = std::make_unique<TfrmOrizzontali>();
    QStringList opened;
    int rows = 0;
    bool ownedByEditor = false;
    world.platform().onDialog = [&](QDialog& dialog) {
        opened << dialog.objectName();
        ownedByEditor = dialog.parent() == editor.get();
        dialog.show();
        rows = dialog.findChild<QTableView*>("grdRecords")->model()->rowCount();
        return 0;
    };
    appendRecords(which, {"Uno", "Due"});
    editor->findChild<QAbstractButton*>("cmdEsporta")->click();
    QCOMPARE(opened, QStringList{window});
    QCOMPARE(rows, 2);
    QVERIFY(ownedByEditor);
    QVERIFY(editor->findChildren<ExportWindow*>().isEmpty());
}

QTEST_MAIN(TestExportWindow)
#include "tst_exportwindow.moc"
