// The labels application among the program's windows: the main menu's label
// tile opens the labels menu, the menu hands over by its choice, and every
// way out of the menu or an editor leads back to the main menu.
#include "Avvio.h"
#include "HighlightEdit.h"
#include "LabelEditor.h"
#include "LabelWindows.h"
#include "LabelWindows.h"
#include "PictureButton.h"
#include "ScriptedPlatform.h"
#include "Password.h"
#include "WindowSet.h"

#include <QPushButton>
#include <QTest>

using namespace vinarca;

namespace {
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
} // namespace

class TestLabelRoutes : public QObject
{
    Q_OBJECT
private slots:
    void createdInTheirPlaces();
    void routes_data();
    void routes();
};

void TestLabelRoutes::createdInTheirPlaces()
{
    TestWorld world;
    WindowSet windows;
    windows.start(); // the login first, then the other windows
    QVERIFY(frmMenuEtichette && frmOrizzontali && frmVerticali);
    QCOMPARE(frmMenuEtichette->objectName(), QStringLiteral("frmMenuEtichette"));
    QCOMPARE(frmOrizzontali->objectName(), QStringLiteral("frmOrizzontali"));
    QCOMPARE(frmVerticali->objectName(), QStringLiteral("frmVerticali"));
    QCOMPARE(visibleWindows(), QStringList{"frmPassword"});
}

void TestLabelRoutes::routes_data()
{
    QTest::addColumn<QString>("tile");   // on the main menu
    QTest::addColumn<QString>("choice"); // on the labels menu; "" closes it by its title bar
    QTest::addColumn<QString>("editor"); // shown by the choice; "" : the main menu
    QTest::newRow("picture, vertical labels") << "imgApp03" << "btnVerticali" << "frmVerticali";
    QTest::newRow("caption, horizontal labels") << "btnApp03" << "btnOrizzontali" << "frmOrizzontali";
    QTest::newRow("exit picture") << "imgApp03" << "imgEsci" << "";
    QTest::newRow("title-bar close") << "btnApp03" << "" << "";
}

void TestLabelRoutes::routes()
{
    QFETCH(QString, tile);
    QFETCH(QString, choice);
    QFETCH(QString, editor);
    TestWorld world;
    WindowSet windows;
    windows.start();
    WindowSet::handOver(frmPassword, frmAvvio);
    QTest::mouseClick(frmAvvio->findChild<QAbstractButton*>(tile), Qt::LeftButton);
    QCOMPARE(visibleWindows(), QStringList{"frmMenuEtichette"});

    if (choice.isEmpty())
        frmMenuEtichette->close();
    else
        QTest::mouseClick(frmMenuEtichette->findChild<QAbstractButton*>(choice), Qt::LeftButton);
    if (editor.isEmpty()) {
        QCOMPARE(visibleWindows(), QStringList{"frmAvvio"});
        return;
    }
    QCOMPARE(visibleWindows(), QStringList{editor});
    LabelEditor* shown = frmVerticali->isVisible() ? static_cast<LabelEditor*>(frmVerticali) : frmOrizzontali;
    shown->txtProdotto->setText(QStringLiteral("non salvato"));
    // The editor returns to the main menu, never to the labels menu.
    QTest::mouseClick(shown->cmdEsci, Qt::LeftButton);
    QCOMPARE(visibleWindows(), QStringList{"frmAvvio"});
    // The next visit starts on an empty label.
    QTest::mouseClick(frmAvvio->imgApp03, Qt::LeftButton);
    QTest::mouseClick(frmMenuEtichette->findChild<QAbstractButton*>(choice), Qt::LeftButton);
    QVERIFY(shown->txtProdotto->text().isEmpty());
}

QTEST_MAIN(TestLabelRoutes)
#include "tst_labelroutes.moc"
