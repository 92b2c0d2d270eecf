// The editing flow every record editor shares, as plain logic: the
// navigation table, parsing the position label, storing in place or by
// appending, and the picture file rules.
#include "EditFlow.h"
#include "Photo.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "WineRecord.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <stdexcept>

using namespace vinarca;

Q_DECLARE_METATYPE(vinarca::NavStep)

namespace {
// A small kind of its own: 10-byte records, pictures "Foto/Foto_<n>.jpg".
const RecordLayout kLayout{{"Nome", 4}, {"Note", 4}};
const RecordKind kTiny{QStringLiteral("tiny.pro"), &kLayout, QStringLiteral("Foto"), QStringLiteral("Foto_"),
                       {{QStringLiteral("Nome"), QStringLiteral("manca il nome")}}};

QByteArray record(const QString& nome)
{
    QByteArray r = kLayout.emptyRecord();
    kLayout.encodeField(r, kTiny.field(QStringLiteral("Nome")), nome);
    return r;
}
} // namespace

class TestEditFlow : public QObject
{
    Q_OBJECT
private slots:
    void navigationTable_data();
    void navigationTable();
    void positionLabel_data();
    void positionLabel();
    void storeAppendsOrWritesInPlace();
    void navigateReadsTheTarget();
    void storeChecksWhatWasShown_data();
    void storeChecksWhatWasShown();
    void requiredFields_data();
    void requiredFields();
    void kindNamesFieldsAndFiles();
    void pictureStates_data();
    void pictureStates();
};

void TestEditFlow::navigationTable_data()
{
    QTest::addColumn<NavStep>("step");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("shown"); // 0: a new record
    QTest::addColumn<qint64>("target"); // 0: nothing is read
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("clear");
    const auto F = NavStep::First, P = NavStep::Previous, N = NavStep::Next, L = NavStep::Last;
    QTest::newRow("first, empty archive") << F << 0LL << 0LL << 0LL << true << false;
    QTest::newRow("last, empty archive") << L << 0LL << 0LL << 0LL << true << false;
    QTest::newRow("previous, empty archive") << P << 0LL << 0LL << 0LL << true << false;
    QTest::newRow("next, empty archive: position dropped") << N << 0LL << 2LL << 0LL << true << true;
    QTest::newRow("previous on 1 of an emptied archive: nothing at all") << P << 0LL << 1LL << 0LL << false << false;
    QTest::newRow("first from a new record") << F << 3LL << 0LL << 1LL << false << false;
    QTest::newRow("first from 3") << F << 3LL << 3LL << 1LL << false << false;
    QTest::newRow("last from a new record") << L << 3LL << 0LL << 3LL << false << false;
    QTest::newRow("next from a new record shows 1") << N << 3LL << 0LL << 1LL << false << false;
    QTest::newRow("previous from a new record shows 1") << P << 3LL << 0LL << 1LL << false << false;
    QTest::newRow("next from 2") << N << 3LL << 2LL << 3LL << false << false;
    QTest::newRow("next on the last: nothing") << N << 3LL << 3LL << 0LL << false << false;
    QTest::newRow("next beyond the archive: nothing") << N << 3LL << 7LL << 0LL << false << false;
    QTest::newRow("previous from 3") << P << 3LL << 3LL << 2LL << false << false;
    QTest::newRow("previous on the first: nothing") << P << 3LL << 1LL << 0LL << false << false;
    // The archive shrank under the editor: the read of 6 then fails and is
    // reported as an access failure.
    QTest::newRow("previous beyond the archive asks for the one before") << P << 3LL << 7LL << 6LL << false << false;
}

void TestEditFlow::navigationTable()
{
    QFETCH(NavStep, step);
    QFETCH(qint64, count);
    QFETCH(qint64, shown);
    QFETCH(qint64, target);
    QFETCH(bool, empty);
    QFETCH(bool, clear);
    QCOMPARE(navigationTarget(step, count, shown), (NavigationTarget{target, empty, clear}));
}

void TestEditFlow::positionLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("position"); // -1: refused as an access failure
    QTest::newRow("empty: a new record") << "" << 0LL;
    QTest::newRow("blanks: a new record") << "  " << 0LL;
    QTest::newRow("a position") << "12" << 12LL;
    QTest::newRow("a position with blanks") << " 7 " << 7LL;
    QTest::newRow("zero") << "0" << -1LL;
    QTest::newRow("negative") << "-3" << -1LL;
    QTest::newRow("not a number") << "dodici" << -1LL;
}

void TestEditFlow::positionLabel()
{
    QFETCH(QString, text);
    QFETCH(qint64, position);
    if (position < 0)
        QVERIFY_THROWS_EXCEPTION(ArchiveError, parsePosition(text));
    else
        QCOMPARE(parsePosition(text), position);
}

void TestEditFlow::storeAppendsOrWritesInPlace()
{
    TestWorld world;
    EditSession session(kLayout);
    QCOMPARE(session.store(kTiny.archive(), 0, {"uno", ""}).position, 1);
    const StoreOutcome second = session.store(kTiny.archive(), 0, {" due ", ""});
    QCOMPARE(second.position, 2);
    QVERIFY(second.appended);
    const StoreOutcome inPlace = session.store(kTiny.archive(), 1, {"UNO", ""});
    QCOMPARE(inPlace.position, 1);
    QVERIFY(!inPlace.appended);
    QCOMPARE(testfiles::read(kTiny.archivePath()), record("UNO") + record("due"));
    // A position the archive does not hold is refused, and nothing is written.
    QVERIFY_THROWS_EXCEPTION(ArchiveError, session.store(kTiny.archive(), 5, {"cinque", ""}));
    QCOMPARE(testfiles::read(kTiny.archivePath()).size(), 2 * kLayout.recordSize());
    // Any file of the layout serves as the archive: a list the user opened.
    const ArchiveRef list{world.path(QStringLiteral("Rossi.lis")), &kLayout};
    QCOMPARE(session.store(list, 0, {"lista", ""}).position, 1);
    QCOMPARE(testfiles::read(list.path), record("lista"));
}

