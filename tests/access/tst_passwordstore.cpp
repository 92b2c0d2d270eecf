#include "Crypt.h"
#include "PasswordStore.h"
#include "ScriptedPlatform.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace vinarca;

namespace {
void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestPasswordStore : public QObject
{
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void writingKeepsTheRestOfTheFile_data();
    void writingKeepsTheRestOfTheFile();
    void storeAndReadBack();
    void damagedValueFails();
    void readOnlyStoreKeepsTheOldPassword();
    void unwritableFolderKeepsTheOldPassword();
};

void TestPasswordStore::reading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");
    QTest::newRow("as written") << QByteArray("[Accesso]\r\nValore=ABCD\r\n") << "ABCD";
    QTest::newRow("names in any case") << QByteArray("[ACCESSO]\r\nvalore=ABCD\r\n") << "ABCD";
    QTest::newRow("blanks around the value") << QByteArray("[Accesso]\nValore =  ab12  \n") << "ab12";
    QTest::newRow("other sections first") << QByteArray("[Altro]\r\nValore=1111\r\n[Accesso]\r\nX=2\r\nValore=2222\r\n")
                                          << "2222";
    QTest::newRow("key in another section only") << QByteArray("[Altro]\r\nValore=1111\r\n") << "";
    QTest::newRow("no key") << QByteArray("[Accesso]\r\nAltro=1\r\n") << "";
    QTest::newRow("empty file") << QByteArray() << "";
}

void TestPasswordStore::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    QCOMPARE(iniValue(content, QStringLiteral("Accesso"), QStringLiteral("Valore")), value);
}

void TestPasswordStore::writingKeepsTheRestOfTheFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << QByteArray("[Accesso]\r\nValore=NEW\r\n");
    QTest::newRow("value replaced, key spelling kept")
        << QByteArray("[accesso]\r\nVALORE=OLD\r\nAltro=1\r\n") << QByteArray("[accesso]\r\nVALORE=NEW\r\nAltro=1\r\n");
    QTest::newRow("other sections kept, LF lines become CR LF")
        << QByteArray("[Prima]\nA=1\n[Accesso]\nValore=OLD\n[Dopo]\nB=2\n")
        << QByteArray("[Prima]\r\nA=1\r\n[Accesso]\r\nValore=NEW\r\n[Dopo]\r\nB=2\r\n");
    QTest::newRow("key added to its section")
        << QByteArray("[Accesso]\r\nAltro=1\r\n\r\n[Dopo]\r\nB=2\r\n")
        << QByteArray("[Accesso]\r\nAltro=1\r\nValore=NEW\r\n\r\n[Dopo]\r\nB=2\r\n");
    QTest::newRow("section added at the end")
        << QByteArray("[Altro]\r\nValore=1\r\n") << QByteArray("[Altro]\r\nValore=1\r\n\r\n[Accesso]\r\nValore=NEW\r\n");
}

void TestPasswordStore::writingKeepsTheRestOfTheFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(iniWithValue(before, QStringLiteral("Accesso"), QStringLiteral("Valore"), QStringLiteral("NEW")), after);
}

void TestPasswordStore::storeAndReadBack()
{
    TestWorld world;
    QCOMPARE(ReadStoredPassword(), QString()); // no store at all
    StorePassword(QStringLiteral("CANTINA È"));
    QCOMPARE(ReadStoredPassword(), QStringLiteral("CANTINA È"));
    const QByteArray content = get(passwordStorePath());
    QVERIFY(content.startsWith("[Accesso]\r\nValore="));
    QVERIFY(content.endsWith("\r\n"));
}

void TestPasswordStore::damagedValueFails()
{
    TestWorld world;
    put(passwordStorePath(), "[Accesso]\r\nValore=G1G1\r\n");
    QVERIFY_THROWS_EXCEPTION(Crypt::ConversionError, ReadStoredPassword());
    QCOMPARE(get(passwordStorePath()), QByteArray("[Accesso]\r\nValore=G1G1\r\n"));
}

void TestPasswordStore::readOnlyStoreKeepsTheOldPassword()
{
    TestWorld world;
    StorePassword(QStringLiteral("VECCHIA"));
    const QByteArray before = get(passwordStorePath());
    QFile::setPermissions(passwordStorePath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QVERIFY_THROWS_EXCEPTION(StoreWriteError, StorePassword(QStringLiteral("NUOVA")));
    QCOMPARE(get(passwordStorePath()), before);
    QCOMPARE(ReadStoredPassword(), QStringLiteral("VECCHIA"));
}

void TestPasswordStore::unwritableFolderKeepsTheOldPassword()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    TestWorld world;
    StorePassword(QStringLiteral("VECCHIA"));
    QFile::setPermissions(world.folder(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY_THROWS_EXCEPTION(StoreWriteError, StorePassword(QStringLiteral("NUOVA")));
    QFile::setPermissions(world.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(ReadStoredPassword(), QStringLiteral("VECCHIA"));
}

QTEST_GUILESS_MAIN(TestPasswordStore)
#include "tst_passwordstore.moc"
