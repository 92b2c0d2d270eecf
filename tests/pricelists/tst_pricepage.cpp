// The price-list page record and its files: every offset of every slot, the
// archive operations, the photo names and the framed slot photo.
#include "PricePage.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QTest>

using namespace vinarca;

class TestPricePage : public QObject
{
    Q_OBJECT
private slots:
    void offsets_data();
    void offsets();
    void bytesOnDisk();
    void pagesInTheFile();
    void damagedFile();
    void photoNames_data();
    void photoNames();
    void frame_data();
    void frame();
};

void TestPricePage::offsets_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("capacity");
    const struct { const char* field; int offset; int capacity; } block[] = {
        {"Codice", 0, 25}, {"Nome", 26, 50}, {"UM", 77, 120}, {"Caratteristiche", 198, 250}, {"Prezzo", 449, 12}};
    // Slot blocks at 0, 462, 924, ... 3234: written out, not computed.
    const int slotOffsets[] = {0, 462, 924, 1386, 1848, 2310, 2772, 3234};
    for (int slot = 0; slot < 8; ++slot) {
        for (const auto& f : block) {
            const QString letter = QString(QChar('A' + slot));
            QTest::addRow("%s_%s", f.field, qPrintable(letter))
                << slot << QString::fromLatin1(f.field) << slotOffsets[slot] + f.offset << f.capacity;
        }
    }
}

void TestPricePage::offsets()
{
    QFETCH(int, slot);
    QFETCH(QString, field);
    QFETCH(int, offset);
    QFETCH(int, capacity);
    const RecordLayout& layout = pricepage::layout();
    QCOMPARE(layout.recordSize(), 3696);
    QCOMPARE(layout.fieldCount(), 40);
    const int index = pricepage::fieldIndex(slot, field);
    QCOMPARE(layout.field(index).name, field + '_' + pricepage::slotLetters().at(slot));
    QCOMPARE(layout.field(index).offset, offset);
    QCOMPARE(layout.field(index).capacity, capacity);
    QCOMPARE(layout.indexOf(field + '_' + QChar('A' + slot)), index);
}

void TestPricePage::bytesOnDisk()
{
    TestWorld world;
    const QString path = world.path("Rossi.lis");
    QStringList texts;
    for (int i = 0; i < 40; ++i)
        texts << QString();
    texts[pricepage::fieldIndex(0, "Codice")] = "  C01  ";
    texts[pricepage::fieldIndex(3, "Nome")] = "Barolo è";
    texts[pricepage::fieldIndex(7, "Prezzo")] = "1.234.567,89"; // fills its 12 characters
    texts[pricepage::fieldIndex(7, "Caratteristiche")] = QString(300, 'x'); // cut to 250
    QCOMPARE(AppendPricePage(path, texts), 1);
    const QByteArray bytes = testfiles::read(path);
    QCOMPARE(bytes.size(), 3696);
    QCOMPARE(bytes.mid(0, 4), QByteArray("\x03" "C01"));
    QCOMPARE(bytes.mid(1386 + 26, 9), QByteArray("\x08" "Barolo \xE8"));
    QCOMPARE(bytes.mid(3234 + 198, 1), QByteArray("\xFA"));
    QCOMPARE(bytes.mid(3683, 13), QByteArray("\x0C" "1.234.567,89"));
    // Read back trimmed, the overlong text cut to its field.
    const QStringList read = ReadPricePage(path, 1);
    QCOMPARE(read.at(pricepage::fieldIndex(0, "Codice")), QStringLiteral("C01"));
    QCOMPARE(read.at(pricepage::fieldIndex(3, "Nome")), QStringLiteral("Barolo è"));
    QCOMPARE(read.at(pricepage::fieldIndex(7, "Caratteristiche")), QString(250, 'x'));
}

