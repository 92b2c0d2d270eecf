#include "Avvio.h"
#include "Guida.h"
#include "Info.h"
#include "LinkLabel.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ProgramFolder.h"
#include "ScriptedPlatform.h"
#include "Zoom.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace vinarca;

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void helpTopics_data();
    void helpTopics();
    void overviewIsBuiltFromTheOtherBodies();
    void helpWindowShowsTheTopicAndOpensTheManual();
    void mainMenuTilesAndIcons();
    void infoMailLink();
    void creditsWebLink();
    void zoomFitsTheScreenAndClosesOnAClick();
    void infoShowsLogoLinkAndCloseOnly();
    void escapeLeavesTheWindowOpen_data();
    void escapeLeavesTheWindowOpen();
};

void TestShell::helpTopics_data()
{
    QTest::addColumn<int>("topic");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<QString>("opening");
    QTest::newRow("overview") << int(HelpTopic::Overview) << "Uno sguardo a Vinarca" << 50 << "";
    QTest::newRow("wines") << int(HelpTopic::Wines) << "App Catalogo Vini" << 11
                           << "L'app Catalogo Vini mette a disposizione un ambiente di lavoro con una serie di campi "
                              "di testo in cui bisogna inserire le informazioni tecniche riguardanti ciascun vino "
                              "facente parte del catalogo.";
    QTest::newRow("price lists") << int(HelpTopic::PriceLists) << "App Listini Prezzi" << 8
                                 << "L'app Listini Prezzi mette a disposizione un ambiente in cui è possibile "
                                    "compilare, stampare e archiviare le singole pagine dei listini dei vini.";
    QTest::newRow("labels") << int(HelpTopic::Labels) << "App Etichette Bottiglie" << 26
                            << "L'app Etichette Bottiglie semplifica la creazione e la stampa di etichette per "
                               "bottiglie di vino, spumante, liquore o bevande di qualsiasi genere personalizzate con "
                               "scritte di propria scelta e con il logo della propria azienda o con la foto del "
                               "prodotto imbottigliato.";
    QTest::newRow("wine export") << int(HelpTopic::WineExport) << "Esportazione catalogo vini in Microsoft Excel." << 7
                                 << "";
    QTest::newRow("label export") << int(HelpTopic::LabelExport)
                                  << "Esportazione archivio etichette in Microsoft Excel" << 3 << "";
}

void TestShell::helpTopics()
{
    QFETCH(int, topic);
    QFETCH(QString, title);
    QFETCH(int, paragraphs);
    QFETCH(QString, opening);
    const HelpText text = helpText(HelpTopic(topic));
    QCOMPARE(text.title, title);
    const QStringList parts = text.body.split(QStringLiteral("\r\n\r\n"));
    QCOMPARE(parts.size(), paragraphs);
    for (const QString& part : parts) {
        QVERIFY(!part.trimmed().isEmpty());
        QVERIFY(!part.contains(QLatin1Char('\n'))); // one empty line between paragraphs, none inside
    }
    QVERIFY(text.body.startsWith(opening));
}

void TestShell::overviewIsBuiltFromTheOtherBodies()
{
    const QString overview = helpText(HelpTopic::Overview).body;
    for (HelpTopic topic : {HelpTopic::Wines, HelpTopic::PriceLists, HelpTopic::Labels})
        QVERIFY(overview.contains(helpText(topic).body));
    QVERIFY(overview.indexOf(helpText(HelpTopic::Wines).body) < overview.indexOf(helpText(HelpTopic::Labels).body));
    // The first-access password is given in the closing paragraphs.
    QVERIFY(overview.lastIndexOf(QStringLiteral("grappolodoraro")) > overview.indexOf(helpText(HelpTopic::Labels).body));
}

