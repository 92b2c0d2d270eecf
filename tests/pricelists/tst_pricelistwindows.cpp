// The price-list menu, the creation and the opening windows: routing markers,
// the typing filter, every message and confirmation, and the files on disk.
#include "ApriCatalogo.h"
#include "Avvio.h"
#include "CreaCatalogo.h"
#include "Guida.h"
#include "HighlightEdit.h"
#include "ListinoPrezzi.h"
#include "PriceListWindows.h"
#include "Password.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "WindowSet.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

using namespace vinarca;
Q_DECLARE_METATYPE(ChoiceMenu::Route)
Q_DECLARE_METATYPE(TfrmApriCatalogo::Route)
Q_DECLARE_METATYPE(vinarca::MessageAnswer)

namespace {
const QString kEmptyName =
    QStringLiteral("Attenzione: per creare l'archivio è necessario indicare il nome del nuovo listino prezzi.");
const QString kDuplicate = QStringLiteral(
    "Attenzione: il nome del listino prezzi indicato è già stato utilizzato in precedenza.\r\n\r\nInserire un nome "
    "diverso oppure, se si desidera aprire un listino prezzi già creato, premere il pulsante Apri listino esistente.");
const QString kCreated = QStringLiteral("Il file di archivio relativo al nuovo listino prezzi è stato creato con "
                                        "successo.\r\n\r\nE' ora possibile visualizzarlo nell'elenco dei listini "
                                        "esistenti.");
const QString kEmptyList = QStringLiteral("Attenzione: l'elenco non contiene nessun listino prezzi.");
const QString kOpenNoSelection = QStringLiteral(
    "Attenzione: selezionare il listino prezzi dall'elenco prima di premere il pulsante Apri archivio.");
const QString kDeleteNoSelection = QStringLiteral(
    "Attenzione: selezionare dall'elenco il listino prezzi da eliminare prima di premere il pulsante del cestino.");
const QString kDeleteQuestion =
    QStringLiteral("Si sta per eliminare il listino prezzi selezionato. Si ricorda che il file eliminato non potrà "
                   "essere recuperato.\r\n\r\nSi conferma l'eliminazione dell'archivio?");
const QString kDeleted = QStringLiteral("Il listino prezzi è stato eliminato con successo.");

QStringList visibleWindows()
{
    QStringList visible;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            visible << w->objectName();
    }
    visible.sort();
    return visible;
}

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void select(QListWidget* list, const QString& text)
{
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
}
} // namespace

class TestPriceListWindows : public QObject
{
    Q_OBJECT
private slots:
    void menuDesign();
    void menuRoutes_data();
    void menuRoutes();
    void helpTopic_data();
    void helpTopic();
    void typingFilter_data();
    void typingFilter();
    void create_data();
    void create();
    void createRefusedByTheFileSystem();
    void listing();
    void openAndDeleteNeedASelection_data();
    void openAndDeleteNeedASelection();
    void openHandsOverThePath();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void deleteFailureIsNoSuccess();
    void routes_data();
    void routes();
};

void TestPriceListWindows::menuDesign()
{
    TestWorld world;
    TfrmMenuListini menu;
    menu.show();
    QCOMPARE(menu.objectName(), QStringLiteral("frmMenuListini"));
    QCOMPARE(menu.windowTitle(), QStringLiteral(" Vinarca - Listini Prezzi"));
    QCOMPARE(menu.panel()->size(), QSize(995, 692));
    QCOMPARE(menu.btnOrizzontali->text(), QStringLiteral("Crea nuovo listino"));
    QCOMPARE(menu.btnVerticali->text(), QStringLiteral("Apri listino esistente"));
    QCOMPARE(menu.btnVerticali->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(menu.btnVerticali->font().pointSize(), 14);
    QVERIFY(!menu.lblMemory->isVisible());
    QCOMPARE(menu.lblMemory->text(), QStringLiteral("avvio"));
}

void TestPriceListWindows::menuRoutes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<ChoiceMenu::Route>("route");
    QTest::newRow("create") << "btnOrizzontali" << ChoiceMenu::Route::First;
    QTest::newRow("open") << "btnVerticali" << ChoiceMenu::Route::Second;
    QTest::newRow("exit picture") << "imgEsci" << ChoiceMenu::Route::MainMenu;
    QTest::newRow("title-bar close") << "" << ChoiceMenu::Route::MainMenu;
}

