#include "AtomicSave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vinarca;

namespace {
QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestAtomicSave : public QObject
{
    Q_OBJECT
private slots:
    void replacesTheFileAndKeepsItsPermissions();
    void staleTemporariesOfThatFileOnlyAreRemoved_data();
    void staleTemporariesOfThatFileOnlyAreRemoved();
    void lateFailureLeavesNoTemporary();
};

void TestAtomicSave::replacesTheFileAndKeepsItsPermissions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("unins000.dll"));
    QVERIFY(saveWholeFile(path, "primo"));
    QCOMPARE(get(path), QByteArray("primo"));
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, permissions));
    QVERIFY(saveWholeFile(path, "secondo, più lungo"));
    QCOMPARE(get(path), QByteArray("secondo, più lungo"));
    constexpr auto kOwnerGroupOther = QFileDevice::Permissions(0x7077);
    QCOMPARE(QFile::permissions(path) & kOwnerGroupOther, permissions);
    QVERIFY(saveWholeFile(path, QByteArray()));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"unins000.dll"});
}

void TestAtomicSave::staleTemporariesOfThatFileOnlyAreRemoved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removed");
    // "<name>." and six letters: a temporary of earlier saves or a user's
    // copy; the two cannot be told apart, so neither is touched.
    QTest::newRow("six letters, as earlier saves or a user's copy") << "unins000.dll.qWxErt" << false;
    QTest::newRow("a user's backup copy") << "unins000.dll.backup" << false;
    QTest::newRow("ours") << "unins000.dll.vinarca-a1B2c3" << true;
    QTest::newRow("a copy with a short ending") << "unins000.dll.bak" << false;
    QTest::newRow("seven letters") << "unins000.dll.qWxErty" << false;
    QTest::newRow("a digit in the Qt pattern") << "unins000.dll.qWx3rt" << false;
    QTest::newRow("ours, random part too short") << "unins000.dll.vinarca-a1B2" << false;
    QTest::newRow("another file's") << "unins001.dll.qWxErt" << false;
    QTest::newRow("a longer name with the target's ending") << "xunins000.dll.qWxErt" << false;
    QTest::newRow("the name before the dot only") << "unins000.qWxErt" << false;
}

void TestAtomicSave::staleTemporariesOfThatFileOnlyAreRemoved()
{
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    put(dir.filePath(name), "left behind");
    QVERIFY(saveWholeFile(dir.filePath(QStringLiteral("unins000.dll")), "nuovo"));
    QCOMPARE(!QFile::exists(dir.filePath(name)), removed);
    QCOMPARE(get(dir.filePath(QStringLiteral("unins000.dll"))), QByteArray("nuovo"));
}

// The last step fails (a folder stands where the file should go): the
// temporary, complete by then, is removed all the same.
void TestAtomicSave::lateFailureLeavesNoTemporary()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Foto.jpg/dentro")));
    QVERIFY(!saveWholeFile(dir.filePath(QStringLiteral("Foto.jpg")), "nuovo"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Foto.jpg"});
}

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomicsave.moc"
