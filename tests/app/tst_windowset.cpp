#include "ProgramFolder.h"
#include "ScriptedPlatform.h"
#include "Vini.h"
#include "WindowSet.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace vinarca;

class TestWindowSet : public QObject
{
    Q_OBJECT
private slots:
    void programFolderIsTheExecutablesFolder();
    void formatsIgnoreTheMachineLocale();
    void startShowsTheWineEditorAndClosingItEndsTheRun();
    void noDataFilesAreCreatedAtStartUp();
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

void TestWindowSet::startShowsTheWineEditorAndClosingItEndsTheRun()
{
    TestWorld world;
    WindowSet windows;
    QVERIFY(frmVini);
    QCOMPARE(frmVini->objectName(), QStringLiteral("frmVini"));
    windows.start();
    QVERIFY(frmVini->isVisible());
    QCOMPARE(frmVini->windowState() & Qt::WindowMaximized, Qt::WindowMaximized);

    bool quit = false;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] { quit = true; });
    QTimer::singleShot(0, frmVini, [] { frmVini->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(quit);
    QVERIFY(!frmVini->isVisible());
}

void TestWindowSet::noDataFilesAreCreatedAtStartUp()
{
    TestWorld world;
    WindowSet windows;
    windows.start();
    QCoreApplication::processEvents();
    QVERIFY(QDir(world.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_MAIN(TestWindowSet)
#include "tst_windowset.moc"
