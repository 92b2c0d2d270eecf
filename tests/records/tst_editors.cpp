// What every record editor does alike, each case run in each editor (the
// wines, both label kinds and the price-list page): the four arrows over an
// archive of three records or none, and boxes that take no more than their
// field stores.
#include "EditorFixture.h"
#include "PictureButton.h"
#include "RecordArchive.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
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
    void priceBoxesStoreWhatTheyShow_data();
    void priceBoxesStoreWhatTheyShow();
    void leavingAsksAboutUnsavedWork_data();
    void leavingAsksAboutUnsavedWork();
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
    // A record read replaces what was typed, once the user has answered the
    // question about it (unscripted: No, discard); no record read leaves it
    // without a question.
    const bool read = expected != shown && !expected.isEmpty();
    QList<ScriptedPlatform::Message> notices;
    bool asked = false;
    for (const ScriptedPlatform::Message& m : f.world.platform().messages)
        m.kind == MessageKind::Choice ? void(asked = true) : notices.append(m);
    QCOMPARE(asked, read);
    QCOMPARE(notices.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(notices.constFirst().text, message);
        QCOMPARE(notices.constFirst().kind, MessageKind::Information);
    }
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

void TestEditors::priceBoxesStoreWhatTheyShow_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // after leaving the box, and as stored
    // The label and price-list boxes write the canonical price when it fits
    // them; the wine's price is kept as typed.
    QTest::newRow("wines: as typed") << "wines" << "Prezzo" << "12,5" << "12,5";
    QTest::newRow("wines: fifteen digits") << "wines" << "Prezzo" << "1234567890123456" << "123456789012345";
    for (const char* labels : {"vertical labels", "horizontal labels"}) {
        QTest::addRow("%s: canonical", labels) << labels << "Prezzo" << "12,5" << "12,50";
        QTest::addRow("%s: the longest price that fits", labels)
            << labels << "Prezzo" << "123456789012,345" << "123456789012,34";
        // 15 digits and ",00" would not fit: kept, never cut to a thousandth.
        QTest::addRow("%s: fifteen digits", labels) << labels << "Prezzo" << "1234567890123456" << "123456789012345";
    }
    QTest::newRow("price list: canonical") << "price list" << "Prezzo_A" << "7,5" << "7,50";
    QTest::newRow("price list: twelve digits") << "price list" << "Prezzo_A" << "1234567890123" << "123456789012";
}

void TestEditors::priceBoxesStoreWhatTheyShow()
{
    QFETCH(QString, editor);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    EditorFixture f(editor);
    const vinarca::RecordKind& kind = f.window->kind();
    for (const vinarca::RequiredField& required : kind.required)
        f.window->boxOf(required.field)->setText(QStringLiteral("Barolo"));
    vinarca::HighlightEdit* price = f.window->boxOf(field);
    const int length = price->maxLength();
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, typed);
    f.window->cmdSalva->click(); // leaves the box first, as a click on Salva does
    QCOMPARE(price->text(), shown);
    QCOMPARE(price->maxLength(), length);
    const vinarca::ArchiveRef archive = f.window->archive();
    vinarca::RecordArchive file(archive.path, *archive.layout, vinarca::RecordArchive::Access::Read);
    QByteArray record;
    file.readAt(1, record);
    QCOMPARE(archive.layout->decodeField(record, kind.field(field)), shown);
}

void TestEditors::leavingAsksAboutUnsavedWork_data()
{
    forEveryEditor([](const QString& editor) {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("work");  // "typed", "picture", or "visited": every box entered and left
        QTest::addColumn<int>("answer");    // a MessageAnswer; -1: no question expected
        const char* const ways[] = {"Alt+PgDown", "Nuovo", "Ctrl+W", "title bar", "search"};
        for (const char* way : ways) {
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::addRow("%s: %s, %s", qPrintable(editor), way, name) << editor << way;
            };
            row("typed, Sì saves and goes on") << "typed" << int(MessageAnswer::Yes);
            row("typed, No discards and goes on") << "typed" << int(MessageAnswer::No);
            row("typed, Annulla stays") << "typed" << int(MessageAnswer::Cancel);
            row("boxes entered and left unchanged: nothing asked") << "visited" << -1;
        }
        QTest::addRow("%s: a new picture alone, Annulla stays", qPrintable(editor))
            << editor << "Alt+PgDown" << "picture" << int(MessageAnswer::Cancel);
        QTest::addRow("%s: a new picture alone, Sì saves it", qPrintable(editor))
            << editor << "Nuovo" << "picture" << int(MessageAnswer::Yes);
    });
}

