// The labels menu: the routing marker and where each way of closing leads.
#include "LabelWindows.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"

#include "Guida.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Route = TfrmMenuEtichette::Route;
Q_DECLARE_METATYPE(TfrmMenuEtichette::Route)

class TestMenuEtichette : public QObject
{
    Q_OBJECT
private slots:
    void designedState();
    void routes_data();
    void routes();
    void markerWords_data();
    void markerWords();
    void helpPicture();
};

void TestMenuEtichette::designedState()
{
    TestWorld world;
    TfrmMenuEtichette menu;
    menu.show();
    QCOMPARE(menu.objectName(), QStringLiteral("frmMenuEtichette"));
    QCOMPARE(menu.windowTitle(), QStringLiteral(" Vinarca - Etichette Bottiglie"));
    QCOMPARE(menu.panel()->size(), QSize(995, 692));
    QCOMPARE(menu.btnOrizzontali->text(), QStringLiteral("Etichette orizzontali"));
    QCOMPARE(menu.btnVerticali->text(), QStringLiteral("Etichette verticali"));
    QCOMPARE(menu.btnVerticali->size(), QSize(310, 44));
    QCOMPARE(menu.btnVerticali->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(menu.btnVerticali->font().pointSize(), 14);
    QVERIFY(menu.btnOrizzontali->y() < menu.btnVerticali->y());
    QCOMPARE(menu.icoEtichette->size(), QSize(382, 217));
    QVERIFY(!menu.lblMemory->isVisible());
    QCOMPARE(menu.lblMemory->text(), QStringLiteral("avvio"));
    for (QWidget* w : {static_cast<QWidget*>(menu.icoTitolo), static_cast<QWidget*>(menu.icoUva),
                       static_cast<QWidget*>(menu.icoIstruzioni), static_cast<QWidget*>(menu.imgGuida),
                       static_cast<QWidget*>(menu.imgEsci)})
        QVERIFY2(w->isVisible() && menu.panel()->rect().contains(w->geometry()), qPrintable(w->objectName()));
}

void TestMenuEtichette::routes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<Route>("route");
    QTest::newRow("horizontal labels") << "btnOrizzontali" << Route::First;
    QTest::newRow("vertical labels") << "btnVerticali" << Route::Second;
    QTest::newRow("exit picture") << "imgEsci" << Route::MainMenu;
    QTest::newRow("title-bar close") << "" << Route::MainMenu;
}

void TestMenuEtichette::routes()
{
    QFETCH(QString, action);
    QFETCH(Route, route);
    TestWorld world;
    TfrmMenuEtichette menu;
    QSignalSpy closed(&menu, &TfrmMenuEtichette::closed);
    // A choice made on an earlier visit does not outlive the menu being shown again.
    menu.show();
    menu.btnVerticaliClick();
    QCOMPARE(closed.size(), 1);
    menu.show();
    QCOMPARE(menu.lblMemory->text(), QStringLiteral("avvio"));
    if (action.isEmpty())
        menu.close();
    else
        QTest::mouseClick(menu.findChild<QAbstractButton*>(action), Qt::LeftButton);
    QCOMPARE(closed.size(), 2);
    QCOMPARE(closed.at(1).at(0).value<Route>(), route);
    QVERIFY(!menu.isVisible());
}

void TestMenuEtichette::markerWords_data()
{
    QTest::addColumn<QString>("marker");
    QTest::addColumn<Route>("route");
    QTest::newRow("avvio") << "avvio" << Route::MainMenu;
    QTest::newRow("orizzontali") << "orizzontali" << Route::First;
    QTest::newRow("verticali with blanks") << " verticali\r\n" << Route::Second;
    QTest::newRow("unknown goes home") << "listino" << Route::MainMenu;
    QTest::newRow("empty goes home") << "" << Route::MainMenu;
}

void TestMenuEtichette::markerWords()
{
    QFETCH(QString, marker);
    QFETCH(Route, route);
    TfrmMenuEtichette menu;
    QCOMPARE(menu.routeOf(marker), route);
}

void TestMenuEtichette::helpPicture()
{
    TestWorld world;
    TfrmMenuEtichette menu;
    menu.show();
    QString title;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* guida = qobject_cast<TfrmGuida*>(&dialog))
            title = guida->lblTitolo->text();
        return 0;
    };
    QTest::mouseClick(menu.imgGuida, Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("App Etichette Bottiglie"));
    QVERIFY(menu.isVisible());
}

QTEST_MAIN(TestMenuEtichette)
#include "tst_menuetichette.moc"
