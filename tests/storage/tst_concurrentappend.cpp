// Several workstations adding records to one archive at the same moment,
// each a process of its own: on a local disk, on a file system whose locks
// stay inside one client, and through two network mounts of one folder.
#include "RecordArchive.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vinarca;

namespace {
constexpr int kRecordSize = 2997; // a Wine record

// Starts one worker per path, each appending `perWorker` records, all at once.
void appendFromEveryPath(const QStringList& paths, int perWorker, const QStringList& extra = {})
{
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int w = 0; w < paths.size(); ++w) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(WORKER_PATH), QStringList{paths.at(w), QStringLiteral("w%1").arg(w),
                                                                QString::number(perWorker),
                                                                QString::number(kRecordSize)} + extra);
        workers.push_back(std::move(process));
    }
    for (auto& process : workers) {
        QVERIFY(process->waitForFinished(240000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        // Every save reported success.
        QCOMPARE(process->exitCode(), 0);
    }
}

// Every save is there, whole, exactly once, and nothing else.
void checkEveryRecordWhole(const QString& path, int expected)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), qint64(expected) * kRecordSize);

    RecordArchive archive(path, RecordLayout{{"Tag", kRecordSize - 1}}, RecordArchive::Access::Read);
    QSet<QByteArray> tags;
    QByteArray record;
    while (archive.readNext(record)) {
        // A whole record repeats one tag from its first byte to its last.
        const QByteArray tag = record.left(record.indexOf(';') + 1);
        QVERIFY(!tag.isEmpty());
        QByteArray whole(kRecordSize, '\0');
        for (int at = 0; at + tag.size() <= kRecordSize; at += tag.size())
            std::copy(tag.begin(), tag.end(), whole.begin() + at);
        QCOMPARE(record, whole);
        tags.insert(tag);
    }
    QCOMPARE(tags.size(), expected);
    // The lock file went with the last save.
    QVERIFY(!QFile::exists(path + QStringLiteral(".lock")));
}

// Runs a program to its end; empty when it succeeded, otherwise what it said.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return program + QStringLiteral(" did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll()).trimmed();
    return {};
}

// A free TCP port on the loopback interface.
int freeLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// One folder shared over SFTP by an SSH server of the test's own on a local
// port, mounted twice with sshfs: two workstations reaching one network
// folder, each through its own client.
class NetworkFolder
{
public:
    explicit NetworkFolder(const QString& base) : m_base(base) {}
    ~NetworkFolder() { stop(); }

