// The price-list files: names, listing, titles, creation and deletion, apart
// from any window.
#include "AtomicSave.h"
#include "PriceListFiles.h"
#include "PricePage.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <limits>
#include <unistd.h>

using namespace vinarca;
Q_DECLARE_METATYPE(vinarca::NameProblem)

class TestPriceListFiles : public QObject
{
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void listing();
    void titles_data();
    void titles();
    void createNeverEmptiesAnExistingList();
    void createRefusedByTheFileSystem();
    void deleteRemovesThatFileOnly();
};

void TestPriceListFiles::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<NameProblem>("problem");
    QTest::newRow("plain with inner blanks") << "Vini rossi" << NameProblem::None;
    QTest::newRow("leading dot") << ".riservato" << NameProblem::None;
    QTest::newRow("dots inside") << "a..b" << NameProblem::None;
    QTest::newRow("accents") << "Novità è già" << NameProblem::None;
    // The longest slot photo name, "<title>_Foto_A_2147483647.jpg", adds 22
    // bytes to the title: 233 bytes leave it exactly the 255 a name can hold.
    QTest::newRow("longest title its photos allow") << QString(233, QLatin1Char('a')) << NameProblem::None;
    QTest::newRow("accented title its photos allow") << QString(116, QChar(0xE8)) << NameProblem::None;
    QTest::newRow("device name in other letters") << "Nullo" << NameProblem::None;
    QTest::newRow("empty") << "" << NameProblem::Empty;
    QTest::newRow("slash") << "rossi/bianchi" << NameProblem::Separator;
    QTest::newRow("parent by slash") << "../fuori" << NameProblem::Separator;
    QTest::newRow("backslash") << "..\\fuori" << NameProblem::Separator;
    QTest::newRow("absolute") << "/tmp/x" << NameProblem::Separator;
    QTest::newRow("one dot") << "." << NameProblem::OnlyDots;
    QTest::newRow("two dots") << ".." << NameProblem::OnlyDots;
    QTest::newRow("many dots") << "....." << NameProblem::OnlyDots;
    QTest::newRow("pasted tab") << "a\tb" << NameProblem::ControlCharacter;
    QTest::newRow("pasted line break") << "a\nb" << NameProblem::ControlCharacter;
    QTest::newRow("pasted star") << "*" << NameProblem::ReservedCharacter;
    QTest::newRow("pasted drive colon") << "con:nul" << NameProblem::ReservedCharacter;
    QTest::newRow("pasted question mark") << "Rossi?" << NameProblem::ReservedCharacter;
    QTest::newRow("pasted quotes and angles") << "\"<Rossi>\"" << NameProblem::ReservedCharacter;
    QTest::newRow("vertical bar") << "Rossi|Bianchi" << NameProblem::ReservedCharacter;
    QTest::newRow("device name") << "nul" << NameProblem::DeviceName;
    QTest::newRow("device name with a dot") << "Com1.rossi" << NameProblem::DeviceName;
    // One byte more and the photo of page 2147483647 could not exist.
    QTest::newRow("too long for its photo names") << QString(234, QLatin1Char('a')) << NameProblem::TooLong;
    // 117 typed characters fit the box but take 234 bytes on disk.
    QTest::newRow("accents too long in bytes") << QString(117, QChar(0xE8)) << NameProblem::TooLong;
    QTest::newRow("longest typed name") << QString(250, QLatin1Char('a')) << NameProblem::TooLong;
}

