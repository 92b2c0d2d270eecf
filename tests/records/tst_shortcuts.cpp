// The editors' toolbar keys: each key presses its button in every editor
// that has it (and nothing where the button is missing), the tooltips name
// the keys, a modal window over the editor holds the keys back, and the keys
// of text editing still edit the box with the focus.
#include "EditorFixture.h"
#include "PictureButton.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <map>
#include <memory>

using namespace vinarca;

namespace {

// An editor shown and active in a fresh program folder, the focus in its first box.
struct ShownEditor : EditorFixture
{
    std::map<QString, std::unique_ptr<QSignalSpy>> clicks; // per button name

    explicit ShownEditor(const QString& editor) : EditorFixture(editor)
    {
        window->editBoxes().constFirst()->setFocus();
        for (PictureButton* button : window->findChildren<PictureButton*>())
            clicks[button->objectName()] = std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked);
    }
    // The key as the user presses it: to the widget with the focus.
    static void press(const QKeySequence& key)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keySequence(target, key);
    }
    // The buttons clicked since the editor was shown, with their counts.
    QStringList clicked() const
    {
        QStringList names;
        for (const auto& [name, spy] : clicks) {
            for (qsizetype i = 0; i < spy->count(); ++i)
                names << name;
        }
        return names;
    }
};

// Counts the keys (modifiers apart) pressed in the widget with the focus in a window.
struct KeyCounter : QObject
{
    QWidget* window;
    int presses = 0;
    explicit KeyCounter(QWidget* w) : window(w) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || watched != window->focusWidget())
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Control && key != Qt::Key_Shift && key != Qt::Key_Alt)
            ++presses;
        return false;
    }
};

} // namespace

class TestShortcuts : public QObject
{
    Q_OBJECT
private slots:
    void keyPressesItsButton_data();
    void keyPressesItsButton();
    void keysWaitWhileAModalWindowIsOpen_data();
    void keysWaitWhileAModalWindowIsOpen();
    void editingKeysStillEditTheBox_data();
    void editingKeysStillEditTheBox();
};

void TestShortcuts::keyPressesItsButton_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("button"); // empty: the editor has no such button
    QTest::addColumn<QString>("tooltip");
    struct Key
    {
        const char* key;
        const char* button;
        const char* tooltip;
    };
    static const Key kKeys[] = {
        {"Ctrl+N", "cmdNuovo", "Nuovo (Ctrl+N)"},
        {"Ctrl+D", "cmdDuplica", "Duplica (Ctrl+D)"},
        {"Ctrl+S", "cmdSalva", "Salva (Ctrl+S)"},
        {"Ctrl+F", "cmdTrova", "Trova (Ctrl+F)"},
        {"Ctrl+Shift+P", "cmdAnteprima", "Anteprima (Ctrl+Maiusc+P)"},
        {"Ctrl+P", "cmdStampa", "Stampa (Ctrl+P)"},
        {"Ctrl+R", "cmdVerifica", "Verifica (Ctrl+R)"}, // the label editors only
        {"Alt+Home", "cmdPrimo", "Prima scheda (Alt+Home)"},
        {"Alt+PgUp", "cmdIndietro", "Scheda precedente (Alt+PagSu)"},
        {"Alt+PgDown", "cmdAvanti", "Scheda successiva (Alt+PagGiù)"},
        {"Alt+End", "cmdUltimo", "Ultima scheda (Alt+Fine)"},
        {"F1", "cmdGuida", "Guida (F1)"},
        {"Ctrl+W", "cmdEsci", "Esci (Ctrl+W)"},
    };
    for (const char* editor : kEditors) {
        const bool page = QLatin1String(editor) == QLatin1String("price list");
        for (const Key& k : kKeys) {
            const bool label = QLatin1String(editor).contains(QLatin1String("label"));
            const bool missing = (page && (QLatin1String(k.button) == QLatin1String("cmdDuplica") ||
                                           QLatin1String(k.button) == QLatin1String("cmdTrova")))
                || (!label && QLatin1String(k.button) == QLatin1String("cmdVerifica"));
            QTest::addRow("%s %s", editor, k.key) << editor << k.key << (missing ? "" : k.button)
                                                 << QString::fromUtf8(k.tooltip);
        }
    }
}