    // Empty when both mounts are up, otherwise why they cannot be.
    QString start()
    {
        const QStringList sbin{QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"), QStringLiteral("/sbin")};
        const QString sshd = QStandardPaths::findExecutable(QStringLiteral("sshd"), sbin);
        const QString keygen = QStandardPaths::findExecutable(QStringLiteral("ssh-keygen"));
        const QString sshfs = QStandardPaths::findExecutable(QStringLiteral("sshfs"));
        m_fusermount = QStandardPaths::findExecutable(QStringLiteral("fusermount3"));
        if (m_fusermount.isEmpty())
            m_fusermount = QStandardPaths::findExecutable(QStringLiteral("fusermount"));
        if (sshd.isEmpty() || keygen.isEmpty() || sshfs.isEmpty() || m_fusermount.isEmpty())
            return QStringLiteral("needs sshd, ssh-keygen, sshfs and fusermount (Debian: openssh-server, sshfs)");
        const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (fuse < 0)
            return QStringLiteral("/dev/fuse cannot be opened by this user");
        ::close(fuse);
        const passwd* user = ::getpwuid(::geteuid());
        if (!user)
            return QStringLiteral("this user has no name");

        QDir base(m_base);
        for (const char* folder : {"share", "desk1", "desk2"})
            base.mkpath(QString::fromLatin1(folder));
        const QString hostKey = base.filePath(QStringLiteral("host_key"));
        const QString userKey = base.filePath(QStringLiteral("user_key"));
        for (const QString& key : {hostKey, userKey}) {
            const QString failure = run(keygen, {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                                 QStringLiteral("-N"), QString(), QStringLiteral("-f"), key});
            if (!failure.isEmpty())
                return failure;
        }
        const QString authorized = base.filePath(QStringLiteral("authorized_keys"));
        QFile::copy(userKey + QStringLiteral(".pub"), authorized);
        QFile::setPermissions(authorized, QFile::ReadOwner | QFile::WriteOwner);

        const int port = freeLocalPort();
        const QString config = base.filePath(QStringLiteral("sshd_config"));
        QFile configFile(config);
        if (!configFile.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write the server's settings");
        configFile.write(QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2\nAuthorizedKeysFile %3\n"
                                        "PidFile %4\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                                        "PubkeyAuthentication yes\nPermitRootLogin yes\nUsePAM no\nStrictModes no\n"
                                        "Subsystem sftp internal-sftp\n")
                             .arg(port)
                             .arg(hostKey, authorized, base.filePath(QStringLiteral("sshd.pid")))
                             .toLocal8Bit());
        configFile.close();
        // The server's own empty folder, which its package normally makes.
        if (::geteuid() == 0)
            QDir().mkpath(QStringLiteral("/run/sshd"));

        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(sshd, {QStringLiteral("-f"), config, QStringLiteral("-D"), QStringLiteral("-e")});
        if (!m_server.waitForStarted())
            return QStringLiteral("sshd cannot start");
        QDeadlineTimer listening(10000);
        while (!accepts(port)) {
            if (m_server.state() == QProcess::NotRunning || listening.hasExpired())
                return QStringLiteral("sshd: ") + QString::fromLocal8Bit(m_server.readAll()).trimmed();
            QThread::msleep(50);
        }

        const QString remote = QStringLiteral("%1@127.0.0.1:%2")
                                   .arg(QString::fromLocal8Bit(user->pw_name), base.filePath(QStringLiteral("share")));
        const QString options = QStringLiteral("IdentityFile=%1,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,"
                                               "BatchMode=yes,port=%2")
                                    .arg(userKey)
                                    .arg(port);
        for (const char* desk : {"desk1", "desk2"}) {
            const QString mountPoint = base.filePath(QString::fromLatin1(desk));
            const QString failure = run(sshfs, {remote, mountPoint, QStringLiteral("-o"), options});
            if (!failure.isEmpty())
                return failure;
            m_mounted << mountPoint;
        }
        return {};
    }

    void stop()
    {
        for (const QString& mountPoint : std::as_const(m_mounted))
            run(m_fusermount, {QStringLiteral("-u"), mountPoint});
        m_mounted.clear();
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(5000)) {
                m_server.kill();
                m_server.waitForFinished();
            }
        }
    }

    QString share() const { return QDir(m_base).filePath(QStringLiteral("share")); }
    QString desk(int n) const { return QDir(m_base).filePath(QStringLiteral("desk%1").arg(n)); }

private:
    QString m_base;
    QString m_fusermount;
    QProcess m_server;
    QStringList m_mounted;
};
} // namespace

class TestConcurrentAppend : public QObject
{
    Q_OBJECT
private slots:
    void everyRecordArrivesWhole_data();
    void everyRecordArrivesWhole();
    void twoMountsOfOneNetworkFolder();
};

void TestConcurrentAppend::everyRecordArrivesWhole_data()
{
    QTest::addColumn<bool>("ignoreFlock");
    QTest::newRow("local disk") << false;
    // Locks that every workstation is granted at once (some network shares
    // keep them inside one client): only the lock file keeps them apart.
    QTest::newRow("file system granting every lock") << true;
}

void TestConcurrentAppend::everyRecordArrivesWhole()
{
    QFETCH(bool, ignoreFlock);
    constexpr int kWorkers = 6;
    constexpr int kPerWorker = 60;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Catalogo_Vini.pro"));
    QStringList paths;
    for (int w = 0; w < kWorkers; ++w)
        paths << path;
    appendFromEveryPath(paths, kPerWorker, ignoreFlock ? QStringList{QStringLiteral("ignore-flock")} : QStringList{});
    if (QTest::currentTestFailed())
        return;
    checkEveryRecordWhole(path, kWorkers * kPerWorker);
}

void TestConcurrentAppend::twoMountsOfOneNetworkFolder()
{
    QTemporaryDir dir;
    NetworkFolder folder(dir.path());
    const QString failure = folder.start();
    if (!failure.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no network folder of two sshfs mounts here (run as root with "
                                        "openssh-server and sshfs installed): ") + failure));
    constexpr int kPerDesk = 150;
    const QString name = QStringLiteral("/Catalogo_Vini.pro");
    appendFromEveryPath({folder.desk(1) + name, folder.desk(2) + name}, kPerDesk);
    folder.stop();
    if (QTest::currentTestFailed())
        return;
    checkEveryRecordWhole(folder.share() + name, 2 * kPerDesk);
}

QTEST_GUILESS_MAIN(TestConcurrentAppend)
#include "tst_concurrentappend.moc"
