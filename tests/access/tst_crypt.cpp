#include "Crypt.h"
#include "PasswordStore.h"

#include <QTest>

using namespace vinarca;

class TestCrypt : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void deliveredPasswordIsPinned();
    void digitsAreUpperCasePairs();
    void lowerCaseDigitsAreRead();
    void oddLengthIgnoresTheLastDigit();
    void badPairsFail_data();
    void badPairsFail();
    void normalForm_data();
    void normalForm();
    void storable_data();
    void storable();
};

void TestCrypt::roundTrip_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("empty") << QString();
    QTest::newRow("delivered password") << QStringLiteral("GRAPPOLODORARO");
    QTest::newRow("inner blanks") << QStringLiteral("ROSSO DI MONTALCINO");
    QTest::newRow("Latin-1 letters") << QStringLiteral("ÈÀÙ èàù ß ÿ");
    QTest::newRow("control characters and NUL") << QStringLiteral("A\x01\x1f") + QChar(0) + QStringLiteral("Z");
    QTest::newRow("255 characters") << QString(255, QLatin1Char('x'));
}

void TestCrypt::roundTrip()
{
    QFETCH(QString, plain);
    const QString hex = Crypt::EncryptToHex(plain);
    QCOMPARE(hex.size(), plain.size() * 2);
    QCOMPARE(Crypt::DecryptFromHex(hex), plain);
}

void TestCrypt::deliveredPasswordIsPinned()
{
    // Stores in the field were written with these constants: changing them
    // would lock every user out.
    QCOMPARE(Crypt::EncryptToHex(QStringLiteral("GRAPPOLODORARO")), QStringLiteral("F42BF633FA56EC57B14645DA94CF"));
}

void TestCrypt::digitsAreUpperCasePairs()
{
    // Every byte value appears somewhere in the output of 256 characters fed
    // in order; each must be two digits 0-9/A-F.
    QString all;
    for (int i = 0; i < 255; ++i)
        all.append(QChar(i));
    const QString hex = Crypt::EncryptToHex(all);
    for (QChar c : hex)
        QVERIFY2((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'), qPrintable(hex));
    // A change of one character changes every byte after it.
    const QString a = Crypt::EncryptToHex(QStringLiteral("AAAAAAAA"));
    const QString b = Crypt::EncryptToHex(QStringLiteral("ABAAAAAA"));
    QCOMPARE(a.left(2), b.left(2));
    QVERIFY(a.mid(2, 2) != b.mid(2, 2));
    QVERIFY(a.mid(4) != b.mid(4));
}

void TestCrypt::lowerCaseDigitsAreRead()
{
    const QString hex = Crypt::EncryptToHex(QStringLiteral("BAROLO"));
    QCOMPARE(Crypt::DecryptFromHex(hex.toLower()), QStringLiteral("BAROLO"));
}

void TestCrypt::oddLengthIgnoresTheLastDigit()
{
    const QString hex = Crypt::EncryptToHex(QStringLiteral("ASTI"));
    QCOMPARE(Crypt::DecryptFromHex(hex + QLatin1Char('7')), QStringLiteral("ASTI"));
    QCOMPARE(Crypt::DecryptFromHex(QStringLiteral("A")), QString());
}

void TestCrypt::badPairsFail_data()
{
    QTest::addColumn<QString>("hex");
    QTest::newRow("letter beyond F") << QStringLiteral("G1");
    QTest::newRow("bad pair after good ones") << Crypt::EncryptToHex(QStringLiteral("AB")) + QStringLiteral("1Z");
    QTest::newRow("blank inside a pair") << QStringLiteral("1 ");
    QTest::newRow("sign") << QStringLiteral("-1");
    QTest::newRow("more than 255 pairs") << QString(512, QLatin1Char('A'));
}

void TestCrypt::badPairsFail()
{
    QFETCH(QString, hex);
    QVERIFY_THROWS_EXCEPTION(Crypt::ConversionError, Crypt::DecryptFromHex(hex));
}

void TestCrypt::normalForm_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("normal");
    QTest::newRow("lower case") << QStringLiteral("grappolodoraro") << QStringLiteral("GRAPPOLODORARO");
    QTest::newRow("mixed case") << QStringLiteral("GrApPoLoDoRaRo") << QStringLiteral("GRAPPOLODORARO");
    QTest::newRow("blanks and tabs trimmed") << QStringLiteral(" \tvino\t ") << QStringLiteral("VINO");
    QTest::newRow("inner blanks kept") << QStringLiteral("vino rosso") << QStringLiteral("VINO ROSSO");
    QTest::newRow("accented letters untouched") << QStringLiteral("perché è") << QStringLiteral("PERCHé è");
    QTest::newRow("blanks only") << QStringLiteral("   ") << QString();
}

void TestCrypt::normalForm()
{
    QFETCH(QString, typed);
    QFETCH(QString, normal);
    QCOMPARE(NormalizePassword(typed), normal);
}

void TestCrypt::storable_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("storable");
    QTest::newRow("Latin-1") << QStringLiteral("CANTINA ÈÀ") << true;
    QTest::newRow("255 characters") << QString(255, QLatin1Char('A')) << true;
    QTest::newRow("256 characters") << QString(256, QLatin1Char('A')) << false;
    QTest::newRow("euro sign") << QStringLiteral("VINO€") << false;
    QTest::newRow("Polish letter") << QStringLiteral("ŁÓDŹ") << false;
}

void TestCrypt::storable()
{
    QFETCH(QString, password);
    QFETCH(bool, storable);
    QCOMPARE(isStorablePassword(password), storable);
}

QTEST_GUILESS_MAIN(TestCrypt)
#include "tst_crypt.moc"