void TestPriceListWindows::menuRoutes()
{
    QFETCH(QString, action);
    QFETCH(ChoiceMenu::Route, route);
    TestWorld world;
    TfrmMenuListini menu;
    QSignalSpy closed(&menu, &TfrmMenuListini::closed);
    // A choice of an earlier visit does not outlive the menu being shown again.
    menu.show();
    menu.btnOrizzontaliClick();
    menu.show();
    if (action.isEmpty())
        menu.close();
    else
        QTest::mouseClick(menu.findChild<QAbstractButton*>(action), Qt::LeftButton);
    QCOMPARE(closed.size(), 2);
    QCOMPARE(closed.at(1).at(0).value<ChoiceMenu::Route>(), route);
    QCOMPARE(menu.routeOf(QStringLiteral(" apri\r\n")), ChoiceMenu::Route::Second);
}

void TestPriceListWindows::helpTopic_data()
{
    QTest::addColumn<int>("window");
    QTest::newRow("menu") << 0;
    QTest::newRow("creation") << 1;
    QTest::newRow("opening") << 2;
}

void TestPriceListWindows::helpTopic()
{
    QFETCH(int, window);
    TestWorld world;
    std::unique_ptr<QWidget> shown;
    if (window == 0)
        shown = std::make_unique<TfrmMenuListini>();
    else if (window == 1)
        shown = std::make_unique<TfrmCreaCatalogo>();
    else
        shown = std::make_unique<TfrmApriCatalogo>();
    shown->show();
    QString title;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* guida = qobject_cast<TfrmGuida*>(&dialog))
            title = guida->lblTitolo->text();
        return 0;
    };
    QTest::mouseClick(shown->findChild<QAbstractButton*>("imgGuida"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("App Listini Prezzi"));
    QVERIFY(shown->isVisible());
}

void TestPriceListWindows::typingFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    for (const QChar c : QStringLiteral("\"*/:<>?|\\\u00B0\u00C7\u00D1\u00E7\u00F1"))
        QTest::newRow(qPrintable(QStringLiteral("refused U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))))
            << QString(c) << QString();
    QTest::newRow("name with refused inside") << "Ro?ssi: 2024" << "Rossi 2024";
    QTest::newRow("accents other than the five") << "Rosé à" << "Rosé à";
}

void TestPriceListWindows::typingFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TestWorld world;
    TfrmCreaCatalogo window;
    window.show();
    window.activateWindow();
    // Each character as a key press that types it (keyClicks knows ASCII only).
    for (QChar c : typed) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(window.txtFile, &press);
    }
    QCOMPARE(window.txtFile->text(), kept);
}

void TestPriceListWindows::create_data()
{
    QTest::addColumn<QString>("typed"); // pasted into the box
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("created"); // file name in the program folder; "" none
    QTest::newRow("blanks trimmed") << "  Vini rossi  " << kCreated << "Vini rossi.lis";
    QTest::newRow("blanks only") << "   " << kEmptyName << "";
    QTest::newRow("empty") << "" << kEmptyName << "";
    QTest::newRow("existing list") << "Esistente" << kDuplicate << "";
    QTest::newRow("pasted path out of the folder")
        << "../fuori" << "Attenzione: il nome del listino prezzi non può contenere i caratteri / e \\.\r\n\r\n"
                         "Inserire un nome diverso." << "";
    QTest::newRow("pasted backslash") << "a\\b" << "Attenzione: il nome del listino prezzi non può contenere i "
                                                   "caratteri / e \\.\r\n\r\nInserire un nome diverso." << "";
    QTest::newRow("dots only") << ".." << "Attenzione: il nome del listino prezzi non può essere formato da soli "
                                          "punti.\r\n\r\nInserire un nome diverso." << "";
    QTest::newRow("too long for a file name")
        << QString(250, QChar(0xE8)) << "Attenzione: il nome del listino prezzi è troppo lungo per il sistema.\r\n\r\n"
                                        "Inserire un nome più breve." << "";
}

