// Two desks on one program folder, each with a real editor: the other desk
// runs in a process of its own (desk_worker) and saves the record this desk
// shows, in every record editor. A save never undoes what the other desk
// stored, texts or pictures, without the user choosing to.
#include "EditorFixture.h"
#include "EditFlow.h"
#include "RecordArchive.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QProcess>

using namespace vinarca;

Q_DECLARE_METATYPE(vinarca::MessageAnswer)

namespace {
const QString kSaved = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

QByteArray jpeg(const QColor& colour)
{
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// The other desk types `text` into box `box` of record 1, loads `picture`
// when given, and saves; answers the messages it was shown.
QStringList otherDeskSaves(const EditorFixture& f, const QString& editor, int box, const QString& text,
                           const QString& picture)
{
    QProcess desk;
    QStringList args{f.world.folder(), editor, QStringLiteral("1"), QString::number(box), text};
    if (!picture.isEmpty())
        args << picture;
    desk.start(QStringLiteral(WORKER_PATH), args);
    if (!desk.waitForFinished(60000) || desk.exitCode() != 0)
        return {QStringLiteral("the other desk failed: ") + QString::fromUtf8(desk.readAllStandardError())};
    QStringList seen = QString::fromUtf8(desk.readAllStandardOutput()).split(QChar(0));
    seen.removeLast();
    return seen;
}

QStringList storedTexts(const EditorFixture& f)
{
    RecordArchive archive(f.window->archive().path, *f.window->archive().layout, RecordArchive::Access::Read);
    QByteArray record;
    archive.readAt(1, record);
    return f.window->archive().layout->decode(record);
}
} // namespace

class TestTwoDesks : public QObject
{
    Q_OBJECT
private slots:
    void saveAfterTheOtherDesk_data();
    void saveAfterTheOtherDesk();
    void saveWithNoOtherDesk_data();
    void saveWithNoOtherDesk();
};

void TestTwoDesks::saveAfterTheOtherDesk_data()
{
    forEveryEditor([](const QString& editor) {
        QTest::addColumn<bool>("theirTexts"); // false: the other desk changed only the picture
        QTest::addColumn<MessageAnswer>("answer");
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", qPrintable(editor), name) << editor;
        };
        row("write over their texts, keep their picture") << true << MessageAnswer::Yes;
        row("see the stored record") << true << MessageAnswer::No;
        row("stay with the typed texts") << true << MessageAnswer::Cancel;
        row("their picture alone is a change too") << false << MessageAnswer::Cancel;
    });
}

void TestTwoDesks::saveAfterTheOtherDesk()
{
    QFETCH(QString, editor);
    QFETCH(bool, theirTexts);
    QFETCH(MessageAnswer, answer);
    EditorFixture f(editor);
    f.seed(1, true);
    const QString picture = f.window->pictureFiles(1).constFirst();
    QVERIFY(testfiles::write(picture, jpeg(Qt::red)));
    QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdPrimo")), Qt::LeftButton);
    QCOMPARE(f.window->lblPosizione->text(), QStringLiteral("1"));

    // The other desk saves record 1 with a new picture, and a new first box
    // or the one it was shown.
    const QString theirs = theirTexts ? QStringLiteral("Altra postazione") : QStringLiteral("Scheda 1");
    QVERIFY(testfiles::write(f.world.path(QStringLiteral("blu.jpg")), jpeg(Qt::blue)));
    QCOMPARE(otherDeskSaves(f, editor, 0, theirs, f.world.path(QStringLiteral("blu.jpg"))), QStringList{kSaved});
    const QByteArray theirPicture = testfiles::read(picture);
    QVERIFY(theirPicture != jpeg(Qt::red));

    // This desk changes only its second box and saves.
    HighlightEdit* mine = f.window->editBoxes().at(1);
    mine->setText(QStringLiteral("Questa postazione"));
    f.world.platform().answers << answer;
    QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdSalva")), Qt::LeftButton);

    const auto& messages = f.world.platform().messages;
    QVERIFY(!messages.isEmpty());
    QCOMPARE(messages.constFirst().kind, MessageKind::Choice);
    QVERIFY(messages.constFirst().text.startsWith(QStringLiteral("Attenzione: un'altra postazione")));
    const QStringList stored = storedTexts(f);
    switch (answer) {
    case MessageAnswer::Yes:
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages.constLast().text, kSaved);
        QVERIFY(stored.contains(QStringLiteral("Scheda 1")));
        QVERIFY(stored.contains(QStringLiteral("Questa postazione")));
        break;
    case MessageAnswer::No:
        QCOMPARE(messages.size(), 1);
        QCOMPARE(f.window->editBoxes().at(0)->text(), theirs);
        QVERIFY(mine->text() != QStringLiteral("Questa postazione"));
        QVERIFY(stored.contains(theirs));
        QVERIFY(!stored.contains(QStringLiteral("Questa postazione")));
        break;
    default:
        QCOMPARE(messages.size(), 1);
        QCOMPARE(f.window->editBoxes().at(0)->text(), QStringLiteral("Scheda 1"));
        QCOMPARE(mine->text(), QStringLiteral("Questa postazione"));
        QVERIFY(stored.contains(theirs));
        QVERIFY(!stored.contains(QStringLiteral("Questa postazione")));
        break;
    }
    // Whatever the answer, this desk never wrote the picture it left alone.
    QCOMPARE(testfiles::read(picture), theirPicture);
}

void TestTwoDesks::saveWithNoOtherDesk_data()
{
    forEveryEditor([](const QString& editor) { QTest::newRow(qPrintable(editor)) << editor; });
}

void TestTwoDesks::saveWithNoOtherDesk()
{
    QFETCH(QString, editor);
    EditorFixture f(editor);
    f.seed(1, true);
    const QString picture = f.window->pictureFiles(1).constFirst();
    QVERIFY(testfiles::write(picture, jpeg(Qt::red)));
    const FileIdentity before = fileIdentity(picture);
    QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdPrimo")), Qt::LeftButton);

    f.window->editBoxes().at(1)->setText(QStringLiteral("Questa postazione"));
    QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdSalva")), Qt::LeftButton);
    QCOMPARE(f.world.platform().messages.size(), 1);
    QCOMPARE(f.world.platform().lastMessage(), kSaved);
    QVERIFY(storedTexts(f).contains(QStringLiteral("Questa postazione")));
    // The picture was not changed here, so its file was not written again.
    QCOMPARE(fileIdentity(picture), before);

    // A second save after this desk's own is no conflict either.
    f.window->editBoxes().at(1)->setText(QStringLiteral("Ancora questa"));
    QTest::mouseClick(f.find<QAbstractButton>(QStringLiteral("cmdSalva")), Qt::LeftButton);
    QCOMPARE(f.world.platform().messages.size(), 2);
    QCOMPARE(f.world.platform().lastMessage(), kSaved);
}

QTEST_MAIN(TestTwoDesks)
#include "tst_twodesks.moc"
