// The wine sheet's print and preview windows, driven through the platform
// seam: what they fill into the sheet, where it goes, and how they fail.

#include "AnteprimaVini.h"
#include "PictureBox.h"
#include "PreparedReport.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "ReportTestSupport.h"
#include "ScriptedPlatform.h"
#include "StampaVini.h"

#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

using namespace vinarca;
using namespace reporttest;

Q_DECLARE_METATYPE(vinarca::SheetAction)

namespace {

WineSheetInput sampleInput()
{
    WineSheetInput input;
    input.fields = {
        {QStringLiteral("txtNome"), QStringLiteral("  Barolo [Riserva] Cannubi \t")},
        {QStringLiteral("txtProduttore"), QStringLiteral("Cantina  Rossi ")},
        {QStringLiteral("txtTel"), QStringLiteral("24")},
        {QStringLiteral("txtPrezzo"), QStringLiteral("42,50")},
        {QStringLiteral("txtSapidita"), QStringLiteral("Sapida")},
        {QStringLiteral("txtNote"), QStringLiteral("[DATE] da decantare")},
    };
    input.photo = QImage(1200, 800, QImage::Format_RGB32);
    input.photo.fill(Qt::red);
    return input;
}

QString memoText(const PreparedPage& page, const char* name)
{
    const PlacedView* placed = page.find(QString::fromLatin1(name));
    return placed ? static_cast<const TMemoView&>(*placed->view).text() : QStringLiteral("<missing>");
}

std::unique_ptr<SchedaVinoWindow> makeWindow(SheetAction action, const WineSheetInput& input)
{
    if (action == SheetAction::Print)
        return std::make_unique<TfrmStampaVini>(input);
    return std::make_unique<TfrmAnteprimaVini>(input);
}

} // namespace

class TestSchedaVino : public QObject
{
    Q_OBJECT

private slots:
    void windowsCarryTheirTexts_data();
    void windowsCarryTheirTexts();
    void previewShowsTheEditorsFieldsTrimmed();
    void emptyPhotoBoxLeavesThePhotoAreaBlank();
    void printSendsOnePageToTheChosenPrinter();
    void cancellingThePrintDialogClosesSilently();
    void cancelButtonOutputsNothing();
    void failuresEndInTheWindowsWarning_data();
    void failuresEndInTheWindowsWarning();
    void openWineSheetShowsAFreshWindowModally_data();
    void openWineSheetShowsAFreshWindowModally();

private:
    QTemporaryDir m_dir;
};

void TestSchedaVino::windowsCarryTheirTexts_data()
{
    QTest::addColumn<SheetAction>("action");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("instructions");
    QTest::newRow("print window") << SheetAction::Print << "frmStampaVini" << " Stampa scheda" << "Stampa"
                                  << QStringList{"Stampa scheda",
                                                 "Questa operazione provvederà a stampare la scheda corrente su carta "
                                                 "con i dati immessi dall'utente.",
                                                 "Premere il pulsante Stampa per dare avvio alla stampa oppure premere "
                                                 "Annulla per annullare l'operazione."};
    QTest::newRow("preview window") << SheetAction::Preview << "frmAnteprimaVini" << " Anteprima di stampa"
                                    << "Mostra anteprima"
                                    << QStringList{"Anteprima di stampa",
                                                   "Questa operazione consente di visualizzare in anteprima i dati che "
                                                   "appariranno in stampa.",
                                                   "Fare clic su Mostra anteprima per visualizzare il documento sullo "
                                                   "schermo prima di eseguire la stampa su carta."};
}

