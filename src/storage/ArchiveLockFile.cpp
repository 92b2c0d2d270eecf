#include "ArchiveLockFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSysInfo>

#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vinarca {

namespace {

// How often a lock file in the way is read again to judge it: reading it over
// a network costs several round trips.
constexpr int kJudgeEveryMs = 200;
// A lock file is a few short lines; anything longer is not one of ours.
constexpr qint64 kLockFileMaxBytes = 1024;
// Attempts at making a lock file that fail with none in the way before the
// failure is reported.
constexpr int kCreateTries = 3;

QByteArray lockFileMark()
{
    const quint64 value = QRandomGenerator::system()->generate64();
    return QByteArray::number(value, 16);
}

QByteArray thisHost()
{
    return QSysInfo::machineHostName().toUtf8();
}

QByteArray thisMachine()
{
    return QSysInfo::machineUniqueId();
}

struct LockOwner
{
    QByteArray host;
    QByteArray machine;
    qint64 pid = 0;
    qint64 time = 0;
    bool readable = false;
};

// "host=...", "machine=...", "pid=...", "time=..." (seconds since 1970,
// UTC), "mark=...", one a line.
LockOwner parseLockFile(const QByteArray& content)
{
    LockOwner owner;
    bool hasPid = false;
    bool hasTime = false;
    bool hasMark = false;
    for (const QByteArray& line : content.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "host")
            owner.host = value;
        else if (key == "machine")
            owner.machine = value;
        else if (key == "pid")
            owner.pid = value.toLongLong(&hasPid);
        else if (key == "time")
            owner.time = value.toLongLong(&hasTime);
        else if (key == "mark")
            hasMark = !value.isEmpty();
    }
    // The mark is written last: a lock file cut off while being written
    // has none.
    owner.readable = hasPid && hasTime && hasMark && owner.pid > 0;
    return owner;
}

bool processRuns(qint64 pid)
{
    if (pid == ::getpid())
        return true;
    // EPERM: the process runs, under another user.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Lock files this process has found in its way, by content, and since when:
// a lock file that stays unchanged for the stale time is stale whatever its
// maker's clock says. Kept small: only lock files met recently matter.
std::mutex g_seenMutex;
QHash<QByteArray, QElapsedTimer> g_seen;

qint64 seenForMs(const QByteArray& key)
{
    const std::lock_guard guard(g_seenMutex);
    auto found = g_seen.find(key);
    if (found == g_seen.end()) {
        if (g_seen.size() > 64)
            g_seen.clear();
        QElapsedTimer timer;
        timer.start();
        g_seen.insert(key, timer);
        return 0;
    }
    return found->elapsed();
}

// The whole lock file, or null when it cannot be read (gone meanwhile).
QByteArray readLockFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray content = file.read(kLockFileMaxBytes);
    if (content.isNull())
        content = QByteArray("");
    return content;
}

bool removeIfUnchanged(const QString& path, const QByteArray& judged)
{
    // Moved aside before it is removed: two writers clearing the same stale
    // lock file at once would otherwise let the slower one remove the lock
    // file the faster one has just made.
    const QByteArray encoded = QFile::encodeName(path);
    const QByteArray aside = encoded + ".stale-" + lockFileMark();
    if (::rename(encoded.constData(), aside.constData()) != 0)
        return errno == ENOENT;
    const QByteArray moved = readLockFile(QFile::decodeName(aside));
    if (moved == judged) {
        ::unlink(aside.constData());
        return true;
    }
    // Another writer's fresh lock file: put back, never over a newer one.
    if (::link(aside.constData(), encoded.constData()) == 0 || errno == EEXIST)
        ::unlink(aside.constData());
    else
        ::rename(aside.constData(), encoded.constData());
    return false;
}

} // namespace

ArchiveLockFile::ArchiveLockFile(const QString& archivePath) : m_path(pathFor(archivePath)) {}

ArchiveLockFile::~ArchiveLockFile()
{
    release();
}

QString ArchiveLockFile::pathFor(const QString& archivePath)
{
    return archivePath + QStringLiteral(".lock");
}

ArchiveLockFile::Attempt ArchiveLockFile::tryTake()
{
    if (m_taken)
        return Attempt::Taken;
    const QByteArray encoded = QFile::encodeName(m_path);
    const int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        // Some network clients report a lock file made by another client
        // meanwhile with a general failure (sshfs: "operation not
        // permitted"), not as existing: it is told by looking. A failure
        // with no lock file in the way, again and again, is a real one (a
        // read-only folder, a full disk).
        struct stat existing = {};
        if (errno != EEXIST && ::lstat(encoded.constData(), &existing) != 0)
            return ++m_failures < kCreateTries ? Attempt::Held : Attempt::Failed;
        if (m_judged.isValid() && !m_judged.hasExpired(kJudgeEveryMs))
            return Attempt::Held;
        m_judged.start();
        // A stale lock file cleared: the next attempt, at once, may take it.
        return clearIfStale() ? tryTake() : Attempt::Held;
    }
    const QByteArray content = "host=" + thisHost() + "\nmachine=" + thisMachine() + "\npid="
        + QByteArray::number(qint64(::getpid())) + "\ntime=" + QByteArray::number(QDateTime::currentSecsSinceEpoch())
        + "\nmark=" + lockFileMark() + "\n";
    // The lock file is ours from its creation. Where its content cannot be
    // written (a full disk), it stays as far as it got; others then judge it
    // by its age alone.
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    ::close(fd);
    m_content = content.left(written);
    m_taken = true;
    return Attempt::Taken;
}

bool ArchiveLockFile::clearIfStale()
{
    const QByteArray content = readLockFile(m_path);
    if (content.isNull())
        return true; // removed meanwhile
    const QDateTime changed = QFileInfo(m_path).lastModified();
    const QDateTime now = QDateTime::currentDateTime();
    const bool changedLongAgo = changed.isValid() && changed.secsTo(now) > kStaleSeconds;
    const LockOwner owner = parseLockFile(content);
    // Cut-off lock files all look alike: told apart by when they changed.
    bool stale = seenForMs(content + QByteArray::number(changed.toMSecsSinceEpoch())) >= qint64(kStaleSeconds) * 1000;
    if (owner.readable) {
        const bool sameMachine = owner.host == thisHost() && owner.machine == thisMachine();
        // By time only when the maker's clock and the folder's agree: a
        // maker whose clock runs behind would look old at once.
        const bool writtenLongAgo = now.toSecsSinceEpoch() - owner.time > kStaleSeconds;
        stale = stale || (sameMachine && !processRuns(owner.pid)) || (writtenLongAgo && changedLongAgo);
    } else {
        stale = stale || changedLongAgo;
    }
    return stale && removeIfUnchanged(m_path, content);
}

bool ArchiveLockFile::isStillOurs() const
{
    return m_taken && readLockFile(m_path) == m_content;
}

void ArchiveLockFile::release()
{
    if (!m_taken)
        return;
    if (isStillOurs())
        ::unlink(QFile::encodeName(m_path).constData());
    m_taken = false;
}

} // namespace vinarca