void TestPricePage::pagesInTheFile()
{
    TestWorld world;
    const QString path = world.path("Rossi.lis");
    QCOMPARE(PricePageCount(path), 0); // a missing list is created empty
    QVERIFY(QFileInfo::exists(path));
    QStringList one(40), two(40);
    one[0] = "uno";
    two[0] = "due";
    QCOMPARE(AppendPricePage(path, one), 1);
    QCOMPARE(AppendPricePage(path, one), 2);
    WritePricePage(path, 2, two);
    QCOMPARE(PricePageCount(path), 2);
    QCOMPARE(ReadPricePage(path, 1).at(0), QStringLiteral("uno"));
    QCOMPARE(ReadPricePage(path, 2).at(0), QStringLiteral("due"));
    QVERIFY_THROWS_EXCEPTION(ArchiveError, ReadPricePage(path, 3));
}

void TestPricePage::damagedFile()
{
    TestWorld world;
    const QString path = world.path("Rossi.lis");
    QByteArray page(3696, 'a');
    page[0] = char(200); // length above the code's capacity of 25
    QVERIFY(testfiles::write(path, page + QByteArray(100, 'f'))); // and a trailing fragment
    QCOMPARE(PricePageCount(path), 1);
    QCOMPARE(ReadPricePage(path, 1).at(0), QString(25, 'a')); // never more than the field holds
    QStringList texts(40);
    texts[0] = "nuova";
    QCOMPARE(AppendPricePage(path, texts), 2); // over the fragment
    QCOMPARE(testfiles::read(path).size(), 2 * 3696);
}

void TestPricePage::photoNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("preview");
    QTest::newRow("page 3 slot B") << "Vini rossi" << "B" << 3 << "Vini rossi_Foto_B_3.jpg"
                                   << "Vini rossi_Anteprima_B.jpg";
    QTest::newRow("no leading zeros") << "L" << "H" << 120 << "L_Foto_H_120.jpg" << "L_Anteprima_H.jpg";
}

void TestPricePage::photoNames()
{
    QFETCH(QString, title);
    QFETCH(QString, letter);
    QFETCH(int, page);
    QFETCH(QString, photo);
    QFETCH(QString, preview);
    QCOMPARE(SlotPhotoFileName(title, letter, page), photo);
    QCOMPARE(PreviewPhotoFileName(title, letter), preview);
}

void TestPricePage::frame_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QRect>("drawn"); // where the picture stands in the 366 x 274 frame
    // An upright bottle photo: full height, a fifth of that in width, centred.
    QTest::newRow("upright bottle") << QSize(200, 1000) << QRect(156, 0, 54, 274);
    QTest::newRow("wide banner") << QSize(1000, 100) << QRect(0, 119, 366, 37);
    QTest::newRow("the frame's own shape") << QSize(732, 548) << QRect(0, 0, 366, 274);
    QTest::newRow("small, enlarged to fit") << QSize(40, 30) << QRect(0, 0, 366, 274);
}

// The photo keeps its proportions, centred on white, in a frame of the
// slot photo's size.
void TestPricePage::frame()
{
    QFETCH(QSize, source);
    QFETCH(QRect, drawn);
    QImage picture(source, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QImage framed = FramePicture(picture, 366, 274);
    QCOMPARE(framed.size(), QSize(366, 274));
    const auto red = [&](int x, int y) { return framed.pixelColor(x, y).red() > 200 && framed.pixelColor(x, y).green() < 60; };
    // Inside the drawn place (a pixel in from its edges) red, outside white.
    QVERIFY(red(drawn.left() + 1, drawn.top() + 1));
    QVERIFY(red(drawn.right() - 1, drawn.bottom() - 1));
    QVERIFY(red(drawn.center().x(), drawn.center().y()));
    if (drawn.left() > 1)
        QCOMPARE(framed.pixelColor(drawn.left() - 2, drawn.center().y()), QColor(Qt::white));
    if (drawn.top() > 1)
        QCOMPARE(framed.pixelColor(drawn.center().x(), drawn.top() - 2), QColor(Qt::white));
    QCOMPARE(FramePicture(QImage(), 366, 274).pixelColor(183, 137), QColor(Qt::white));
}

QTEST_MAIN(TestPricePage)
#include "tst_pricepage.moc"
