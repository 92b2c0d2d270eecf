#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "WineRecord.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <QDateTime>
#include <QSysInfo>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

using namespace vinarca;

namespace {
// Records of 10 and of 7 bytes: one short string of capacity 9 or 6.
const RecordLayout kTen{{"A", 9}};
const RecordLayout kSeven{{"A", 6}};

QByteArray recordOf(int recordSize, char fill)
{
    return QByteArray(recordSize, fill);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QVERIFY(testfiles::write(path, bytes));
}

QByteArray readBytes(const QString& path)
{
    return testfiles::read(path);
}
} // namespace

class TestRecordArchive : public QObject
{
    Q_OBJECT
private slots:
    void wineFieldOffsets_data();
    void wineFieldOffsets();
    void wineRecordBytes();
    void missingFileIsCreatedEmpty();
    void appendPositions();
    void trailingFragment();
    void readAndWriteInPlace();
    void positionsOutsideTheArchiveFail_data();
    void positionsOutsideTheArchiveFail();
    void readOnlyArchiveFailsAndStaysUnchanged();
    void readOnlyFolderCannotCreate();
    void scanReadsEveryWholeRecord();
    void writerWaitsForAnotherWritersLock();
    void lockRefusals_data();
    void lockRefusals();
    void busyCursorWhileWaiting();
    void lockFileLastsAsLongAsTheWrite();
    void staleLockFiles_data();
    void staleLockFiles();
    void writerThatLostItsLockFileWritesNothing();
    void lockFileThatCannotBeMade();

private:
    QTemporaryDir m_dir;
};

void TestRecordArchive::wineFieldOffsets_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("capacity");
    const struct
    {
        const char* name;
        int offset;
        int capacity;
    } rows[] = {
        {"Nome", 0, 50},          {"Produttore", 51, 50},     {"Designazione", 102, 50}, {"Nazione", 153, 50},
        {"Regione", 204, 50},     {"Zona", 255, 50},          {"Cantina", 306, 50},      {"Annata", 357, 50},
        {"Invecchiamento", 408, 50}, {"Maturazione", 459, 50}, {"Colore", 510, 50},       {"Profumo", 561, 50},
        {"Gusto", 612, 50},       {"Retrogusto", 663, 50},    {"Grado", 714, 50},        {"Acidita", 765, 50},
        {"Sapidita", 816, 50},    {"Accostamenti", 867, 50},  {"Astringenza", 918, 50},  {"Temperatura", 969, 50},
        {"Fornitore", 1020, 50},  {"Giacenza", 1071, 50},     {"Prezzo", 1122, 15},      {"Conservazione", 1138, 50},
        {"Consumo", 1189, 50},    {"Note", 1240, 250},        {"File01", 1491, 250},     {"File02", 1742, 250},
        {"File03", 1993, 250},    {"Desc01", 2244, 250},      {"Desc02", 2495, 250},     {"Desc03", 2746, 250},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString::fromLatin1(r.name) << r.offset << r.capacity;
}

void TestRecordArchive::wineFieldOffsets()
{
    QFETCH(QString, field);
    QFETCH(int, offset);
    QFETCH(int, capacity);
    const RecordLayout& layout = wineLayout();
    const int index = layout.indexOf(field);
    QVERIFY(index >= 0);
    QCOMPARE(layout.field(index).offset, offset);
    QCOMPARE(layout.field(index).capacity, capacity);

    // The field's bytes land exactly there and nowhere else.
    QByteArray record = layout.emptyRecord();
    layout.encodeField(record, index, QStringLiteral("Z"));
    QCOMPARE(record.count('Z'), 1);
    QCOMPARE(record.at(offset), char(1));
    QCOMPARE(record.at(offset + 1), 'Z');
}

void TestRecordArchive::wineRecordBytes()
{
    const RecordLayout& layout = wineLayout();
    QCOMPARE(layout.recordSize(), 2997);
    QCOMPARE(layout.fieldCount(), 32);
    QStringList texts;
    for (int i = 0; i < 32; ++i)
        texts << QStringLiteral(" v%1 ").arg(i);
    QByteArray record = layout.emptyRecord();
    layout.encode(record, texts);
    QCOMPARE(record.size(), 2997);
    QCOMPARE(record.mid(1071, 4), QByteArray("\x03v21"));
    QCOMPARE(record.mid(2746, 4), QByteArray("\x03v31"));
    QCOMPARE(record.at(2996), '\0');
    QStringList trimmed;
    for (const QString& t : texts)
        trimmed << t.trimmed();
    QCOMPARE(layout.decode(record), trimmed);
}