void TestEditFlow::storeChecksWhatWasShown_data()
{
    QTest::addColumn<QString>("shown");    // record 1 as the editor read it ("": no check)
    QTest::addColumn<bool>("picturesSame"); // the picture files are those shown
    QTest::addColumn<bool>("written");
    QTest::newRow("nothing changed meanwhile: written") << "uno" << true << true;
    QTest::newRow("another desk saved the record") << "UNO" << true << false;
    QTest::newRow("another desk replaced a picture") << "uno" << false << false;
    QTest::newRow("the user chose to write over it") << "" << false << true;
}

void TestEditFlow::storeChecksWhatWasShown()
{
    QFETCH(QString, shown);
    QFETCH(bool, picturesSame);
    QFETCH(bool, written);
    TestWorld world;
    QVERIFY(testfiles::write(kTiny.archivePath(), record("uno")));
    EditSession session(kLayout);
    StoreGuard guard;
    if (!shown.isEmpty())
        guard.shownRecord = record(shown);
    guard.picturesUnchanged = [picturesSame] { return picturesSame; };
    QList<qint64> picturesWritten;
    guard.writePictures = [&](qint64 position, bool) { picturesWritten << position; };

    const StoreOutcome outcome = session.store(kTiny.archive(), 1, {"mio", ""}, guard);
    QCOMPARE(outcome.storedMeanwhile, !written);
    QCOMPARE(testfiles::read(kTiny.archivePath()), written ? record("mio") : record("uno"));
    QCOMPARE(picturesWritten, written ? QList<qint64>{1} : QList<qint64>{});
    // A refused save leaves the buffer as it was read, for the next try.
    QCOMPARE(session.record() == record("mio"), written);
}

void TestEditFlow::navigateReadsTheTarget()
{
    TestWorld world;
    QVERIFY(testfiles::write(kTiny.archivePath(), record("uno") + record("due") + record("tre")));
    EditSession session(kLayout);
    const NavigationTarget last = session.navigate(kTiny.archive(), NavStep::Last, 0);
    QCOMPARE(last.position, 3);
    QCOMPARE(session.record(), record("tre"));
    QCOMPARE(session.navigate(kTiny.archive(), NavStep::Next, 3).position, 0);
    QCOMPARE(session.record(), record("tre"));
    QVERIFY_THROWS_EXCEPTION(ArchiveError, session.navigate(kTiny.archive(), NavStep::Previous, 7));
}

void TestEditFlow::requiredFields_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("missing"); // "" : none
    QTest::newRow("both given") << QStringList{"Vino", "Cantina"} << "";
    QTest::newRow("first empty") << QStringList{"", "Cantina"} << "Nome";
    QTest::newRow("only blanks count as empty") << QStringList{" \t ", "Cantina"} << "Nome";
    QTest::newRow("second empty") << QStringList{"Vino", ""} << "Note";
    QTest::newRow("both empty: the first is named") << QStringList{"", ""} << "Nome";
}

void TestEditFlow::requiredFields()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, missing);
    const QList<RequiredField> required{{"Nome", "manca il nome"}, {"Note", "mancano le note"}};
    const EditSession session(kLayout);
    const RequiredField* found = session.missingField(required, kLayout, texts);
    QCOMPARE(found ? found->field : QString(), missing);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, session.missingField({{"Nomi", "?"}}, kLayout, texts));
}

void TestEditFlow::kindNamesFieldsAndFiles()
{
    TestWorld world;
    QCOMPARE(kTiny.field(QStringLiteral("Note")), 1);
    // A misspelt name fails at once instead of showing or printing blank.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, kTiny.field(QStringLiteral("note")));
    QCOMPARE(kTiny.archivePath(), world.path(QStringLiteral("tiny.pro")));
    QCOMPARE(kTiny.picturePath(QStringLiteral(" 12 ")), world.path(QStringLiteral("Foto/Foto_12.jpg")));
    QCOMPARE(wineKind().picturePath(QStringLiteral("3")),
             world.path(QStringLiteral("Catalogo_Vini/Catalogo_Vini_Foto_3.jpg")));
    for (const RequiredField& required : wineKind().required)
        QVERIFY(wineKind().field(required.field) >= 0);
}

void TestEditFlow::pictureStates_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("unreadable");
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "JPEG");
    }
    QTest::newRow("no file: placeholder, nothing to keep") << QByteArray() << false << false;
    QTest::newRow("a photo") << jpeg << true << false;
    QTest::newRow("not a picture: placeholder, file kept") << QByteArray("not a picture") << false << true;
    QTest::newRow("cut short: placeholder, file kept") << jpeg.left(jpeg.size() / 3) << false << true;
}

void TestEditFlow::pictureStates()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, shown);
    QFETCH(bool, unreadable);
    TestWorld world;
    if (!content.isEmpty())
        QVERIFY(testfiles::write(kTiny.picturePath(QStringLiteral("1")), content));
    const RecordPicture picture = readRecordPicture(kTiny, QStringLiteral("1"));
    QCOMPARE(bool(picture.photo), shown);
    QCOMPARE(picture.unreadable, unreadable);
    QVERIFY(QDir(kTiny.pictureFolderPath()).exists()); // the folder is made on every read
}

QTEST_MAIN(TestEditFlow)
#include "tst_editflow.moc"