void TestShell::helpWindowShowsTheTopicAndOpensTheManual()
{
    TestWorld world;
    setProgramFolderForTesting(QDir::tempPath() + QStringLiteral("/Cartella con spazi"));
    QString title;
    QString body;
    QString caption;
    QSize size;
    bool readOnly = false;
    int shown = 0;
    world.platform().onDialog = [&](QDialog& dialog) {
        auto& help = dynamic_cast<TfrmGuida&>(dialog);
        ++shown;
        title = help.lblTitolo->text();
        body = help.txtGuida->toPlainText();
        readOnly = help.txtGuida->isReadOnly();
        caption = help.windowTitle();
        size = help.size();
        QTest::mouseClick(help.lnkWeb, Qt::LeftButton);
        help.imgPDF->click();
        return 0;
    };
    TfrmAvvio menu;
    menu.imgGuida->click();
    QCOMPARE(shown, 1);
    QVERIFY(readOnly);
    QCOMPARE(caption, QStringLiteral(" Guida all'utilizzo del software"));
    QCOMPARE(size, QSize(670, 572));
    QCOMPARE(title, QStringLiteral("Uno sguardo a Vinarca"));
    QVERIFY(body.startsWith(helpText(HelpTopic::Overview).body.section(QStringLiteral("\r\n"), 0, 0)));
    const QString manual = QLatin1Char('"') + QDir::tempPath() + QStringLiteral("/Cartella con spazi/Guida.pdf\"");
    QCOMPARE(world.platform().shellCommands, (QStringList{manual, manual}));
}