void TestPriceListWindows::create()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, created);
    TestWorld world;
    const QByteArray pages(3696, 'p');
    QVERIFY(testfiles::write(world.path("Esistente.lis"), pages));
    // Other tests share the parent folder: only list files count there.
    const auto listsOutside = [&] { return QDir(world.folder() + "..").entryList({"*.lis", "fuori*"}); };
    const QStringList before = listsOutside();
    TfrmCreaCatalogo window;
    QSignalSpy closed(&window, &TfrmCreaCatalogo::closed);
    window.txtFile->setText(QStringLiteral("vecchio"));
    window.show();
    QVERIFY(window.txtFile->text().isEmpty());
    window.txtFile->setText(typed);
    QTest::mouseClick(window.btnApplica, Qt::LeftButton);

    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().lastMessage(), message);
    QCOMPARE(world.platform().messages.constFirst().kind,
             created.isEmpty() ? MessageKind::Warning : MessageKind::Information);
    QStringList files = QDir(world.folder()).entryList(QDir::Files);
    files.sort();
    QStringList expected{"Esistente.lis"};
    if (!created.isEmpty()) {
        expected << created;
        expected.sort();
        QCOMPARE(QFileInfo(world.path(created)).size(), 0);
    }
    QCOMPARE(files, expected);
    QCOMPARE(testfiles::read(world.path("Esistente.lis")), pages);
    // Nothing is made outside the program folder.
    QCOMPARE(listsOutside(), before);
    QCOMPARE(closed.size(), created.isEmpty() ? 0 : 1);
    if (created.isEmpty())
        QCOMPARE(window.txtFile->text(), typed); // the window stays with the typed name
}

void TestPriceListWindows::createRefusedByTheFileSystem()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    TestWorld world;
    TfrmCreaCatalogo window;
    QSignalSpy closed(&window, &TfrmCreaCatalogo::closed);
    window.show();
    window.txtFile->setText(QStringLiteral("Rossi"));
    QFile::setPermissions(world.folder(), QFile::ReadOwner | QFile::ExeOwner);
    window.btnApplicaClick();
    QFile::setPermissions(world.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(world.platform().lastMessage().startsWith(
        QStringLiteral("Attenzione: il sistema non permette di creare il file del nuovo listino prezzi.")));
    QCOMPARE(closed.size(), 0);
    QCOMPARE(window.txtFile->text(), QStringLiteral("Rossi"));
}

void TestPriceListWindows::listing()
{
    TestWorld world;
    TfrmApriCatalogo window;
    window.show();
    QCOMPARE(window.lstFiles->count(), 0);
    QCOMPARE(window.lblCreati->text(), QStringLiteral("Sono stati creati 0 listini prezzi."));
    window.hide();

    QVERIFY(testfiles::write(world.path("Rossi.lis"), ""));
    window.show();
    QCOMPARE(window.lblCreati->text(), QStringLiteral("Sono stati creati 1 listini prezzi."));
    window.hide();

    for (const char* file : {"Bianchi.lis", "Amari.lis", "note.txt", "sotto/Annidato.lis"})
        QVERIFY(testfiles::write(world.path(QString::fromUtf8(file)), ""));
    window.show();
    QCOMPARE(entries(window.lstFiles), (QStringList{"Amari.lis", "Bianchi.lis", "Rossi.lis"}));
    QCOMPARE(window.lblCreati->text(), QStringLiteral("Sono stati creati 3 listini prezzi."));
    QCOMPARE(window.lstFiles->item(0)->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(window.lstFiles->item(0)->font().pointSize(), 14);
    QCOMPARE(window.lblMemory->text(), QStringLiteral("avvio"));
}

void TestPriceListWindows::openAndDeleteNeedASelection_data()
{
    QTest::addColumn<bool>("anyFile");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("message");
    QTest::newRow("open, empty list") << false << true << kEmptyList;
    QTest::newRow("delete, empty list") << false << false << kEmptyList;
    QTest::newRow("open, nothing selected") << true << true << kOpenNoSelection;
    QTest::newRow("delete, nothing selected") << true << false << kDeleteNoSelection;
}

void TestPriceListWindows::openAndDeleteNeedASelection()
{
    QFETCH(bool, anyFile);
    QFETCH(bool, open);
    QFETCH(QString, message);
    TestWorld world;
    if (anyFile)
        QVERIFY(testfiles::write(world.path("Rossi.lis"), "x"));
    TfrmApriCatalogo window;
    QSignalSpy closed(&window, &TfrmApriCatalogo::closed);
    window.show();
    QTest::mouseClick(open ? window.btnApri : window.btnElimina, Qt::LeftButton);
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages.constFirst().kind, MessageKind::Warning);
    QCOMPARE(world.platform().lastMessage(), message);
    QCOMPARE(closed.size(), 0);
    QCOMPARE(QFileInfo::exists(world.path("Rossi.lis")), anyFile);
}