void TestRecordArchive::missingFileIsCreatedEmpty()
{
    const QString path = m_dir.filePath(QStringLiteral("created.pro"));
    {
        RecordArchive archive(path, kTen, RecordArchive::Access::Read);
        QCOMPARE(archive.count(), 0);
    }
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestRecordArchive::appendPositions()
{
    const QString path = m_dir.filePath(QStringLiteral("append.pro"));
    {
        RecordArchive archive(path, kTen, RecordArchive::Access::Write);
        QCOMPARE(archive.append(recordOf(10, 'a')), 1);
    }
    writeBytes(path, QByteArray(70, 'x'));
    {
        RecordArchive archive(path, kTen, RecordArchive::Access::Write);
        QCOMPARE(archive.count(), 7);
        QCOMPARE(archive.append(recordOf(10, 'b')), 8);
    }
    QCOMPARE(readBytes(path), QByteArray(70, 'x') + QByteArray(10, 'b'));
}

void TestRecordArchive::trailingFragment()
{
    const QString path = m_dir.filePath(QStringLiteral("fragment.pro"));
    writeBytes(path, QByteArray(20, 'r') + QByteArray(4, 'f'));
    RecordArchive archive(path, kTen, RecordArchive::Access::Write);
    QCOMPARE(archive.count(), 2);
    QByteArray record;
    int read = 0;
    while (archive.readNext(record))
        ++read;
    QCOMPARE(read, 2);
    // An append writes over the fragment's bytes.
    QCOMPARE(archive.append(recordOf(10, 'n')), 3);
    archive.close();
    QCOMPARE(readBytes(path), QByteArray(20, 'r') + QByteArray(10, 'n'));
}

void TestRecordArchive::readAndWriteInPlace()
{
    const QString path = m_dir.filePath(QStringLiteral("inplace.pro"));
    writeBytes(path, QByteArray(10, '1') + QByteArray(10, '2') + QByteArray(10, '3'));
    RecordArchive archive(path, kTen, RecordArchive::Access::Write);
    QByteArray record;
    archive.readAt(2, record);
    QCOMPARE(record, QByteArray(10, '2'));
    archive.writeAt(2, recordOf(10, 'w'));
    QCOMPARE(archive.count(), 3);
    archive.close();
    QCOMPARE(readBytes(path), QByteArray(10, '1') + QByteArray(10, 'w') + QByteArray(10, '3'));
}

void TestRecordArchive::positionsOutsideTheArchiveFail_data()
{
    QTest::addColumn<qint64>("position");
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("negative") << qint64(-1);
    QTest::newRow("the trailing fragment, beyond the last record") << qint64(4);
}

void TestRecordArchive::positionsOutsideTheArchiveFail()
{
    QFETCH(qint64, position);
    const QString path = m_dir.filePath(QStringLiteral("range.pro"));
    const QByteArray content = QByteArray(30, 'r') + QByteArray(5, 'f');
    writeBytes(path, content);
    RecordArchive archive(path, kTen, RecordArchive::Access::Write);
    QByteArray record;
    QVERIFY_THROWS_EXCEPTION(ArchiveError, archive.readAt(position, record));
    QVERIFY_THROWS_EXCEPTION(ArchiveError, archive.writeAt(position, recordOf(10, 'w')));
    archive.close();
    QCOMPARE(readBytes(path), content);
}

void TestRecordArchive::readOnlyArchiveFailsAndStaysUnchanged()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    const QString path = m_dir.filePath(QStringLiteral("readonly.pro"));
    writeBytes(path, QByteArray(20, 'r'));
    QFile::setPermissions(path, QFile::ReadOwner);
    QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(path, kTen, RecordArchive::Access::Read));
    QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(path, kTen, RecordArchive::Access::Write));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(readBytes(path), QByteArray(20, 'r'));
}

void TestRecordArchive::readOnlyFolderCannotCreate()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(dir.filePath(QStringLiteral("x.pro")), kTen,
                                                         RecordArchive::Access::Read));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestRecordArchive::scanReadsEveryWholeRecord()
{
    // More records than one read chunk holds, so refills are exercised.
    const QString path = m_dir.filePath(QStringLiteral("scan.pro"));
    QByteArray content;
    for (int i = 0; i < 150; ++i)
        content += QByteArray(7, char('A' + i % 26));
    writeBytes(path, content + QByteArray(3, '!'));
    RecordArchive archive(path, kSeven, RecordArchive::Access::Read);
    QByteArray record;
    QByteArray seen;
    while (archive.readNext(record)) {
        QCOMPARE(record.size(), 7);
        seen += record;
        QCOMPARE(archive.lastPosition(), qint64(seen.size() / 7));
        // A read elsewhere in the file just before a refill: the scan still
        // goes on from where it was.
        if (archive.lastPosition() == 128) {
            QByteArray first;
            archive.readAt(1, first);
            QCOMPARE(first, content.left(7));
        }
    }
    QCOMPARE(seen, content);
}