void TestShell::mainMenuTilesAndIcons()
{
    TestWorld world;
    TfrmAvvio menu;
    QCOMPARE(menu.objectName(), QStringLiteral("frmAvvio"));
    QCOMPARE(menu.windowTitle(), QStringLiteral(" Vinarca"));
    QCOMPARE(menu.findChild<QWidget*>(QStringLiteral("panContainer"))->size(), QSize(995, 692));
    QSignalSpy chosen(&menu, &TfrmAvvio::appChosen);
    // The picture and the caption button of each tile run the same handler.
    const QList<std::pair<QAbstractButton*, QAbstractButton*>> tiles{
        {menu.imgApp01, menu.btnApp01}, {menu.imgApp02, menu.btnApp02}, {menu.imgApp03, menu.btnApp03}};
    for (const auto& [picture, button] : tiles) {
        picture->click();
        button->click();
    }
    QCOMPARE(chosen.count(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(chosen.at(i).at(0).value<TfrmAvvio::App>(), TfrmAvvio::App(i / 2));
    QCOMPARE(menu.btnApp01->text(), QStringLiteral("CATALOGO VINI"));
    QCOMPARE(menu.btnApp02->text(), QStringLiteral("LISTINI PREZZI"));
    QCOMPARE(menu.btnApp03->text(), QStringLiteral("ETICHETTE BOTTIGLIE"));
    QCOMPARE(menu.imgApp01->size(), QSize(298, 388));
    QCOMPARE(menu.imgSito->size(), QSize(961, 22));

    QStringList dialogs;
    world.platform().onDialog = [&](QDialog& dialog) {
        dialogs << dialog.objectName();
        return 0;
    };
    menu.imgInfo->click();
    menu.imgCopyright->click();
    QCOMPARE(dialogs, (QStringList{"frmInfo", "frmSplash"}));
    menu.imgSito->click();
    QCOMPARE(world.platform().shellCommands, QStringList{QStringLiteral("https://www.vinarca.it")});

    QSignalSpy terminate(&menu, &TfrmAvvio::terminateRequested);
    menu.imgEsci->click();
    menu.show();
    menu.close();
    QCOMPARE(terminate.count(), 2);
}

void TestShell::infoMailLink()
{
    TestWorld world;
    TfrmInfo info;
    info.show();
    QCOMPARE(info.size(), QSize(473, 579));
    const QColor darkBlue(0x00, 0x00, 0x8B);
    QCOMPARE(info.lnkWeb->colour(), darkBlue);
    QTest::mousePress(info.lnkWeb, Qt::LeftButton);
    QCOMPARE(info.lnkWeb->colour(), QColor(0xFF, 0xA5, 0x00));
    QTest::mouseRelease(info.lnkWeb, Qt::LeftButton);
    QCOMPARE(info.lnkWeb->colour(), darkBlue);
    info.imgEmail->click();
    const QString command = QStringLiteral("\"mailto:info@vinarca.it?subject=Software Vinarca&body=Salve, desidererei "
                                           "avere le seguenti informazioni sul software in oggetto:\"");
    QCOMPARE(world.platform().shellCommands, (QStringList{command, command}));
}

void TestShell::creditsWebLink()
{
    TestWorld world;
    TfrmSplash credits;
    QCOMPARE(credits.lnkWeb->text(), QStringLiteral("www.vinarca.it"));
    QTest::mouseClick(credits.lnkWeb, Qt::LeftButton);
    QCOMPARE(world.platform().shellCommands, QStringList{QStringLiteral("https://www.vinarca.it")});
}

void TestShell::zoomFitsTheScreenAndClosesOnAClick()
{
    TestWorld world;
    world.platform().screen = QSize(1280, 800);
    QImage photo(100, 50, QImage::Format_RGB32);
    photo.fill(Qt::darkRed);
    int shown = 0;
    QString caption;
    QSize panel, picture;
    QImage held;
    int result = -1;
    world.platform().onDialog = [&](QDialog& dialog) {
        auto& zoom = dynamic_cast<TfrmZoom&>(dialog);
        ++shown;
        zoom.show();
        caption = zoom.windowTitle();
        panel = zoom.panContainer->size();
        picture = zoom.imgFoto->size();
        held = zoom.imgFoto->image();
        QTest::mouseClick(zoom.imgFoto, Qt::LeftButton);
        result = zoom.result();
        return result;
    };
    QWidget owner;
    showZoom(&owner, photo);
    QCOMPARE(shown, 1);
    QCOMPARE(caption, QStringLiteral(" Fai clic per chiudere questa finestra"));
    // The screen's size less 60 across and 90 down.
    QCOMPARE(panel, QSize(1220, 710));
    QCOMPARE(picture, QSize(1220, 710));
    QCOMPARE(held, photo);
    QCOMPARE(result, int(QDialog::Accepted));
}

void TestShell::infoShowsLogoLinkAndCloseOnly()
{
    TestWorld world;
    TfrmInfo info;
    QStringList shown;
    for (QWidget* child : info.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden())
            shown << child->objectName();
    }
    shown.sort();
    // The logo on its white band, the e-mail link with its envelope, Chiudi.
    QCOMPARE(shown, (QStringList{"btnChiudi", "imgEmail", "imgLogo", "lnkWeb", "shpLogo"}));
    QCOMPARE(info.btnChiudi->text(), QStringLiteral("Chiudi"));
}

void TestShell::escapeLeavesTheWindowOpen_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("information") << "frmInfo";
    QTest::newRow("credits") << "frmSplash";
    QTest::newRow("help") << "frmGuida";
    QTest::newRow("zoom") << "frmZoom";
}

void TestShell::escapeLeavesTheWindowOpen()
{
    QFETCH(QString, window);
    TestWorld world;
    std::unique_ptr<QDialog> dialog;
    if (window == QLatin1String("frmInfo"))
        dialog = std::make_unique<TfrmInfo>();
    else if (window == QLatin1String("frmSplash"))
        dialog = std::make_unique<TfrmSplash>();
    else if (window == QLatin1String("frmGuida"))
        dialog = std::make_unique<TfrmGuida>();
    else
        dialog = std::make_unique<TfrmZoom>();
    QCOMPARE(dialog->objectName(), window);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));

    // Escape wherever the focus is, and on the window itself.
    if (QApplication::focusWidget())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());

    // Its own way out still closes it.
    if (auto* chiudi = dialog->findChild<QPushButton*>(QStringLiteral("btnChiudi")))
        QTest::mouseClick(chiudi, Qt::LeftButton);
    else
        QTest::mouseClick(static_cast<TfrmZoom*>(dialog.get())->imgFoto, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