void TestPriceListWindows::openHandsOverThePath()
{
    TestWorld world;
    for (const char* file : {"Vini rossi.lis", "Bianchi.lis"})
        QVERIFY(testfiles::write(world.path(QString::fromUtf8(file)), ""));
    TfrmApriCatalogo window;
    QSignalSpy closed(&window, &TfrmApriCatalogo::closed);
    window.show();
    select(window.lstFiles, QStringLiteral("Vini rossi.lis"));
    QTest::mouseClick(window.btnApri, Qt::LeftButton);
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(closed.size(), 1);
    QCOMPARE(closed.at(0).at(0).value<TfrmApriCatalogo::Route>(), TfrmApriCatalogo::Route::PriceList);
    QCOMPARE(window.lblFile->text(), world.path("Vini rossi.lis"));
    QCOMPARE(window.selectedTitle(), QStringLiteral("Vini rossi"));
    // Shown again, the marker leads home until a list is chosen.
    window.show();
    window.close();
    QCOMPARE(closed.at(1).at(0).value<TfrmApriCatalogo::Route>(), TfrmApriCatalogo::Route::MainMenu);
}

void TestPriceListWindows::deleteAsksFirst_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("removed");
    QTest::newRow("no keeps the file") << MessageAnswer::No << false;
    QTest::newRow("yes removes it") << MessageAnswer::Yes << true;
    // Every answer but No counts as Yes.
    QTest::newRow("closed box counts as yes") << MessageAnswer::Cancel << true;
}

void TestPriceListWindows::deleteAsksFirst()
{
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, removed);
    TestWorld world;
    // A file whose name has a blank at its start is still the file the entry names.
    for (const char* file : {" Rossi.lis", "Rossi.lis", "Bianchi.lis", "Foto_Listino/ Rossi_Foto_A_1.jpg"})
        QVERIFY(testfiles::write(world.path(QString::fromUtf8(file)), "x"));
    TfrmApriCatalogo window;
    QSignalSpy closed(&window, &TfrmApriCatalogo::closed);
    window.show();
    select(window.lstFiles, QStringLiteral(" Rossi.lis"));
    world.platform().answers.enqueue(answer);
    QTest::mouseClick(window.btnElimina, Qt::LeftButton);

    QCOMPARE(world.platform().messages.constFirst().kind, MessageKind::Confirmation);
    QCOMPARE(world.platform().messages.constFirst().text, kDeleteQuestion);
    QCOMPARE(world.platform().messages.size(), removed ? 2 : 1);
    if (removed)
        QCOMPARE(world.platform().lastMessage(), kDeleted);
    QCOMPARE(QFileInfo::exists(world.path(" Rossi.lis")), !removed);
    QVERIFY(QFileInfo::exists(world.path("Rossi.lis")));
    QVERIFY(QFileInfo::exists(world.path("Foto_Listino/ Rossi_Foto_A_1.jpg")));
    QCOMPARE(window.lstFiles->count(), removed ? 2 : 3);
    QCOMPARE(window.lblCreati->text(), QStringLiteral("Sono stati creati %1 listini prezzi.").arg(removed ? 2 : 3));
    QVERIFY(window.isVisible());
    QCOMPARE(closed.size(), 0);
}

void TestPriceListWindows::deleteFailureIsNoSuccess()
{
    TestWorld world;
    QVERIFY(testfiles::write(world.path("Rossi.lis"), "x"));
    TfrmApriCatalogo window;
    window.show();
    select(window.lstFiles, QStringLiteral("Rossi.lis"));
    QFile::remove(world.path("Rossi.lis")); // gone behind the window's back
    window.btnEliminaClick();
    QCOMPARE(world.platform().messages.size(), 2);
    QVERIFY(world.platform().lastMessage().startsWith(
        QStringLiteral("Attenzione: il sistema non permette di eliminare il listino prezzi selezionato.")));
    QCOMPARE(window.lstFiles->count(), 0);
    QCOMPARE(window.lblCreati->text(), QStringLiteral("Sono stati creati 0 listini prezzi."));
}

