// Seeded random input for the readers of stored data: record decoding, the
// archive scan and the password store. Each run lasts about two seconds and
// checks properties that hold for any input, not particular answers.
#include "Crypt.h"
#include "PasswordStore.h"
#include "RecordArchive.h"
#include "RecordLayout.h"
#include "WineRecord.h"
#include "ExactBytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace vinarca;

namespace {
constexpr int kRunMs = 2000;

QByteArray randomBytes(QRandomGenerator& random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

bool isTrimmed(const QString& text)
{
    return text.isEmpty() || (text.front().unicode() > 32 && text.back().unicode() > 32);
}

// The smallest and largest capacities next to each other, and the wine record.
const RecordLayout& edgeLayout()
{
    static const RecordLayout layout{{"Uno", 1}, {"Lungo", 255}, {"Altro", 1}, {"Medio", 50}};
    return layout;
}

// A record as decoded must survive being stored again unchanged. It is
// decoded from a block of exactly its size, so a read past its end is caught.
void checkRecord(const RecordLayout& layout, const QByteArray& stored)
{
    const ExactBytes exact(stored);
    const QByteArray record = exact.view();
    const QStringList texts = layout.decode(record);
    QCOMPARE(texts.size(), layout.fieldCount());
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const int capacity = layout.field(i).capacity;
        const int lengthByte = uchar(record[layout.field(i).offset]);
        QCOMPARE(layout.decodeFieldAsStored(record, i).size(), qMin(lengthByte, capacity));
        QVERIFY(texts[i].size() <= capacity);
        QVERIFY(isTrimmed(texts[i]));
    }
    QByteArray again = layout.emptyRecord();
    layout.encode(again, texts);
    QCOMPARE(layout.decode(again), texts);
}

// Text that looks like a store often enough to reach every branch.
QByteArray randomStore(QRandomGenerator& random)
{
    static const QByteArray pieces[] = {"[Accesso]", "[accesso]", "[Altro]", "Valore=", "valore =", "X=1", "\r\n",
                                        "\n",        " ",         "[",       "]",       "=",        "0A", "ff", "G1"};
    QByteArray content;
    const int count = int(random.bounded(24));
    for (int i = 0; i < count; ++i) {
        if (random.bounded(4) == 0)
            content += randomBytes(random, random.bounded(8));
        else
            content += pieces[random.bounded(int(std::size(pieces)))];
    }
    return content;
}

QString randomPassword(QRandomGenerator& random)
{
    QString text;
    const int length = int(random.bounded(Crypt::kMaxLength + 1));
    for (int i = 0; i < length; ++i)
        text += QChar(char16_t(random.bounded(256)));
    return NormalizePassword(text);
}
} // namespace

class TestArchiveFuzz : public QObject
{
    Q_OBJECT
private slots:
    void recordDecoding_data();
    void recordDecoding();
    void archiveScan();
    void passwordStoreReading();
};

void TestArchiveFuzz::recordDecoding_data()
{
    QTest::addColumn<bool>("wine");
    QTest::newRow("wine record") << true;
    QTest::newRow("capacities 1 and 255") << false;
}

void TestArchiveFuzz::recordDecoding()
{
    QFETCH(bool, wine);
    const RecordLayout& layout = wine ? wineLayout() : edgeLayout();
    QRandomGenerator random(wine ? 2997 : 255);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kRunMs / 2) {
        // Noise, and a valid record with a few bytes changed.
        checkRecord(layout, randomBytes(random, layout.recordSize()));
        QByteArray record = layout.emptyRecord();
        QStringList texts;
        for (int i = 0; i < layout.fieldCount(); ++i)
            texts << QString::fromLatin1(randomBytes(random, random.bounded(layout.field(i).capacity + 8)));
        layout.encode(record, texts);
        for (int flips = int(random.bounded(4)); flips > 0; --flips)
            record[random.bounded(layout.recordSize())] = char(random.bounded(256));
        checkRecord(layout, record);
        if (QTest::currentTestFailed())
            return;
    }
}

// Any file is an archive: its whole records are read in order, a trailing
// fragment never, and every record decodes.
void TestArchiveFuzz::archiveScan()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Catalogo_Vini.pro"));
    const int size = wineLayout().recordSize();
    QRandomGenerator random(12);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kRunMs) {
        const QByteArray content = randomBytes(random, random.bounded(size * 5));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        RecordArchive archive(path, wineLayout(), RecordArchive::Access::Read);
        QCOMPARE(archive.count(), content.size() / size);
        QByteArray record;
        qint64 read = 0;
        while (archive.readNext(record)) {
            ++read;
            QCOMPARE(archive.lastPosition(), read);
            QCOMPARE(record, content.mid((read - 1) * size, size));
            checkRecord(wineLayout(), record);
        }
        QCOMPARE(read, archive.count());
        if (QTest::currentTestFailed())
            return;
    }
}

// Reading a store never yields what no store can hold: the value is either
// refused as damaged or deciphers to at most 255 trimmed characters. And a
// password written into any content reads back as written.
void TestArchiveFuzz::passwordStoreReading()
{
    QRandomGenerator random(1957);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kRunMs) {
        const QByteArray content = randomStore(random);
        const QString hex = iniValue(ExactBytes(content).view(), QStringLiteral("Accesso"), QStringLiteral("Valore"));
        try {
            const QString plain = Crypt::DecryptFromHex(hex);
            QVERIFY(plain.size() <= Crypt::kMaxLength);
            QVERIFY(std::all_of(plain.begin(), plain.end(), [](QChar c) { return c.unicode() <= 0xff; }));
        } catch (const Crypt::ConversionError&) {
        }
        const QString password = randomPassword(random);
        const QByteArray written = iniWithValue(content, QStringLiteral("Accesso"), QStringLiteral("Valore"),
                                                Crypt::EncryptToHex(password));
        QCOMPARE(Crypt::DecryptFromHex(iniValue(written, QStringLiteral("Accesso"), QStringLiteral("Valore"))),
                 password);
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_GUILESS_MAIN(TestArchiveFuzz)
#include "tst_archivefuzz.moc"