// Record 1 of two is shown and worked on, then left one way or another.
void TestEditors::leavingAsksAboutUnsavedWork()
{
    QFETCH(QString, editor);
    QFETCH(QString, way);
    QFETCH(QString, work);
    QFETCH(int, answer);
    EditorFixture f(editor);
    f.seed(2, true);
    QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdPrimo")), Qt::LeftButton);
    QCOMPARE(f.window->lblPosizione->text(), QStringLiteral("1"));
    const QString picture = f.window->pictureFiles(1).constFirst();
    if (work == QLatin1String("typed")) {
        f.keyBox()->setFocus();
        f.keyBox()->selectAll();
        QTest::keyClicks(f.keyBox(), QStringLiteral("Modificata"));
    } else if (work == QLatin1String("picture")) {
        QImage red(60, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(f.world.path(QStringLiteral("rosso.jpg"))));
        f.world.platform().openAnswers << f.world.path(QStringLiteral("rosso.jpg"));
        loadPicture(*f.window);
    } else {
        // Leaving a price box writes its price in full, an empty stock 0: no change to save.
        for (HighlightEdit* box : f.window->editBoxes()) {
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
        }
    }
    if (answer >= 0)
        f.world.platform().answers << MessageAnswer(answer);
    const QByteArray storedBefore = testfiles::read(f.window->archive().path);

    RecordEditor& window = *f.window;
    if (way == QLatin1String("Alt+PgDown"))
        QTest::keyClick(&window, Qt::Key_PageDown, Qt::AltModifier);
    else if (way == QLatin1String("Nuovo"))
        QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdNuovo")), Qt::LeftButton);
    else if (way == QLatin1String("Ctrl+W"))
        QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
    else if (way == QLatin1String("title bar"))
        window.close();
    else
        window.openRecord(window.archive().layout->emptyRecord(), 2);

    const auto& messages = f.world.platform().messages;
    if (answer < 0) {
        QCOMPARE(messages.size(), 0);
    } else {
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages.constFirst().kind, MessageKind::Choice);
        QCOMPARE(messages.constFirst().text, QStringLiteral("Salvare le modifiche apportate alla scheda corrente?"));
    }
    const bool stays = answer == int(MessageAnswer::Cancel);
    const bool saved = answer == int(MessageAnswer::Yes);
    QCOMPARE(messages.size(), answer < 0 ? 0 : saved ? 2 : 1);
    if (saved)
        QCOMPARE(messages.constLast().text,
                 QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
    // Sì stores the record as Salva does; No and Annulla write nothing.
    const QByteArray storedAfter = testfiles::read(f.window->archive().path);
    QCOMPARE(storedAfter != storedBefore, saved && work == QLatin1String("typed"));
    QCOMPARE(QFileInfo::exists(picture), saved && work == QLatin1String("picture"));
    if (stays) {
        QVERIFY(window.isVisible());
        QCOMPARE(window.lblPosizione->text(), QStringLiteral("1"));
        QCOMPARE(window.hasUnsavedChanges(), true);
        if (work == QLatin1String("typed"))
            QCOMPARE(f.keyBox()->text(), QStringLiteral("Modificata"));
    } else {
        const bool closes = way == QLatin1String("Ctrl+W") || way == QLatin1String("title bar");
        QCOMPARE(window.isVisible(), !closes);
        const QString next = way == QLatin1String("Nuovo") ? QString() : QStringLiteral("2");
        if (!closes)
            QCOMPARE(window.lblPosizione->text(), next);
    }
}

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
