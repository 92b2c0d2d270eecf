// The print and preview windows of every document (the wine sheet, both
// label kinds, the price-list page): each is the shared document window with
// its own name, caption, instructions, button and layout options.
#include "WineWindows.h"
#include "LabelWindows.h"
#include "PictureBox.h"
#include "PriceListWindows.h"
#include "ReportModel.h"
#include "ScriptedPlatform.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace vinarca;

namespace {

std::unique_ptr<DocumentWindow> makeWindow(const QString& className)
{
    if (className == QLatin1String("TfrmStampaVini"))
        return std::make_unique<TfrmStampaVini>(WineSheetInput{});
    if (className == QLatin1String("TfrmAnteprimaVini"))
        return std::make_unique<TfrmAnteprimaVini>(WineSheetInput{});
    if (className == QLatin1String("TfrmStampaVerticale"))
        return std::make_unique<TfrmStampaVerticale>(LabelPrintInput{});
    if (className == QLatin1String("TfrmAnteprimaVerticale"))
        return std::make_unique<TfrmAnteprimaVerticale>(LabelPrintInput{});
    if (className == QLatin1String("TfrmStampaOrizzontale"))
        return std::make_unique<TfrmStampaOrizzontale>(LabelPrintInput{});
    if (className == QLatin1String("TfrmAnteprimaOrizzontale"))
        return std::make_unique<TfrmAnteprimaOrizzontale>(LabelPrintInput{});
    if (className == QLatin1String("TfrmStampaProdotto"))
        return std::make_unique<TfrmStampaProdotto>(PricePageInput{});
    return std::make_unique<TfrmAnteprimaProdotto>(PricePageInput{});
}

const QString kPreviewHeading = QStringLiteral("Anteprima di stampa");
const QString kPrintHow = QStringLiteral("Premere il pulsante Stampa per dare avvio alla stampa oppure premere Annulla "
                                         "per annullare l'operazione.");
const QString kPreviewHow = QStringLiteral("Fare clic su Mostra anteprima per visualizzare il documento sullo schermo "
                                           "prima di eseguire la stampa su carta.");
const QString kPreviewWhat = QStringLiteral("Questa operazione consente di visualizzare in anteprima i dati che "
                                            "appariranno in stampa.");

} // namespace

class TestDocumentWindows : public QObject
{
    Q_OBJECT
private slots:
    void windowsCarryTheirTexts_data();
    void windowsCarryTheirTexts();
};

void TestDocumentWindows::windowsCarryTheirTexts_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("reportName");
    QTest::addColumn<QStringList>("instructions");
    const QString print = QStringLiteral("Stampa");
    const QString preview = QStringLiteral("Mostra anteprima");
    const QString sheet = QStringLiteral("Scheda Tecnica Vino");
    const QString label = QStringLiteral("Etichetta Bottiglia");
    const QString page = QStringLiteral("Listino Prezzi");
    const QStringList labelPrint{"Stampa etichetta",
                                 "Questa operazione provvederà a stampare l'etichetta su carta con i dati immessi "
                                 "dall'utente.",
                                 kPrintHow};
    const QStringList labelPreview{kPreviewHeading,
                                   "Questa operazione consente di visualizzare sullo schermo i dati che appariranno "
                                   "in stampa.",
                                   "Fare clic su Mostra anteprima per visualizzare il documento prima di eseguire la "
                                   "stampa su carta."};

    QTest::newRow("wine sheet, print")
        << "TfrmStampaVini" << " Stampa scheda" << print << sheet
        << QStringList{"Stampa scheda",
                       "Questa operazione provvederà a stampare la scheda corrente su carta con i dati immessi "
                       "dall'utente.",
                       kPrintHow};
    QTest::newRow("wine sheet, preview") << "TfrmAnteprimaVini" << " Anteprima di stampa" << preview << sheet
                                         << QStringList{kPreviewHeading, kPreviewWhat, kPreviewHow};
    QTest::newRow("vertical label, print") << "TfrmStampaVerticale" << " Stampa etichetta" << print << label
                                           << labelPrint;
    QTest::newRow("vertical label, preview") << "TfrmAnteprimaVerticale" << " Anteprima di stampa" << preview << label
                                             << labelPreview;
    QTest::newRow("horizontal label, print") << "TfrmStampaOrizzontale" << " Stampa etichetta" << print << label
                                             << labelPrint;
    QTest::newRow("horizontal label, preview") << "TfrmAnteprimaOrizzontale" << " Anteprima di stampa" << preview
                                               << label << labelPreview;
    QTest::newRow("price-list page, print")
        << "TfrmStampaProdotto" << " Stampa scheda" << print << page
        << QStringList{"Stampa documento",
                       "Questa operazione provvederà a stampare su carta il documento con i dati immessi nei campi "
                       "di testo.",
                       kPrintHow};
    QTest::newRow("price-list page, preview") << "TfrmAnteprimaProdotto" << " Anteprima di stampa" << preview << page
                                              << QStringList{kPreviewHeading, kPreviewWhat, kPreviewHow};
}

void TestDocumentWindows::windowsCarryTheirTexts()
{
    QFETCH(QString, className);
    QFETCH(QString, caption);
    QFETCH(QString, button);
    QFETCH(QString, reportName);
    QFETCH(QStringList, instructions);
    TestWorld world;
    auto window = makeWindow(className);
    window->show();
    QCOMPARE(QString::fromLatin1(window->metaObject()->className()), className);
    // The window's name is its global reference: the class name without the T.
    QCOMPARE(window->objectName(), className.mid(1, 1).toLower() + className.mid(2));
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), QSize(364, 287));
    QVERIFY(!(window->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("btnAnnulla"))->text(), QStringLiteral("Annulla"));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("btnStampa"))->text(), button);
    QStringList shown;
    for (const QLabel* text : window->findChildren<QLabel*>())
        shown << text->text();
    for (const QString& text : instructions)
        QVERIFY2(shown.contains(text), qPrintable(text));

    // The hidden picture boxes: the document's picture and, where the
    // document prints one, the stand-by picture for a picture it cannot take.
    const auto* imgTemp = window->findChild<PictureBox*>(QStringLiteral("imgTemp"));
    const auto* imgLogo = window->findChild<PictureBox*>(QStringLiteral("imgLogo"));
    QVERIFY(imgTemp && imgLogo && !imgTemp->isVisible() && !imgLogo->isVisible());
    QCOMPARE(!imgTemp->image().isNull(), !className.endsWith(QLatin1String("Prodotto")));

    QVERIFY(window->report());
    QCOMPARE(window->report()->reportName, reportName);
    QCOMPARE(window->report()->previewOptions.zoom, 1.0);
    QVERIFY(!window->report()->previewOptions.allowEdit);
    QVERIFY(!window->report()->printOptions.showProgress);
}

QTEST_MAIN(TestDocumentWindows)
#include "tst_documentwindows.moc"
