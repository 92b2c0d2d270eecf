#include "Avvio.h"
#include "CambiaPassword.h"
#include "Password.h"
#include "FramedEdit.h"
#include "HighlightEdit.h"
#include "PriceListWindows.h"
#include "Palette.h"
#include "PasswordStore.h"
#include "PictureButton.h"
#include "ProgramFolder.h"
#include "ScriptedPlatform.h"
#include "Vini.h"
#include "WindowSet.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
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

// The boxes of `window` that show the focused colour: an editor's box painted
// yellow, or the visible yellow frame behind a password box.
QStringList focusedBoxes(QWidget* window)
{
    QStringList names;
    for (const HighlightEdit* box : window->findChildren<HighlightEdit*>()) {
        if (box->currentFill() == palette::FocusYellow)
            names << box->objectName();
    }
    for (const FramedEdit* box : window->findChildren<FramedEdit*>()) {
        if (box->highlight()->isVisible())
            names << box->highlight()->objectName();
    }
    return names;
}

bool activeWindowIs(QWidget* window)
{
    return QTest::qWaitForWindowActive(window) && QApplication::activeWindow() == window;
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
    void oneFocusedBoxWhenAWindowComesBack_data();
    void oneFocusedBoxWhenAWindowComesBack();
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
    // The login is painted on screen before the other windows are built.
    int paintedBefore = 0;
    QObject::connect(&windows, &WindowSet::loginOnScreen, [&] {
        QVERIFY(frmPassword->isVisible());
        QVERIFY(!frmAvvio && !frmCambiaPassword && !frmVini);
        ++paintedBefore;
    });
    windows.start();
    QCOMPARE(paintedBefore, 1);
    QCOMPARE(visibleWindows(), QList<QWidget*>{frmPassword});
    QCOMPARE(frmAvvio->objectName(), QStringLiteral("frmAvvio"));
    QCOMPARE(frmCambiaPassword->objectName(), QStringLiteral("frmCambiaPassword"));
    QCOMPARE(frmVini->objectName(), QStringLiteral("frmVini"));
    // Every window carries the program icon, drawn for small and large sizes.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QIcon icon = window->windowIcon();
        QVERIFY2(icon.availableSizes().contains(QSize(16, 16)) && icon.availableSizes().contains(QSize(256, 256)),
                 qPrintable(window->objectName()));
        QCOMPARE(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
    }
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

    // The price-list tile hands over to the price-list menu.
    frmAvvio->btnApp02->click();
    QVERIFY(frmMenuListini->isVisible());
    QVERIFY(visibleWindows().isEmpty());
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

void TestWindowSet::oneFocusedBoxWhenAWindowComesBack_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("box");       // the box the user clicks into before leaving
    QTest::addColumn<QString>("leftWith");  // the window's own exit control, or empty for a title-bar close
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("wine editor left with Esci") << "frmVini" << "txtGusto" << "cmdEsci" << QStringList{"txtGusto"}
                                                << QStringList{"txtNome"};
    QTest::newRow("wine editor closed by the title bar") << "frmVini" << "txtNote" << "" << QStringList{"txtNote"}
                                                         << QStringList{"txtNome"};
    QTest::newRow("change password closed by the title bar")
        << "frmCambiaPassword" << "txtPasswordNew" << "" << QStringList{"effPasswordNew"}
        << QStringList{"effPasswordOld"};
    QTest::newRow("change password left with Chiudi") << "frmCambiaPassword" << "txtConferma" << "cmdEsci"
                                                      << QStringList{"effConferma"} << QStringList{"effPasswordOld"};
}

void TestWindowSet::oneFocusedBoxWhenAWindowComesBack()
{
    QFETCH(QString, window);
    QFETCH(QString, box);
    QFETCH(QString, leftWith);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    TestWorld world;
    StorePassword(QStringLiteral("GRAPPOLODORARO"));
    WindowSet windows;
    windows.start();
    QVERIFY(activeWindowIs(frmPassword));
    const bool editor = window == QLatin1String("frmVini");
    QWidget* target = editor ? static_cast<QWidget*>(frmVini) : static_cast<QWidget*>(frmCambiaPassword);
    const auto open = [&] {
        if (editor) {
            frmAvvio->btnApp01->click();
        } else {
            frmPassword->btnCambiaPassword->click();
        }
    };
    if (editor) {
        frmPassword->txtPassword->setText(QStringLiteral("grappolodoraro"));
        QTest::keyClick(frmPassword->txtPassword, Qt::Key_Return);
        QVERIFY(activeWindowIs(frmAvvio));
    }

    open();
    QVERIFY(activeWindowIs(target));
    auto* clicked = target->findChild<QWidget*>(box);
    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), clicked);
    QCOMPARE(focusedBoxes(target), before);

    if (leftWith.isEmpty())
        target->close();
    else
        target->findChild<QAbstractButton*>(leftWith)->click();
    QVERIFY(activeWindowIs(editor ? static_cast<QWidget*>(frmAvvio) : static_cast<QWidget*>(frmPassword)));
    QVERIFY(!target->isVisible());

    open();
    QVERIFY(activeWindowIs(target));
    QCOMPARE(focusedBoxes(target), after);
}

QTEST_MAIN(TestWindowSet)
#include "tst_windowset.moc"
