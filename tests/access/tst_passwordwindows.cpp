#include "CambiaPassword.h"
#include "Password.h"
#include "FramedEdit.h"
#include "PasswordStore.h"
#include "ScriptedPlatform.h"
#include "Shapes.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace vinarca;

namespace {
const QString kWrong = QStringLiteral("Attenzione: password errata.");
const QString kReadFailure = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura "
                                            "della password. Si consiglia di reinstallare il software.");
const QString kChangeFailure = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica "
                                              "della password. Si consiglia di reinstallare il software.");
const QString kOldWrong = QStringLiteral("Attenzione: vecchia password errata.");
const QString kNotConfirmed = QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                                             "E' necessario reinserire entrambi i valori.");
const QString kChanged = QStringLiteral("Modifica della password completata con successo.");

template <typename W> void showActive(W& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void writeStore(const QByteArray& content)
{
    QFile f(passwordStorePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}
} // namespace

class TestPasswordWindows : public QObject
{
    Q_OBJECT
private slots:
    void loginDesign();
    void login_data();
    void login();
    void loginWithDamagedStore();
    void blanksOnlyKeepOkDisabled();
    void highlightFollowsFocus();
    void change_data();
    void change();
    void changeThenLogin();
    void changeRefusedWhenStoreIsReadOnly();
    void returnMovesRoundTheChangeBoxes();
};

void TestPasswordWindows::loginDesign()
{
    TestWorld world;
    TfrmPassword login;
    showActive(login);
    QCOMPARE(login.objectName(), QStringLiteral("frmPassword"));
    QVERIFY(login.windowTitle().startsWith(QStringLiteral(" Vinarca - ")));
    QCOMPARE(login.size(), QSize(388, 405));
    QCOMPARE(login.lblRigo05->text(), QStringLiteral("Immetti la password e premi OK."));
    QCOMPARE(login.txtPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(QApplication::focusWidget(), login.txtPassword);
    QVERIFY(!login.cmdOK->isEnabled());
    QCOMPARE(login.cmdEsci->text(), QStringLiteral("Esci"));
    QCOMPARE(login.btnCambiaPassword->text(), QStringLiteral("Cambia password"));
    QVERIFY(!(login.windowFlags() & Qt::WindowCloseButtonHint));
}

void TestPasswordWindows::login_data()
{
    QTest::addColumn<QString>("stored"); // empty: no store file
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("lower case for the delivered word") << "GRAPPOLODORARO" << "grappolodoraro" << true;
    QTest::newRow("mixed case and blanks") << "GRAPPOLODORARO" << "  GrappoloDoraro " << true;
    QTest::newRow("wrong word") << "GRAPPOLODORARO" << "grappolo" << false;
    QTest::newRow("missing store refuses everything") << "" << "grappolodoraro" << false;
    QTest::newRow("accented capital stored, small typed") << "CANTINA È" << "cantina è" << false;
    QTest::newRow("accented capital typed") << "CANTINA È" << "cantina È" << true;
}

void TestPasswordWindows::login()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TestWorld world;
    if (!stored.isEmpty())
        StorePassword(stored);
    TfrmPassword login;
    showActive(login);
    QSignalSpy loggedIn(&login, &TfrmPassword::loggedIn);
    login.txtPassword->setText(typed);
    QTest::keyClick(login.txtPassword, Qt::Key_Return);
    QCOMPARE(loggedIn.count(), accepted ? 1 : 0);
    if (accepted) {
        QVERIFY(world.platform().messages.isEmpty());
    } else {
        QCOMPARE(world.platform().messages.size(), 1);
        QVERIFY(world.platform().messages[0].plain);
        QCOMPARE(world.platform().lastMessage(), kWrong);
        QVERIFY(login.txtPassword->text().isEmpty());
        QVERIFY(!login.cmdOK->isEnabled());
        QCOMPARE(QApplication::focusWidget(), login.txtPassword);
    }
}

void TestPasswordWindows::loginWithDamagedStore()
{
    TestWorld world;
    writeStore("[Accesso]\r\nValore=ZZ\r\n");
    TfrmPassword login;
    showActive(login);
    QTest::keyClicks(login.txtPassword, QStringLiteral("vino"));
    QVERIFY(login.cmdOK->isEnabled());
    QTest::mouseClick(login.cmdOK, Qt::LeftButton);
    QCOMPARE(world.platform().lastMessage(), kReadFailure);
    QCOMPARE(login.txtPassword->text(), QStringLiteral("vino"));
}

void TestPasswordWindows::blanksOnlyKeepOkDisabled()
{
    TestWorld world;
    TfrmPassword login;
    showActive(login);
    QSignalSpy loggedIn(&login, &TfrmPassword::loggedIn);
    QTest::keyClicks(login.txtPassword, QStringLiteral("   "));
    QVERIFY(!login.cmdOK->isEnabled());
    QTest::keyClick(login.txtPassword, Qt::Key_Return);
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(loggedIn.count(), 0);
    QTest::keyClicks(login.txtPassword, QStringLiteral("x"));
    QVERIFY(login.cmdOK->isEnabled());
    QTest::keyClick(login.txtPassword, Qt::Key_Backspace);
    QVERIFY(!login.cmdOK->isEnabled());
}

void TestPasswordWindows::highlightFollowsFocus()
{
    TestWorld world;
    TfrmCambiaPassword change;
    showActive(change);
    auto* effOld = change.findChild<QWidget*>(QStringLiteral("effPasswordOld"));
    auto* effNew = change.findChild<QWidget*>(QStringLiteral("effPasswordNew"));
    QVERIFY(effOld && effNew);
    QVERIFY(effOld->isVisible());
    QVERIFY(!effNew->isVisible());
    QTest::keyClick(change.txtPasswordOld, Qt::Key_Tab);
    QVERIFY(!effOld->isVisible());
    QVERIFY(effNew->isVisible());
}

void TestPasswordWindows::change_data()
{
    QTest::addColumn<QString>("oldTyped");
    QTest::addColumn<QString>("newTyped");
    QTest::addColumn<QString>("confirmTyped");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("storedAfter");
    QTest::newRow("success, stored upper case") << "grappolodoraro" << " barolo " << "barolo" << kChanged << ""
                                                << "BAROLO";
    QTest::newRow("wrong old password") << "grappolo" << "barolo" << "barolo" << kOldWrong << "txtPasswordOld"
                                        << "GRAPPOLODORARO";
    QTest::newRow("confirmation differs in case only") << "grappolodoraro" << "barolo" << "Barolo" << kNotConfirmed
                                                       << "txtPasswordNew" << "GRAPPOLODORARO";
    QTest::newRow("character the store cannot carry")
        << "grappolodoraro" << "vino€" << "vino€"
        << "Attenzione: la nuova password può contenere al massimo 255 caratteri, scelti tra lettere, cifre e "
           "simboli dell'alfabeto latino. E' necessario reinserire entrambi i valori."
        << "txtPasswordNew" << "GRAPPOLODORARO";
    QTest::newRow("longer than 255 characters")
        << "grappolodoraro" << QString(256, QLatin1Char('v')) << QString(256, QLatin1Char('v'))
        << "Attenzione: la nuova password può contenere al massimo 255 caratteri, scelti tra lettere, cifre e "
           "simboli dell'alfabeto latino. E' necessario reinserire entrambi i valori."
        << "txtPasswordNew" << "GRAPPOLODORARO";
}

void TestPasswordWindows::change()
{
    QFETCH(QString, oldTyped);
    QFETCH(QString, newTyped);
    QFETCH(QString, confirmTyped);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(QString, storedAfter);
    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    TfrmCambiaPassword change;
    showActive(change);
    QSignalSpy closed(&change, &TfrmCambiaPassword::closed);
    change.txtPasswordOld->setText(oldTyped);
    change.txtPasswordNew->setText(newTyped);
    QVERIFY(!change.cmdOK->isEnabled());
    change.txtConferma->setText(confirmTyped);
    QVERIFY(change.cmdOK->isEnabled());
    QTest::mouseClick(change.cmdOK, Qt::LeftButton);

    QCOMPARE(world.platform().messages.size(), 1);
    QVERIFY(world.platform().messages[0].plain);
    QCOMPARE(world.platform().lastMessage(), message);
    QCOMPARE(ReadStoredPassword(), storedAfter);
    if (focus.isEmpty()) {
        QCOMPARE(closed.count(), 1);
        return;
    }
    QCOMPARE(closed.count(), 0);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    if (focus == QLatin1String("txtPasswordOld")) {
        QVERIFY(change.txtPasswordOld->text().isEmpty());
        QCOMPARE(change.txtPasswordNew->text(), newTyped);
    } else {
        QCOMPARE(change.txtPasswordOld->text(), oldTyped);
        QVERIFY(change.txtPasswordNew->text().isEmpty());
        QVERIFY(change.txtConferma->text().isEmpty());
    }
}

void TestPasswordWindows::changeThenLogin()
{
    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    TfrmCambiaPassword change;
    showActive(change);
    change.txtPasswordOld->setText(QStringLiteral("grappolodoraro"));
    change.txtPasswordNew->setText(QStringLiteral("Nebbiolo"));
    change.txtConferma->setText(QStringLiteral("Nebbiolo"));
    change.cmdOKClick();

    TfrmPassword login;
    showActive(login);
    QSignalSpy loggedIn(&login, &TfrmPassword::loggedIn);
    login.txtPassword->setText(QStringLiteral("grappolodoraro"));
    login.cmdOKClick();
    QCOMPARE(loggedIn.count(), 0);
    login.txtPassword->setText(QStringLiteral("nEBBIOLO"));
    login.cmdOKClick();
    QCOMPARE(loggedIn.count(), 1);

    // Opening the window again starts from empty boxes.
    change.show();
    QVERIFY(change.txtPasswordOld->text().isEmpty());
    QVERIFY(change.txtConferma->text().isEmpty());
}

void TestPasswordWindows::changeRefusedWhenStoreIsReadOnly()
{
    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    QFile::setPermissions(passwordStorePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    TfrmCambiaPassword change;
    showActive(change);
    change.txtPasswordOld->setText(QStringLiteral("grappolodoraro"));
    change.txtPasswordNew->setText(QStringLiteral("nuova"));
    change.txtConferma->setText(QStringLiteral("nuova"));
    change.cmdOKClick();
    QCOMPARE(world.platform().lastMessage(), kChangeFailure);
    QCOMPARE(change.txtPasswordNew->text(), QStringLiteral("nuova"));
    QCOMPARE(ReadStoredPassword(), QStringLiteral("GRAPPOLODORARO"));
    QFile::setPermissions(passwordStorePath(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestPasswordWindows::returnMovesRoundTheChangeBoxes()
{
    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    TfrmCambiaPassword change;
    showActive(change);
    change.txtPasswordOld->setText(QStringLiteral("grappolodoraro"));
    change.txtPasswordNew->setText(QStringLiteral("a"));
    change.txtConferma->setText(QStringLiteral("a"));
    for (const char* next : {"txtPasswordNew", "txtConferma", "txtPasswordOld"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(ReadStoredPassword(), QStringLiteral("GRAPPOLODORARO"));
}

QTEST_MAIN(TestPasswordWindows)
#include "tst_passwordwindows.moc"