void TestShortcuts::keyPressesItsButton()
{
    QFETCH(QString, editor);
    QFETCH(QString, key);
    QFETCH(QString, button);
    QFETCH(QString, tooltip);
    ShownEditor shown(editor);
    QVERIFY(qobject_cast<HighlightEdit*>(QApplication::focusWidget()));
    if (!button.isEmpty())
        QCOMPARE(shown.window->findChild<PictureButton*>(button)->toolTip(), tooltip);

    ShownEditor::press(QKeySequence(key));

    // Exactly the one button, once: the key runs what the mouse runs.
    QCOMPARE(shown.clicked(), button.isEmpty() ? QStringList() : QStringList{button});
    QCOMPARE(shown.window->isVisible(), button != QLatin1String("cmdEsci"));
}

void TestShortcuts::keysWaitWhileAModalWindowIsOpen_data()
{
    QTest::addColumn<QString>("editor");
    for (const char* editor : kEditors)
        QTest::newRow(editor) << editor;
}

void TestShortcuts::keysWaitWhileAModalWindowIsOpen()
{
    QFETCH(QString, editor);
    ShownEditor shown(editor);
    int helpWindows = 0;
    int keysInTheHelpWindow = 0;
    shown.world.platform().onDialog = [&](QDialog& dialog) {
        ++helpWindows;
        dialog.setModal(true);
        dialog.show();
        // Shown from within the editor's key handling, the dialog becomes the
        // active window only once asked to.
        dialog.activateWindow();
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }))
            return 0;
        KeyCounter counter(&dialog);
        for (const char* key : {"Ctrl+N", "Ctrl+S", "Alt+End", "Ctrl+P", "F1", "Ctrl+W"})
            ShownEditor::press(QKeySequence(QString::fromLatin1(key)));
        keysInTheHelpWindow = counter.presses;
        dialog.close();
        return 0;
    };

    ShownEditor::press(QKeySequence(QStringLiteral("F1")));

    QCOMPARE(helpWindows, 1);
    QCOMPARE(keysInTheHelpWindow, 6); // the keys were pressed, in the help window
    QCOMPARE(shown.clicked(), QStringList{QStringLiteral("cmdGuida")});
    QVERIFY(shown.window->isVisible());
}

void TestShortcuts::editingKeysStillEditTheBox_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("expected");
    for (const char* editor : kEditors) {
        QTest::addRow("%s select all", editor) << editor << "Barolo" << "Ctrl+A" << "x" << "x";
        QTest::addRow("%s home", editor) << editor << "ab" << "Home" << "c" << "cab";
        QTest::addRow("%s word left", editor) << editor << "uno due" << "Ctrl+Left" << "x" << "uno xdue";
        QTest::addRow("%s delete word", editor) << editor << "uno due" << "Ctrl+Backspace" << "" << "uno ";
        // Letters that are shortcut keys with Ctrl are plain text without it.
        QTest::addRow("%s letters", editor) << editor << "" << "" << "nsdfpwr" << "nsdfpwr";
    }
}

void TestShortcuts::editingKeysStillEditTheBox()
{
    QFETCH(QString, editor);
    QFETCH(QString, before);
    QFETCH(QString, key);
    QFETCH(QString, after);
    QFETCH(QString, expected);
    ShownEditor shown(editor);
    auto* box = qobject_cast<HighlightEdit*>(QApplication::focusWidget());
    QVERIFY(box);
    box->clear();

    QTest::keyClicks(box, before);
    if (!key.isEmpty())
        ShownEditor::press(QKeySequence(key));
    QTest::keyClicks(box, after);

    QCOMPARE(box->text(), expected);
    QCOMPARE(shown.clicked(), QStringList());
}

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