void TestSchedaVino::windowsCarryTheirTexts()
{
    QFETCH(SheetAction, action);
    QFETCH(QString, objectName);
    QFETCH(QString, caption);
    QFETCH(QString, button);
    QFETCH(QStringList, instructions);
    TestWorld world;
    auto window = makeWindow(action, sampleInput());
    window->show();
    QCOMPARE(window->objectName(), objectName);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), QSize(364, 287));
    QVERIFY(!(window->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("btnAnnulla"))->text(), QStringLiteral("Annulla"));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("btnStampa"))->text(), button);
    QStringList shown;
    for (const QLabel* label : window->findChildren<QLabel*>())
        shown << label->text();
    for (const QString& text : instructions)
        QVERIFY2(shown.contains(text), qPrintable(text));
    auto* imgLogo = window->findChild<PictureBox*>(QStringLiteral("imgLogo"));
    auto* imgTemp = window->findChild<PictureBox*>(QStringLiteral("imgTemp"));
    QVERIFY(imgLogo && imgTemp && !imgLogo->isVisible() && !imgTemp->isVisible());
    QVERIFY(!imgTemp->image().isNull());
    QCOMPARE(imgLogo->image().size(), QSize(1200, 800)); // the editor's photo, copied when shown
}

void TestSchedaVino::previewShowsTheEditorsFieldsTrimmed()
{
    TestWorld world;
    auto window = makeWindow(SheetAction::Preview, sampleInput());
    window->show();
    int previews = 0;
    world.platform().onDialog = [&](QDialog& dialog) {
        auto* preview = qobject_cast<ReportPreview*>(&dialog);
        if (!preview)
            return 0;
        ++previews;
        const PreparedReport& report = preview->report();
        [&] {
            QCOMPARE(report.pageCount(), 1);
            QCOMPARE(report.reportName, QStringLiteral("Scheda Tecnica Vino"));
            const PreparedPage& page = report.pages.front();
            QCOMPARE(page.paperMm, QSizeF(210, 297));
            QCOMPARE(memoText(page, "txtVino"), QStringLiteral("Barolo [Riserva] Cannubi"));
            QCOMPARE(memoText(page, "txtProduttore"), QStringLiteral("Cantina  Rossi"));
            QCOMPARE(memoText(page, "txtTel"), QStringLiteral("24"));
            QCOMPARE(memoText(page, "txtNote"), QStringLiteral("[DATE] da decantare"));
            QCOMPARE(memoText(page, "txtGrado"), QString());
            QCOMPARE(memoText(page, "txtNome"), QStringLiteral("SCHEDA TECNICA VINO"));
            const auto& photo = static_cast<const TPictureView&>(*page.find(QStringLiteral("imgLogo"))->view);
            QCOMPARE(photo.picture().size(), QSize(1200, 800));
            QCOMPARE(preview->zoom(), 1.0);
        }();
        return 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(previews, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(world.platform().printDialogs, 0);
    QVERIFY(!window->isVisible()); // closed after the preview
    QCOMPARE(window->result(), int(QDialog::Accepted));
}

void TestSchedaVino::emptyPhotoBoxLeavesThePhotoAreaBlank()
{
    TestWorld world;
    WineSheetInput input = sampleInput();
    input.photo = QImage();
    auto window = makeWindow(SheetAction::Preview, input);
    window->show();
    QImage page;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(&dialog))
            page = renderPageImage(preview->report(), 0, 50);
        return 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QVERIFY(!page.isNull());
    QVERIFY(world.platform().messages.isEmpty());
    for (double x = 12; x < 198; x += 3)
        for (double y = 27; y < 131; y += 3)
            QVERIFY(near(pixelAtMm(page, 50, x, y), Qt::white, 2));
}

void TestSchedaVino::printSendsOnePageToTheChosenPrinter()
{
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext is needed to read the printed file");
    TestWorld world;
    auto window = makeWindow(SheetAction::Print, sampleInput());
    window->show();
    const QString pdf = m_dir.filePath(QStringLiteral("sheet.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return pageCount == 1;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().printDialogs, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QVERIFY(!window->isVisible());
    QCOMPARE(pdfPageCount(pdf), 1);
    const QStringList words = pdfTexts(pdfWords(pdf), 0);
    for (const char* word : {"Barolo", "[Riserva]", "Cannubi", "Rossi", "42,50", "[DATE]", "GIACENZA"})
        QVERIFY2(words.contains(QString::fromLatin1(word)), word);
    QVERIFY(!words.contains(QStringLiteral("Sapida"))); // not on the sheet
}

void TestSchedaVino::cancellingThePrintDialogClosesSilently()
{
    TestWorld world;
    auto window = makeWindow(SheetAction::Print, sampleInput());
    window->show();
    world.platform().onPrintDialog = [](QPrinter&, int) { return false; };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().printDialogs, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QVERIFY(!window->isVisible());
}

void TestSchedaVino::cancelButtonOutputsNothing()
{
    TestWorld world;
    auto window = makeWindow(SheetAction::Preview, sampleInput());
    window->show();
    int dialogs = 0;
    world.platform().onDialog = [&](QDialog&) { return ++dialogs; };
    QTest::mouseClick(window->btnAnnulla, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
    QCOMPARE(dialogs, 0);
    QCOMPARE(world.platform().printDialogs, 0);
    QVERIFY(world.platform().messages.isEmpty());
}

void TestSchedaVino::failuresEndInTheWindowsWarning_data()
{
    QTest::addColumn<SheetAction>("action");
    QTest::addColumn<QString>("fault");
    const QString printFailed = QStringLiteral(
        "Attenzione: la stampa non è andata a buon fine.\n\r\n\rSi consiglia di ridurre le dimensioni della foto.");
    const QString previewFailed = QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata "
                                                 "a buon fine.\n\r\n\rSi consiglia di ridurre le dimensioni della foto.");
    QTest::addColumn<QString>("message");
    QTest::newRow("print: photo too large") << SheetAction::Print << "huge photo" << printFailed;
    QTest::newRow("preview: photo too large") << SheetAction::Preview << "huge photo" << previewFailed;
    QTest::newRow("print: printer cannot write") << SheetAction::Print << "printer" << printFailed;
    QTest::newRow("print: text box missing from the layout") << SheetAction::Print << "missing box" << printFailed;
    QTest::newRow("preview: text box missing from the layout") << SheetAction::Preview << "missing box" << previewFailed;
}

void TestSchedaVino::failuresEndInTheWindowsWarning()
{
    QFETCH(SheetAction, action);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestWorld world;
    WineSheetInput input = sampleInput();
    if (fault == QLatin1String("huge photo"))
        input.photo = QImage(20000, 20000, QImage::Format_Mono); // 400 megapixels in 50 MB
    auto window = makeWindow(action, input);
    window->show();
    if (fault == QLatin1String("missing box")) {
        auto& views = window->repDocumento()->page().views;
        std::erase_if(views, [](const auto& view) { return view->name() == QLatin1String("txtGrado"); });
        QVERIFY(!window->repDocumento()->findObject(QStringLiteral("txtGrado")));
    }
    const QString pdf = m_dir.filePath(QStringLiteral("missing-folder/out.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    int previews = 0;
    world.platform().onDialog = [&](QDialog&) { return ++previews, 0; };

    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages.front().kind, MessageKind::Warning);
    QVERIFY(!world.platform().messages.front().plain);
    QCOMPARE(world.platform().lastMessage(), message);
    QCOMPARE(previews, 0);
    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(!window->isVisible());
}

void TestSchedaVino::openWineSheetShowsAFreshWindowModally_data()
{
    QTest::addColumn<SheetAction>("action");
    QTest::addColumn<QString>("objectName");
    QTest::newRow("print") << SheetAction::Print << "frmStampaVini";
    QTest::newRow("preview") << SheetAction::Preview << "frmAnteprimaVini";
}

void TestSchedaVino::openWineSheetShowsAFreshWindowModally()
{
    QFETCH(SheetAction, action);
    QFETCH(QString, objectName);
    TestWorld world;
    QWidget owner;
    QStringList shown;
    world.platform().onDialog = [&](QDialog& dialog) {
        shown << dialog.objectName();
        [&] { QCOMPARE(dialog.parentWidget(), &owner); }();
        return 0;
    };
    openWineSheet(&owner, sampleInput(), action);
    openWineSheet(&owner, sampleInput(), action);
    QCOMPARE(shown, (QStringList{objectName, objectName}));
    QVERIFY(owner.findChildren<SchedaVinoWindow*>().isEmpty()); // destroyed after each use
}

QTEST_MAIN(TestSchedaVino)
#include "tst_schedavino.moc"
