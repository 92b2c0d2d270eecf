// What every record editor does alike, each case run in each editor (the
// wines, both label kinds and the price-list page): the four arrows over an
// archive of three records or none, and boxes that take no more than their
// field stores.
#include "EditorFixture.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLabel>

using namespace vinarca;

namespace {
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
} // namespace

class TestEditors : public QObject
{
    Q_OBJECT
private slots:
    void navigation_data();
    void navigation();
    void maximumLengths_data();
    void maximumLengths();
};

void TestEditors::navigation_data()
{
    forEveryEditor([](const QString& editor) {
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("shown");    // lblPosizione before the click
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected"); // lblPosizione afterwards
        QTest::addColumn<QString>("message");
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", qPrintable(editor), name) << editor;
        };
        row("first, empty archive") << 0 << "" << "cmdPrimo" << "" << kEmpty;
        row("last, empty archive") << 0 << "" << "cmdUltimo" << "" << kEmpty;
        row("previous, empty archive") << 0 << "" << "cmdIndietro" << "" << kEmpty;
        row("next, empty archive, clears the position") << 0 << "2" << "cmdAvanti" << "" << kEmpty;
        row("previous, emptied archive showing 1: nothing") << 0 << "1" << "cmdIndietro" << "1" << "";
        row("first from a new record") << 3 << "" << "cmdPrimo" << "1" << "";
        row("first from 2") << 3 << "2" << "cmdPrimo" << "1" << "";
        row("last from a new record") << 3 << "" << "cmdUltimo" << "3" << "";
        row("next from a new record shows 1") << 3 << "" << "cmdAvanti" << "1" << "";
        row("previous from a new record shows 1") << 3 << "" << "cmdIndietro" << "1" << "";
        row("next from 2") << 3 << "2" << "cmdAvanti" << "3" << "";
        row("next at the last: nothing") << 3 << "3" << "cmdAvanti" << "3" << "";
        row("next beyond the file: nothing") << 3 << "7" << "cmdAvanti" << "7" << "";
        row("previous from 3") << 3 << "3" << "cmdIndietro" << "2" << "";
        row("previous at the first: nothing") << 3 << "1" << "cmdIndietro" << "1" << "";
    });
}

void TestEditors::navigation()
{
    QFETCH(QString, editor);
    QFETCH(int, records);
    QFETCH(QString, shown);
    QFETCH(QString, button);
    QFETCH(QString, expected);
    QFETCH(QString, message);
    EditorFixture f(editor);
    f.seed(records);
    f.window->lblPosizione->setText(shown);
    f.keyBox()->setText(QStringLiteral("typed"));
    QTest::mouseClick(f.find<QAbstractButton>(button), Qt::LeftButton);

    QCOMPARE(f.window->lblPosizione->text(), expected);
    const auto& messages = f.world.platform().messages;
    QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(messages.constFirst().text, message);
        QCOMPARE(messages.constFirst().kind, MessageKind::Information);
    }
    // A record read replaces what was typed; no record read leaves it.
    const bool read = expected != shown && !expected.isEmpty();
    QCOMPARE(f.keyBox()->text(), read ? QStringLiteral("Scheda %1").arg(expected) : QStringLiteral("typed"));
    if (records == 0) // the first look at a missing archive creates it empty
        QCOMPARE(QFileInfo(f.window->archive().path).size(), 0);
}

void TestEditors::maximumLengths_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("maxLength");
    const auto row = [](const char* editor, const char* box, int maxLength) {
        QTest::addRow("%s: %s", editor, box) << editor << box << maxLength;
    };
    row("wines", "txtNome", 50);
    row("wines", "txtTel", 10);
    row("wines", "txtPrezzo", 15);
    row("wines", "txtNote", 250);
    for (const char* labels : {"vertical labels", "horizontal labels"}) {
        row(labels, "txtProdotto", 50);
        row(labels, "txtLotto", 50);
        row(labels, "txtPrezzo", 15);
        row(labels, "txtCima", 100);
        row(labels, "txtRigo04", 100);
        row(labels, "txtNote", 250);
    }
    row("price list", "txtNome_A", 50);
    row("price list", "txtUM_D", 120);
    row("price list", "txtCaratteristiche_E", 250);
    row("price list", "txtCodice_G", 25);
    row("price list", "txtPrezzo_H", 12);
}

// Typing past the end stops at the box's length (what its field stores, or
// less where the designed box is shorter).
void TestEditors::maximumLengths()
{
    QFETCH(QString, editor);
    QFETCH(QString, box);
    QFETCH(int, maxLength);
    EditorFixture f(editor);
    auto* edit = f.find<HighlightEdit>(box);
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClicks(edit, QString(maxLength + 5, QLatin1Char('7')));
    QCOMPARE(edit->text().size(), maxLength);
}

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