void TestRecordArchive::writerWaitsForAnotherWritersLock()
{
    const QString path = m_dir.filePath(QStringLiteral("locked.pro"));
    RecordArchive first(path, kTen, RecordArchive::Access::Write);
    RecordArchive::setLockTimeoutForTesting(100);
    // A second writer (another workstation) gives up after the bounded wait
    // instead of writing over the first one's record.
    QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(path, kTen, RecordArchive::Access::Write));
    first.close();
    RecordArchive second(path, kTen, RecordArchive::Access::Write);
    QCOMPARE(second.append(recordOf(10, 's')), 1);
    RecordArchive::setLockTimeoutForTesting(10000);
}

namespace {
int g_refusal = 0;
int refuseLock(int, int)
{
    errno = g_refusal;
    return -1;
}
} // namespace

void TestRecordArchive::lockRefusals_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("works");
    // A share without a lock manager cannot lock at all: the archive works
    // unlocked there instead of refusing every browse and save.
    QTest::newRow("no lock manager (ENOLCK)") << ENOLCK << true;
    QTest::newRow("locks not supported (EOPNOTSUPP)") << EOPNOTSUPP << true;
    // Any other refusal is a real failure.
    QTest::newRow("bad descriptor (EBADF)") << EBADF << false;
    QTest::newRow("input/output error (EIO)") << EIO << false;
}

void TestRecordArchive::lockRefusals()
{
    QFETCH(int, error);
    QFETCH(bool, works);
    const QString path = m_dir.filePath(QStringLiteral("nolocks.pro"));
    QFile::remove(path);
    g_refusal = error;
    RecordArchive::setLockCallForTesting(&refuseLock);
    const auto restore = qScopeGuard([] { RecordArchive::setLockCallForTesting(nullptr); });
    if (works) {
        RecordArchive archive(path, kTen, RecordArchive::Access::Write);
        QCOMPARE(archive.append(recordOf(10, 'n')), 1);
        archive.close();
        QCOMPARE(readBytes(path), recordOf(10, 'n'));
    } else {
        QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(path, kTen, RecordArchive::Access::Write));
    }
}

namespace {
int g_busyTries = 0;
bool g_cursorWasBusy = false;
int busyThenFree(int, int)
{
    if (++g_busyTries < 3) {
        errno = EWOULDBLOCK;
        return -1;
    }
    const QCursor* cursor = QGuiApplication::overrideCursor();
    g_cursorWasBusy = cursor && cursor->shape() == Qt::WaitCursor;
    return 0;
}
} // namespace