void TestPriceListFiles::names()
{
    QFETCH(QString, name);
    QFETCH(NameProblem, problem);
    TestWorld world;
    QCOMPARE(priceListNameProblem(name), problem);
    QCOMPARE(nameProblemMessage(problem).isEmpty(), problem == NameProblem::None);
    if (problem != NameProblem::None) {
        QVERIFY(nameProblemMessage(problem).startsWith(QStringLiteral("Attenzione: ")));
        return;
    }
    // An accepted name makes exactly one empty file in the program folder,
    // listed under its own name and titled back to the name.
    const QString path = PriceListPath(name);
    QCOMPARE(path, world.folder() + name + ".lis");
    QCOMPARE(CreatePriceListFile(path), CreateOutcome::Created);
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(ListPriceListFiles(), QStringList{name + ".lis"});
    QCOMPARE(PriceListTitle(ListPriceListFiles().constFirst()), name);
    // Every photo file of the list can be saved, the longest name included.
    QVERIFY(QDir(world.folder()).mkpath("Foto_Listino"));
    for (const QString& photo : {SlotPhotoFileName(name, "H", std::numeric_limits<int>::max()),
                                 PreviewPhotoFileName(name, "H")}) {
        QVERIFY2(saveWholeFile(world.path("Foto_Listino/" + photo), "foto"), qPrintable(photo));
        QCOMPARE(testfiles::read(world.path("Foto_Listino/" + photo)), QByteArray("foto"));
    }
}

void TestPriceListFiles::listing()
{
    TestWorld world;
    QVERIFY(ListPriceListFiles().isEmpty());
    for (const char* file : {"Rossi.lis", "Bianchi.lis", "note.txt", "Rossi.lis.bak", "sotto/Annidato.lis", "Altro.LIS",
                             "Misto.Lis"})
        QVERIFY(testfiles::write(world.path(QString::fromUtf8(file)), "x"));
    QVERIFY(QDir(world.folder()).mkdir("Cartella.lis"));
    QStringList listed = ListPriceListFiles();
    listed.sort();
    QCOMPARE(listed, (QStringList{"Bianchi.lis", "Rossi.lis"}));
}

void TestPriceListFiles::titles_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("title");
    QTest::newRow("list") << "Vini rossi.lis" << "Vini rossi";
    QTest::newRow("blanks kept") << " Rosé 2024 .lis" << " Rosé 2024 ";
    QTest::newRow("extension only") << ".lis" << "";
    QTest::newRow("shorter than four") << "ab" << "";
}

void TestPriceListFiles::titles()
{
    QFETCH(QString, shown);
    QFETCH(QString, title);
    QCOMPARE(PriceListTitle(shown), title);
}

void TestPriceListFiles::createNeverEmptiesAnExistingList()
{
    TestWorld world;
    const QByteArray pages(2 * 3696, 'p');
    const QString path = PriceListPath("Rossi");
    QVERIFY(testfiles::write(path, pages));
    QCOMPARE(CreatePriceListFile(path), CreateOutcome::Exists);
    QCOMPARE(testfiles::read(path), pages);
    // The same name in other capital and small letters is the same list on
    // a stick that ignores them.
    for (const char* name : {"ROSSI", "rossi"}) {
        QCOMPARE(CreatePriceListFile(PriceListPath(name)), CreateOutcome::Exists);
        QVERIFY(!QFileInfo::exists(PriceListPath(name)));
    }
    QCOMPARE(CreatePriceListFile(PriceListPath("Rossi2")), CreateOutcome::Created);
}

void TestPriceListFiles::createRefusedByTheFileSystem()
{
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    TestWorld world;
    QFile::setPermissions(world.folder(), QFile::ReadOwner | QFile::ExeOwner);
    const QString path = PriceListPath("Rossi");
    const CreateOutcome outcome = CreatePriceListFile(path);
    QFile::setPermissions(world.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(outcome, CreateOutcome::Failed);
    QVERIFY(!QFileInfo::exists(path));
}

void TestPriceListFiles::deleteRemovesThatFileOnly()
{
    TestWorld world;
    for (const char* file : {"Rossi.lis", "Bianchi.lis", "Foto_Listino/Rossi_Foto_A_1.jpg"})
        QVERIFY(testfiles::write(world.path(QString::fromUtf8(file)), "x"));
    QVERIFY(DeletePriceListFile(PriceListPath("Rossi")));
    QVERIFY(!DeletePriceListFile(PriceListPath("Rossi")));
    QCOMPARE(ListPriceListFiles(), QStringList{"Bianchi.lis"});
    QVERIFY(QFileInfo::exists(world.path("Foto_Listino/Rossi_Foto_A_1.jpg")));
}

QTEST_MAIN(TestPriceListFiles)
#include "tst_pricelistfiles.moc"
