#include "FramedEdit.h"
#include "ScriptedPlatform.h"
#include "TrovaVini.h"
#include "WindowKeys.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace vinarca;

class TestWindowKeys : public QObject
{
    Q_OBJECT
private slots:
    void returnOnAFocusedButton_data();
    void returnOnAFocusedButton();
    void searchFindBoxThenTrova();
};

void TestWindowKeys::returnOnAFocusedButton_data()
{
    QTest::addColumn<bool>("dialog");     // a QDialog, whose buttons Qt presses on Return by itself
    QTest::addColumn<bool>("inTheBox");   // the focus in a line edit instead of on the button
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("optedOut");
    QTest::addColumn<int>("repeats");     // auto-repeated presses after the first
    QTest::addColumn<int>("presses");

    QTest::newRow("Return on a button of a plain window") << false << false << int(Qt::Key_Return) << false << 0 << 1;
    QTest::newRow("Enter on the keypad") << false << false << int(Qt::Key_Enter) << false << 0 << 1;
    QTest::newRow("a dialog's button presses once, not twice") << true << false << int(Qt::Key_Return) << false << 0 << 1;
    QTest::newRow("held down, it presses once") << false << false << int(Qt::Key_Return) << false << 3 << 1;
    QTest::newRow("the focus in a box of a window") << false << true << int(Qt::Key_Return) << false << 0 << 0;
    QTest::newRow("opted-out window") << false << false << int(Qt::Key_Return) << true << 0 << 0;
    QTest::newRow("opted-out dialog, keypad Enter") << true << false << int(Qt::Key_Enter) << true << 0 << 0;
    // The dialog's default button is pressed by Return in a box only where
    // the window has not opted out.
    QTest::newRow("the focus in a box of a dialog") << true << true << int(Qt::Key_Return) << false << 0 << 1;
    QTest::newRow("the focus in a box of an opted-out dialog") << true << true << int(Qt::Key_Return) << true << 0 << 0;
}

void TestWindowKeys::returnOnAFocusedButton()
{
    QFETCH(bool, dialog);
    QFETCH(bool, inTheBox);
    QFETCH(int, key);
    QFETCH(bool, optedOut);
    QFETCH(int, repeats);
    QFETCH(int, presses);

    std::unique_ptr<QWidget> window(dialog ? new QDialog : new QWidget);
    auto* box = new QLineEdit(window.get());
    auto* button = new QPushButton(QStringLiteral("OK"), window.get());
    button->move(0, 40);
    if (dialog)
        button->setDefault(true);
    if (optedOut)
        setReturnPressesButtons(window.get(), false);
    QSignalSpy clicked(button, &QPushButton::clicked);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget* focus = inTheBox ? static_cast<QWidget*>(box) : button;
    focus->setFocus();
    QCOMPARE(QApplication::focusWidget(), focus);

    QTest::keyPress(focus, Qt::Key(key));
    for (int i = 0; i < repeats; ++i) {
        QKeyEvent again(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(focus, &again);
    }
    QTest::keyRelease(focus, Qt::Key(key));
    QCOMPARE(clicked.count(), presses);
}

void TestWindowKeys::searchFindBoxThenTrova()
{
    TestWorld world;
    TfrmTrovaVini window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.btnCerca, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), window.txtTrova);

    // Return in the find box moves to Trova without finding; Return on Trova finds.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window.btnTrova);
    QVERIFY(world.platform().messages.isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().lastMessage(), QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestWindowKeys)
#include "tst_windowkeys.moc"