void TestRecordArchive::busyCursorWhileWaiting()
{
    RecordArchive::setLockCallForTesting(&busyThenFree);
    const auto restore = qScopeGuard([] { RecordArchive::setLockCallForTesting(nullptr); });
    {
        RecordArchive archive(m_dir.filePath(QStringLiteral("busy.pro")), kTen, RecordArchive::Access::Read);
        QVERIFY(g_cursorWasBusy);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestRecordArchive::lockFileLastsAsLongAsTheWrite()
{
    const QString path = m_dir.filePath(QStringLiteral("lockfile.pro"));
    const QString lockPath = path + QStringLiteral(".lock");
    {
        RecordArchive reader(path, kTen, RecordArchive::Access::Read);
        QVERIFY(!QFile::exists(lockPath));
    }
    RecordArchive writer(path, kTen, RecordArchive::Access::Write);
    // It names its maker, for others to judge whether it is stale.
    const QByteArray content = readBytes(lockPath);
    QVERIFY(content.contains("host=" + QSysInfo::machineHostName().toUtf8() + "\n"));
    QVERIFY(content.contains("pid=" + QByteArray::number(qint64(getpid())) + "\n"));
    QVERIFY(content.contains("\nmark="));
    QCOMPARE(writer.append(recordOf(10, 'l')), 1);
    writer.close();
    QVERIFY(!QFile::exists(lockPath));
    QCOMPARE(readBytes(path), recordOf(10, 'l'));
}

namespace {
// A process id that no process has: a child's, once it has ended.
qint64 endedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

QByteArray lockFileOf(const QByteArray& host, const QByteArray& machine, qint64 pid, qint64 secondsAgo)
{
    return "host=" + host + "\nmachine=" + machine + "\npid=" + QByteArray::number(pid)
        + "\ntime=" + QByteArray::number(QDateTime::currentSecsSinceEpoch() - secondsAgo) + "\nmark=0123abcd\n";
}
} // namespace

void TestRecordArchive::staleLockFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("changedSecondsAgo");
    QTest::addColumn<bool>("stale");
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray machine = QSysInfo::machineUniqueId();
    const qint64 running = getppid();
    QTest::newRow("this machine, its process ended") << lockFileOf(host, machine, endedProcess(), 0) << 0 << true;
    QTest::newRow("this machine, its process running") << lockFileOf(host, machine, running, 0) << 0 << false;
    // The process id may have gone to another program since.
    QTest::newRow("this machine, running, made long ago") << lockFileOf(host, machine, running, 120) << 120 << true;
    // Same name, another machine: its process ids mean nothing here.
    QTest::newRow("a machine of the same name, just made")
        << lockFileOf(host, machine + "-other", endedProcess(), 0) << 0 << false;
    QTest::newRow("another machine, just made") << lockFileOf("banco-2", "b2", 1, 0) << 0 << false;
    QTest::newRow("another machine, made long ago") << lockFileOf("banco-2", "b2", 1, 120) << 120 << true;
    QTest::newRow("another machine whose clock runs behind") << lockFileOf("banco-2", "b2", 1, 120) << 0 << false;
    QTest::newRow("cut off while written, just now") << QByteArray("host=banco-2\npid=") << 0 << false;
    QTest::newRow("cut off while written, long ago") << QByteArray("host=banco-2\npid=") << 120 << true;
    QTest::newRow("empty, long ago") << QByteArray() << 120 << true;
}

void TestRecordArchive::staleLockFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, changedSecondsAgo);
    QFETCH(bool, stale);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Catalogo_Vini.pro"));
    const QString lockPath = path + QStringLiteral(".lock");
    writeBytes(lockPath, content);
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-changedSecondsAgo),
                             QFileDevice::FileModificationTime));
    lock.close();
    RecordArchive::setLockTimeoutForTesting(300);
    const auto restore = qScopeGuard([] { RecordArchive::setLockTimeoutForTesting(10000); });
    if (stale) {
        RecordArchive archive(path, kTen, RecordArchive::Access::Write);
        QCOMPARE(archive.append(recordOf(10, 's')), 1);
        archive.close();
        QCOMPARE(readBytes(path), recordOf(10, 's'));
        // Cleared, and nothing of it left beside the archive.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Catalogo_Vini.pro")});
    } else {
        // Another writer holds the archive: nothing is written, and its lock
        // file stays as it was.
        QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(path, kTen, RecordArchive::Access::Write));
        QVERIFY(readBytes(path).isEmpty());
        QCOMPARE(readBytes(lockPath), content);
    }
}

void TestRecordArchive::writerThatLostItsLockFileWritesNothing()
{
    const QString path = m_dir.filePath(QStringLiteral("lost.pro"));
    const QString lockPath = path + QStringLiteral(".lock");
    writeBytes(path, recordOf(10, 'o'));
    RecordArchive archive(path, kTen, RecordArchive::Access::Write);
    // Another workstation judged this writer's lock file stale and took the
    // archive over.
    const QByteArray theirs = lockFileOf("banco-2", "b2", 1, 0);
    QVERIFY(QFile::remove(lockPath));
    writeBytes(lockPath, theirs);
    QVERIFY_THROWS_EXCEPTION(ArchiveError, archive.writeAt(1, recordOf(10, 'w')));
    QVERIFY_THROWS_EXCEPTION(ArchiveError, archive.append(recordOf(10, 'a')));
    archive.close();
    QCOMPARE(readBytes(path), recordOf(10, 'o'));
    QCOMPARE(readBytes(lockPath), theirs);
}

void TestRecordArchive::lockFileThatCannotBeMade()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    // A writable archive in a folder where no file may be made: without its
    // lock file the archive is not written.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.pro"));
    writeBytes(path, recordOf(10, 'o'));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const auto restore = qScopeGuard(
        [&dir] { QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    QVERIFY_THROWS_EXCEPTION(ArchiveError, RecordArchive(path, kTen, RecordArchive::Access::Write));
    RecordArchive reader(path, kTen, RecordArchive::Access::Read);
    QCOMPARE(reader.count(), 1);
    reader.close();
    QCOMPARE(readBytes(path), recordOf(10, 'o'));
}

QTEST_MAIN(TestRecordArchive)
#include "tst_recordarchive.moc"
