// The list logic every search window shares: the order of the lines, find
// in list, fixed columns and the lookup of a listed record.
#include "ListSearch.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QTest>

using namespace vinarca;

class TestListSearch : public QObject
{
    Q_OBJECT
private slots:
    void listOrder_data();
    void listOrder();
    void findInList_data();
    void findInList();
    void columns_data();
    void columns();
    void listedRecordIsTheLastEqualOne();
};

void TestListSearch::listOrder_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("sorted");
    // Letters compare without regard to case; other characters by code
    // ('[' and '_' come between upper and lower case letters in the code page).
    QTest::newRow("letters alike in either case")
        << QStringList{"barolo", "Amarone", "asti", "Barbera", "_x", "Zibibbo", "[y"}
        << QStringList{"Amarone", "asti", "Barbera", "barolo", "Zibibbo", "[y", "_x"};
    // The code page puts the euro, typographic quotes and the capitals with
    // caron at 0x80-0x9F, before the Latin-1 letters: not in Unicode order.
    QTest::newRow("code page order of 0x80-0xFF")
        << QStringList{QStringLiteral("À"), QStringLiteral("€"), QStringLiteral("~"), QStringLiteral("Š"),
                       QStringLiteral("’"), QStringLiteral("Œ"), QStringLiteral("¡")}
        << QStringList{QStringLiteral("~"), QStringLiteral("€"), QStringLiteral("Š"), QStringLiteral("Œ"),
                       QStringLiteral("’"), QStringLiteral("¡"), QStringLiteral("À")};
    QTest::newRow("a shorter line first, equal lines keep their order")
        << QStringList{"Soave 2", "soave", "Soave", "SOAVE 1"} << QStringList{"soave", "Soave", "SOAVE 1", "Soave 2"};
    // Lines alike in their first eight characters are ordered by the rest.
    QTest::newRow("long lines differing late, in any case")
        << QStringList{QStringLiteral("Barbaresco Riserva  € 40"), QStringLiteral("BARBARESCO annata  € 25"),
                       QStringLiteral("barbaresco Riserva  € 38"), QStringLiteral("Barbaresco Riserva  € 40")}
        << QStringList{QStringLiteral("BARBARESCO annata  € 25"), QStringLiteral("barbaresco Riserva  € 38"),
                       QStringLiteral("Barbaresco Riserva  € 40"), QStringLiteral("Barbaresco Riserva  € 40")};
}

void TestListSearch::listOrder()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, sorted);
    // The lines a search window keeps, one byte a character, sort alike
    // and give back their texts unchanged.
    ListLines packed(lines);
    packed.sort();
    QCOMPARE(packed.toStringList(), sorted);
    for (qsizetype i = 0; i < packed.size(); ++i)
        QCOMPARE(packed.at(i), sorted.at(i));
    sortListLines(lines);
    QCOMPARE(lines, sorted);
}

void TestListSearch::findInList_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("same");
    QTest::addColumn<int>("expected");
    // items: 0 "barolo a", 1 "asti", 2 "barolo b", 3 "soave"
    QTest::newRow("new text starts from the top") << 2 << "barolo" << false << 0;
    QTest::newRow("same text moves to the next match") << 0 << "barolo" << true << 2;
    QTest::newRow("same text wraps round to the first") << 2 << "barolo" << true << 0;
    QTest::newRow("single match found again from itself") << 3 << "soave" << true << 3;
    QTest::newRow("no match keeps nothing") << 1 << "brunello" << false << -1;
    QTest::newRow("empty text never matches") << 1 << "" << false << -1;
}

void TestListSearch::findInList()
{
    QFETCH(int, selected);
    QFETCH(QString, text);
    QFETCH(bool, same);
    QFETCH(int, expected);
    const QStringList items{"Barolo A", "Asti", "BAROLO B", "Soave"};
    QCOMPARE(vinarca::findInList(items, selected, text, same), expected);
}

void TestListSearch::columns_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("column");
    QTest::newRow("padded") << "Asti" << 6 << "Asti  ";
    QTest::newRow("exact") << "Soave" << 5 << "Soave";
    QTest::newRow("cut") << "Barbaresco" << 4 << "Barb";
    QTest::newRow("empty") << "" << 3 << "   ";
}

void TestListSearch::columns()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, column);
    QCOMPARE(listColumn(text, width), column);
}

void TestListSearch::listedRecordIsTheLastEqualOne()
{
    TestWorld world;
    const RecordLayout layout{{"Nome", 9}, {"Anno", 4}};
    const RecordKind kind{QStringLiteral("lista.pro"), &layout, QString(), QString(), {}};
    QByteArray all;
    for (const auto& [nome, anno] : {std::pair{"Soave", "2019"}, {"Asti", "2020"}, {"Soave", "2021"}, {"Asti", "2022"}}) {
        QByteArray r = layout.emptyRecord();
        layout.encodeField(r, 0, QString::fromLatin1(nome));
        layout.encodeField(r, 1, QString::fromLatin1(anno));
        all += r;
    }
    QVERIFY(testfiles::write(kind.archivePath(), all));
    const RecordLine nameOnly = [&](const QByteArray& r) { return layout.decodeField(r, 0); };
    QCOMPARE(listRecordLines(kind, [](const QByteArray&) { return true; }, nameOnly),
             (QStringList{"Asti", "Asti", "Soave", "Soave"}));
    // Lines compare trimmed; of two equal lines the later record is found.
    const auto found = findListedRecord(kind, nameOnly, QStringLiteral(" Soave  "));
    QVERIFY(found);
    QCOMPARE(found->position, 3);
    QCOMPARE(layout.decodeField(found->record, 1), QStringLiteral("2021"));
    QVERIFY(!findListedRecord(kind, nameOnly, QStringLiteral("Barolo")));
}

QTEST_MAIN(TestListSearch)
#include "tst_listsearch.moc"
