#include "Avvio.h"
#include "CambiaPassword.h"
#include "Password.h"
#include "FramedEdit.h"
#include "PasswordStore.h"
#include "PictureButton.h"
#include "ProgramFolder.h"
#include "ScriptedPlatform.h"
#include "Vini.h"
#include "WindowSet.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vinarca;

namespace {
// Runs `steps` inside the event loop and reports whether the run ended.
bool runEnds(const std::function<void()>& steps)
{
    bool ended = false;
    auto connection = QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { ended = true; });
    QTimer::singleShot(0, qApp, steps);
    QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(7); });
    const int code = QCoreApplication::exec();
    QObject::disconnect(connection);
    return ended && code == 0;
}

QList<QWidget*> visibleWindows()
{
    QList<QWidget*> visible;
    for (QWidget* w : {static_cast<QWidget*>(frmPassword), static_cast<QWidget*>(frmAvvio),
                       static_cast<QWidget*>(frmCambiaPassword), static_cast<QWidget*>(frmVini)}) {
        if (w->isVisible())
            visible << w;
    }
    return visible;
}
} // namespace

class TestWindowSet : public QObject
{
    Q_OBJECT
private slots:
    void programFolderIsTheExecutablesFolder();
    void formatsIgnoreTheMachineLocale();
    void startShowsOnlyTheLogin();
    void routesThroughTheMainMenu();
    void changePasswordRoundTrip();
    void closingTheMainMenuEndsTheRun();
    void exitFromTheLoginEndsTheRun();
};

void TestWindowSet::programFolderIsTheExecutablesFolder()
{
    const QString expected = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    QCOMPARE(ProgramFolder(), expected);
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    QCOMPARE(ProgramFolder(), expected);
    QDir::setCurrent(before);
    setProgramFolderForTesting(QStringLiteral("/tmp/somewhere"));
    QCOMPARE(ProgramFolder(), QStringLiteral("/tmp/somewhere/"));
    setProgramFolderForTesting({});
    QCOMPARE(ProgramFolder(), expected);
}

void TestWindowSet::formatsIgnoreTheMachineLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    applyProcessFormats();
    QCOMPARE(shortDateText(QDate(2026, 3, 7)), QStringLiteral("07/03/2026"));
    QCOMPARE(QLocale().toString(12.5, 'f', 2), QStringLiteral("12,50"));
    QCOMPARE(QLocale().toDouble(QStringLiteral("3,25")), 3.25);
}

void TestWindowSet::startShowsOnlyTheLogin()
{
    TestWorld world;
    WindowSet windows;
    windows.start();
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmPassword});
    QCOMPARE(frmAvvio->objectName(), QStringLiteral("frmAvvio"));
    QCOMPARE(frmCambiaPassword->objectName(), QStringLiteral("frmCambiaPassword"));
    QCOMPARE(frmVini->objectName(), QStringLiteral("frmVini"));
    // No data file appears at start-up.
    QVERIFY(QDir(world.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

void TestWindowSet::routesThroughTheMainMenu()
{
    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    WindowSet windows;
    windows.start();
    frmPassword->txtPassword->setText(QStringLiteral("grappolodoraro"));
    frmPassword->cmdOK->click();
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmAvvio});
    QVERIFY(frmAvvio->windowState() & Qt::WindowMaximized);

    frmAvvio->btnApp01->click();
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmVini});
    // Closing the editor by its title bar returns to the main menu and the run goes on.
    QVERIFY(!runEnds([] { frmVini->close(); }));
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmAvvio});

    // Price lists come later: their tile leaves the menu where it is.
    frmAvvio->btnApp02->click();
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmAvvio});
}

void TestWindowSet::changePasswordRoundTrip()
{
    TestWorld world;
    WindowSet windows;
    windows.start();
    frmPassword->txtPassword->setText(QStringLiteral("qualcosa"));
    frmPassword->btnCambiaPassword->click();
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmCambiaPassword});
    frmCambiaPassword->cmdEsci->click();
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmPassword});
    QVERIFY(frmPassword->txtPassword->text().isEmpty());
}

void TestWindowSet::closingTheMainMenuEndsTheRun()
{
    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    WindowSet windows;
    windows.start();
    frmPassword->txtPassword->setText(QStringLiteral("grappolodoraro"));
    frmPassword->cmdOKClick();
    QVERIFY(runEnds([] { frmAvvio->close(); }));
}

void TestWindowSet::exitFromTheLoginEndsTheRun()
{
    TestWorld world;
    WindowSet windows;
    windows.start();
    QVERIFY(runEnds([] { frmPassword->cmdEsci->click(); }));
}

QTEST_MAIN(TestWindowSet)
#include "tst_windowset.moc"
