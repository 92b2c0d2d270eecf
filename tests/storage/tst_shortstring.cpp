#include "RecordLayout.h"
#include "ShortString.h"
#include "ExactBytes.h"

#include <QTest>

using namespace vinarca;

class TestShortString : public QObject
{
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decodeReadsOverlongLengthAsCapacity();
    void decodeTrimsAndConverts_data();
    void decodeTrimsAndConverts();
    void windows1252RoundTripsEveryByte();
    void shorterValueClearsEarlierTail();
};

void TestShortString::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("expected"); // length byte + text bytes

    QTest::newRow("blanks trimmed at both ends") << QStringLiteral(" Barolo ") << 50 << QByteArray("\x06" "Barolo");
    QTest::newRow("control characters trimmed") << QStringLiteral("\t\r\nAsti\x01") << 50 << QByteArray("\x04" "Asti");
    QTest::newRow("inner blanks kept") << QStringLiteral("Nero d'Avola") << 50 << QByteArray("\x0c" "Nero d'Avola");
    QTest::newRow("60 characters cut to capacity 50") << QString(60, QLatin1Char('x')) << 50
                                                      << QByteArray("\x32") + QByteArray(50, 'x');
    QTest::newRow("cut to capacity 15 (Prezzo)") << QStringLiteral("1234567890,123456") << 15
                                                 << QByteArray("\x0f" "1234567890,1234");
    QTest::newRow("accented letters are single bytes") << QStringLiteral("Acidità") << 50
                                                       << QByteArray("\x07" "Acidit\xe0");
    QTest::newRow("euro sign maps to 0x80") << QStringLiteral("12 €") << 50 << QByteArray("\x04" "12 \x80");
    QTest::newRow("curly quote maps to 0x92") << QStringLiteral("l’uva") << 50 << QByteArray("\x05" "l\x92uva");
    QTest::newRow("Polish l with stroke becomes ?") << QStringLiteral("Łódź") << 50 << QByteArray("\x04" "?\xf3" "d?");
    QTest::newRow("a character outside the BMP is one ?") << QStringLiteral("vino 🍷") << 50
                                                          << QByteArray("\x06" "vino ?");
    QTest::newRow("empty") << QString() << 50 << QByteArray("\x00", 1);
    QTest::newRow("blanks only") << QStringLiteral("   ") << 50 << QByteArray("\x00", 1);
}

void TestShortString::encode()
{
    QFETCH(QString, text);
    QFETCH(int, capacity);
    QFETCH(QByteArray, expected);

    QByteArray field(capacity + 1, '\x55');
    encodeShortString(field.data(), capacity, text);
    QCOMPARE(field.left(expected.size()), expected);
    // Unused bytes are zeroed, so no earlier value shows through.
    QCOMPARE(field.mid(expected.size()), QByteArray(capacity + 1 - expected.size(), '\0'));
}

void TestShortString::decodeReadsOverlongLengthAsCapacity()
{
    // A damaged length byte of 200 in a field of capacity 5.
    QByteArray field("\xc8" "abcdefgh");
    QCOMPARE(decodeShortString(ExactBytes(field).data(), 5), QStringLiteral("abcde"));
}

void TestShortString::decodeTrimsAndConverts_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("stored blanks trimmed") << QByteArray("\x08  Asti  ") << QStringLiteral("Asti");
    QTest::newRow("bytes after the length ignored") << QByteArray("\x03" "BarXYZ") << QStringLiteral("Bar");
    QTest::newRow("code page") << QByteArray("\x04\x80\xe8\x8a\x9f") << QStringLiteral("€èŠŸ");
    QTest::newRow("zero length") << QByteArray("\x00" "junk", 5) << QString();
}

void TestShortString::decodeTrimsAndConverts()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, expected);
    QCOMPARE(decodeShortString(ExactBytes(field).data(), 50), expected);
}

void TestShortString::windows1252RoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    QCOMPARE(toWindows1252(fromWindows1252(all)), all);
}

void TestShortString::shorterValueClearsEarlierTail()
{
    const RecordLayout layout{{"A", 10}, {"B", 5}};
    QByteArray record = layout.emptyRecord();
    layout.encodeField(record, 0, QStringLiteral("Montepulciano"));
    layout.encodeField(record, 0, QStringLiteral("Asti"));
    layout.encodeField(record, 1, QStringLiteral("xy"));
    QCOMPARE(record, QByteArray("\x04" "Asti\0\0\0\0\0\0" "\x02" "xy\0\0\0", 17));
    QCOMPARE(layout.decode(record), (QStringList{QStringLiteral("Asti"), QStringLiteral("xy")}));
}

QTEST_GUILESS_MAIN(TestShortString)
#include "tst_shortstring.moc"