void TestPriceListWindows::routes_data()
{
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("choice"); // on the menu; "" closes it by its title bar
    QTest::addColumn<QString>("next");   // shown by the choice
    QTest::newRow("picture, create") << "imgApp02" << "btnOrizzontali" << "frmCreaCatalogo";
    QTest::newRow("caption, open") << "btnApp02" << "btnVerticali" << "frmApriCatalogo";
    QTest::newRow("exit picture") << "imgApp02" << "imgEsci" << "frmAvvio";
    QTest::newRow("title-bar close") << "btnApp02" << "" << "frmAvvio";
}

void TestPriceListWindows::routes()
{
    QFETCH(QString, tile);
    QFETCH(QString, choice);
    QFETCH(QString, next);
    TestWorld world;
    QVERIFY(testfiles::write(world.path("Rossi.lis"), ""));
    WindowSet windows;
    windows.start();
    QVERIFY(frmMenuListini && frmCreaCatalogo && frmApriCatalogo);
    WindowSet::handOver(frmPassword, frmAvvio);
    QTest::mouseClick(frmAvvio->findChild<QAbstractButton*>(tile), Qt::LeftButton);
    QCOMPARE(visibleWindows(), QStringList{"frmMenuListini"});
    if (choice.isEmpty())
        frmMenuListini->close();
    else
        QTest::mouseClick(frmMenuListini->findChild<QAbstractButton*>(choice), Qt::LeftButton);
    QCOMPARE(visibleWindows(), QStringList{next});
    if (next == QLatin1String("frmCreaCatalogo")) {
        // Created or cancelled, the creation window leads to the main menu.
        frmCreaCatalogo->txtFile->setText(QStringLiteral("Nuovo"));
        QTest::mouseClick(frmCreaCatalogo->btnApplica, Qt::LeftButton);
        QCOMPARE(visibleWindows(), QStringList{"frmAvvio"});
        QTest::mouseClick(frmAvvio->findChild<QAbstractButton*>(tile), Qt::LeftButton);
        QTest::mouseClick(frmMenuListini->btnOrizzontali, Qt::LeftButton);
        QVERIFY(frmCreaCatalogo->txtFile->text().isEmpty());
        QTest::mouseClick(frmCreaCatalogo->btnAnnulla, Qt::LeftButton);
        QCOMPARE(visibleWindows(), QStringList{"frmAvvio"});
    } else if (next == QLatin1String("frmApriCatalogo")) {
        QCOMPARE(frmApriCatalogo->lstFiles->count(), 1);
        QTest::mouseClick(frmApriCatalogo->btnAnnulla, Qt::LeftButton);
        QCOMPARE(visibleWindows(), QStringList{"frmAvvio"});
        // A chosen list opens in the page editor on a new page; the editor
        // returns to the main menu.
        QTest::mouseClick(frmAvvio->findChild<QAbstractButton*>(tile), Qt::LeftButton);
        QTest::mouseClick(frmMenuListini->btnVerticali, Qt::LeftButton);
        select(frmApriCatalogo->lstFiles, QStringLiteral("Rossi.lis"));
        QTest::mouseClick(frmApriCatalogo->btnApri, Qt::LeftButton);
        QCOMPARE(visibleWindows(), QStringList{"frmListinoPrezzi"});
        QCOMPARE(frmListinoPrezzi->lblFile->text(), world.path("Rossi.lis"));
        QCOMPARE(frmListinoPrezzi->lblNome->text(), QStringLiteral("Rossi"));
        QVERIFY(frmListinoPrezzi->lblPosizione->text().isEmpty());
        QTest::mouseClick(frmListinoPrezzi->cmdAvanti, Qt::LeftButton);
        QCOMPARE(world.platform().lastMessage(), QStringLiteral("L'archivio non contiene nessuna scheda."));
        QTest::mouseClick(frmListinoPrezzi->cmdEsci, Qt::LeftButton);
        QCOMPARE(visibleWindows(), QStringList{"frmAvvio"});
    }
}

QTEST_MAIN(TestPriceListWindows)
#include "tst_pricelistwindows.moc"
