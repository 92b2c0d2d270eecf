// Price fields: which keys get through while typing, and the canonical text
// a field holds once the focus leaves it.
#include "PriceEntry.h"

#include <QLocale>
#include <QTest>

using namespace vinarca;

class TestPriceEntry : public QObject
{
    Q_OBJECT
private slots:
    void normalize_data();
    void normalize();
    void regionalSettingsChangeNothing();
    void keys_data();
    void keys();
    void normalizeToFit_data();
    void normalizeToFit();
};

void TestPriceEntry::normalize_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("result");
    QTest::newRow("empty") << "" << "0,00";
    QTest::newRow("blanks only") << "   " << "0,00";
    QTest::newRow("integer gets two decimals") << "5" << "5,00";
    QTest::newRow("leading zeros go") << "007" << "7,00";
    QTest::newRow("zero") << "0" << "0,00";
    QTest::newRow("one decimal is padded") << "12,5" << "12,50";
    QTest::newRow("canonical stays") << "12,50" << "12,50";
    QTest::newRow("zero point one") << "0,1" << "0,10";
    QTest::newRow("rounded down") << "12,344" << "12,34";
    QTest::newRow("rounded up") << "12,346" << "12,35";
    QTest::newRow("exact half goes up") << "0,125" << "0,13";
    // The binary value of 2,675 lies just below the half: a rounding that
    // works in plain doubles would give 2,68.
    QTest::newRow("binary value below the half") << "2,675" << "2,67";
    QTest::newRow("binary value above the half") << "1,005" << "1,00";
    QTest::newRow("carries into the integer part") << "3,995" << "4,00";
    QTest::newRow("below half a cent") << "0,004" << "0,00";
    QTest::newRow("missing integer part") << ",5" << "0,50";
    QTest::newRow("missing fraction") << "12," << "12,00";
    QTest::newRow("lone comma reads as zero") << "," << "0,00";
    QTest::newRow("two commas in a row") << ",," << "0,00";
    QTest::newRow("several commas") << "1,2,3" << "0,00";
    QTest::newRow("no thousands separators") << "1000000" << "1000000,00";
    QTest::newRow("fifteen characters kept") << "123456789012,34" << "123456789012,34";
    QTest::newRow("fifteen digits grow past the box") << "123456789012345" << "123456789012345,00";
    // Beyond 15 significant digits only the first 15 are kept, in plain digits.
    QTest::newRow("sixteen digits") << "1234567890123456" << "1234567890123460,00";
    QTest::newRow("surrounding blanks") << " 12 " << "12,00";
    QTest::newRow("a tab is not a blank") << "\t12" << "0,00";
    QTest::newRow("point is not a separator") << "1.5" << "0,00";
    QTest::newRow("pasted letters") << "12a" << "0,00";
    QTest::newRow("pasted euro sign") << "12,50 €" << "0,00";
    QTest::newRow("blank inside the number") << "1 2" << "0,00";
    QTest::newRow("lone sign") << "-" << "0,00";
    QTest::newRow("exponent without digits before it") << "e5" << "0,00";
    QTest::newRow("exponent") << "1,5e2" << "150,00";
    QTest::newRow("negative exponent") << "125E-3" << "0,13";
    QTest::newRow("empty exponent") << "5e" << "5,00";
    QTest::newRow("overflowing exponent") << "1e999" << "0,00";
    QTest::newRow("plus sign") << "+3" << "3,00";
    QTest::newRow("pasted negative") << "-12,5" << "-12,50";
    // Half a cent below zero rounds away from zero like its positive twin,
    // so an exact amount never loses a cent.
    QTest::newRow("negative exact amount") << "-1,5" << "-1,50";
    QTest::newRow("negative half cent") << "-0,125" << "-0,13";
    QTest::newRow("negative below half a cent") << "-0,004" << "0,00";
}

void TestPriceEntry::normalize()
{
    QFETCH(QString, input);
    QFETCH(QString, result);
    QCOMPARE(NormalizePrice(input), result);
}

void TestPriceEntry::regionalSettingsChangeNothing()
{
    const QLocale previous;
    for (const char* name : {"en_US", "de_DE", "it_IT"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        QCOMPARE(NormalizePrice(QStringLiteral("1234,5")), QStringLiteral("1234,50"));
        QCOMPARE(NormalizePrice(QStringLiteral("1.234")), QStringLiteral("0,00"));
    }
    QLocale::setDefault(previous);
}

void TestPriceEntry::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digit 0") << int(Qt::Key_0) << "0" << true;
    QTest::newRow("digit 9") << int(Qt::Key_9) << "9" << true;
    QTest::newRow("comma") << int(Qt::Key_Comma) << "," << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << true;
    QTest::newRow("delete") << int(Qt::Key_Delete) << "" << true;
    QTest::newRow("left") << int(Qt::Key_Left) << "" << true;
    QTest::newRow("right") << int(Qt::Key_Right) << "" << true;
    QTest::newRow("point") << int(Qt::Key_Period) << "." << false;
    QTest::newRow("minus") << int(Qt::Key_Minus) << "-" << false;
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << false;
    QTest::newRow("blank") << int(Qt::Key_Space) << " " << false;
    QTest::newRow("home") << int(Qt::Key_Home) << "" << false;
    QTest::newRow("up") << int(Qt::Key_Up) << "" << false;
    QTest::newRow("superscript two is no digit") << int(Qt::Key_twosuperior) << "²" << false;
}

void TestPriceEntry::keys()
{
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QCOMPARE(IsPriceKey(key, typed), accepted);
}

void TestPriceEntry::normalizeToFit_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QString>("result");
    QTest::newRow("fits") << "12,5" << 15 << "12,50";
    QTest::newRow("exactly the box") << "123456789012,34" << 15 << "123456789012,34";
    QTest::newRow("exactly a price-list box") << "123456789,5" << 12 << "123456789,50";
    // The canonical text would not fit: kept as typed, never cut to another amount.
    QTest::newRow("fifteen digits in a label box") << "123456789012345" << 15 << "123456789012345";
    QTest::newRow("twelve digits in a price-list box") << "123456789012" << 12 << "123456789012";
    QTest::newRow("pasted exponent") << "1e99" << 15 << "1e99";
    QTest::newRow("not a number still gives zero") << "1,2,3" << 15 << "0,00";
}

void TestPriceEntry::normalizeToFit()
{
    QFETCH(QString, input);
    QFETCH(int, capacity);
    QFETCH(QString, result);
    QCOMPARE(NormalizePriceToFit(input, capacity), result);
}

QTEST_APPLESS_MAIN(TestPriceEntry)
#include "tst_priceentry.moc"
