#include "AtomicSave.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThreadPool>
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
    void longestNamesAreSaved_data();
    void longestNamesAreSaved();
    void protectedTargetsAndLinksOutAreRefused_data();
    void protectedTargetsAndLinksOutAreRefused();
    void writtenInPiecesAndDiscarded();
    void largeFilesSavedAndDropped_data();
    void largeFilesSavedAndDropped();
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

void TestAtomicSave::longestNamesAreSaved_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("255 ASCII bytes") << QString(251, QLatin1Char('a')) + ".jpg";
    QTest::newRow("240 bytes: the longest a temporary fitted beside before") << QString(236, QLatin1Char('b')) + ".jpg";
    // Two bytes each: a cut inside a letter would make a broken name.
    QTest::newRow("254 bytes of accented letters") << QString(125, QChar(0xE8)) + ".lis";
    QTest::newRow("four-byte letters") << QString::fromUcs4(U"\U0001F377").repeated(62) + ".txt";
}

// A file whose name takes all that a folder allows is saved, and a temporary
// a crash left behind for it is removed by the next save, not another's.
void TestAtomicSave::longestNamesAreSaved()
{
    QFETCH(QString, name);
    QVERIFY(QFile::encodeName(name).size() <= kMaxFileNameBytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(saveWholeFile(path, "primo"));
    QCOMPARE(get(path), QByteArray("primo"));
    QVERIFY(saveWholeFile(path, "secondo"));
    QCOMPARE(get(path), QByteArray("secondo"));

    // A crash between writing and renaming: the temporary stays behind.
    AtomicFile interrupted;
    QVERIFY(interrupted.open(path));
    const QString leftover = interrupted.temporaryPath();
    QVERIFY(QFile::encodeName(QFileInfo(leftover).fileName()).size() <= kMaxFileNameBytes);
    interrupted.discard();
    put(leftover, "left behind");
    QVERIFY(isSaveTemporaryOf(QFileInfo(leftover).fileName(), name));
    QVERIFY(!isSaveTemporaryOf(QFileInfo(leftover).fileName(), name.left(name.size() - 4) + ".bak"));
    QVERIFY(saveWholeFile(path, "terzo"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestAtomicSave::protectedTargetsAndLinksOutAreRefused_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("saved");
    QTest::newRow("a file the user made read-only") << "read-only" << false;
    QTest::newRow("a link to a file outside the program folder") << "file link out" << false;
    QTest::newRow("a link to nothing outside the program folder") << "dangling link out" << false;
    QTest::newRow("a folder that is a link outside the program folder") << "folder link out" << false;
    QTest::newRow("a link inside the program folder") << "link inside" << true;
    QTest::newRow("a place outside the program folder the user chose") << "chosen outside" << true;
}

void TestAtomicSave::protectedTargetsAndLinksOutAreRefused()
{
    QFETCH(QString, setup);
    QFETCH(bool, saved);
    QTemporaryDir program, outside;
    setProgramFolderForTesting(program.path() + QLatin1Char('/'));
    const auto restore = qScopeGuard([] { setProgramFolderForTesting({}); });
    const QString outsideFile = outside.filePath(QStringLiteral("Foto.jpg"));
    put(outsideFile, "fuori");
    QString target = program.filePath(QStringLiteral("Foto.jpg"));
    if (setup == QLatin1String("read-only")) {
        put(target, "protetto");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (setup == QLatin1String("file link out")) {
        QVERIFY(QFile::link(outsideFile, target));
    } else if (setup == QLatin1String("dangling link out")) {
        QVERIFY(QFile::link(outside.filePath(QStringLiteral("Nuovo.jpg")), target));
    } else if (setup == QLatin1String("folder link out")) {
        QVERIFY(QFile::link(outside.path(), program.filePath(QStringLiteral("Foto_Listino"))));
        target = program.filePath(QStringLiteral("Foto_Listino/Foto.jpg"));
    } else if (setup == QLatin1String("link inside")) {
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("vero")));
        QVERIFY(QFile::link(program.filePath(QStringLiteral("vero")), program.filePath(QStringLiteral("Foto_Listino"))));
        target = program.filePath(QStringLiteral("Foto_Listino/Foto.jpg"));
    } else {
        target = outside.filePath(QStringLiteral("Copia.jpg"));
    }
    const QByteArray before = get(target);
    QCOMPARE(saveWholeFile(target, "nuovo"), saved);
    QCOMPARE(get(target), saved ? QByteArray("nuovo") : before);
    // Outside the program folder nothing changed but what the user chose.
    QCOMPARE(get(outsideFile), QByteArray("fuori"));
    QVERIFY(!QFile::exists(outside.filePath(QStringLiteral("Nuovo.jpg"))));
    // And the archive is refused the same ways.
    if (!saved && setup != QLatin1String("read-only"))
        QVERIFY_THROWS_EXCEPTION(ArchiveError,
                                 RecordArchive(target, RecordLayout{{"Dato", 9}}, RecordArchive::Access::Read));
}

// Written in pieces, the file appears whole at commit; dropped, nothing of
// it appears and the earlier file stays.
void TestAtomicSave::writtenInPiecesAndDiscarded()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Fattura.pdf"));
    put(path, "vecchio");
    {
        AtomicFile file;
        QVERIFY(file.open(path));
        QVERIFY(file.write("uno ", 4));
        QVERIFY(file.write(QByteArray("due")));
        QCOMPARE(get(path), QByteArray("vecchio"));
    }
    QCOMPARE(get(path), QByteArray("vecchio"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Fattura.pdf"});
    AtomicFile file;
    QVERIFY(file.open(path));
    QVERIFY(file.write("uno ", 4));
    QVERIFY(file.write(QByteArray("due")));
    QVERIFY(file.commit());
    QCOMPARE(get(path), QByteArray("uno due"));
}

// Large saves force their steps to the disk on a thread of their own and
// leave the replaced file's blocks to be freed later: what is read back, and
// what the folder holds once that is done, are as for any save.
void TestAtomicSave::largeFilesSavedAndDropped_data()
{
    QTest::addColumn<int>("oldMiB");
    QTest::addColumn<int>("newMiB");
    QTest::addColumn<bool>("commit");
    QTest::newRow("large over large") << 12 << 20 << true;
    QTest::newRow("large over small") << 0 << 20 << true;
    QTest::newRow("small over large") << 12 << 0 << true;
    QTest::newRow("large dropped, large kept") << 12 << 20 << false;
}

void TestAtomicSave::largeFilesSavedAndDropped()
{
    QFETCH(int, oldMiB);
    QFETCH(int, newMiB);
    QFETCH(bool, commit);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Catalogo_Vini.xls"));
    const auto content = [](int mib, char fill) {
        QByteArray bytes(qsizetype(mib) * 1024 * 1024 + 7, fill);
        for (qsizetype i = 0; i < bytes.size(); i += 4093)
            bytes[i] = char('a' + i % 26);
        return bytes;
    };
    const QByteArray before = content(oldMiB, 'o');
    const QByteArray after = content(newMiB, 'n');
    put(path, before);
    {
        AtomicFile file;
        QVERIFY(file.open(path));
        for (qsizetype at = 0; at < after.size(); at += 1024 * 1024)
            QVERIFY(file.write(after.constData() + at, std::min<qsizetype>(1024 * 1024, after.size() - at)));
        QCOMPARE(get(path), before);
        if (commit)
            QVERIFY(file.commit());
    }
    QVERIFY(get(path) == (commit ? after : before));
    QThreadPool::globalInstance()->waitForDone();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Catalogo_Vini.xls"});
}

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomicsave.moc"
