#include "RecordArchive.h"

#include "AtomicSave.h"

#include <QCursor>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vinarca {

namespace {
int g_lockTimeoutMs = 10000;
RecordArchive::LockCall g_lockCall = nullptr;

#ifdef Q_OS_UNIX
// The file system cannot lock at all: an NFS mount without a lock manager,
// some FUSE and SMB mounts. Waiting would never help there.
bool locksUnsupported(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS;
}
#endif
// Records read per file access during a scan.
constexpr int kScanChunkRecords = 128;
} // namespace

// Shows the user that the program is busy, not frozen, while an action waits
// for another workstation's lock, until the wait ends.
class RecordArchive::BusyWhileWaiting
{
public:
    BusyWhileWaiting() = default;
    ~BusyWhileWaiting()
    {
        if (m_busy)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyWhileWaiting(const BusyWhileWaiting&) = delete;
    BusyWhileWaiting& operator=(const BusyWhileWaiting&) = delete;

    // One wait step.
    void wait()
    {
        if (!m_busy && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            m_busy = true;
        }
        QThread::msleep(5);
    }

private:
    bool m_busy = false;
};

RecordArchive::RecordArchive(const QString& path, const RecordLayout& layout, Access access)
    : m_file(path), m_recordSize(layout.recordSize())
{
    // An archive is never reached through a link that leads out of the
    // program folder, and a file the user made read-only is never written
    // (the superuser could otherwise write it).
    if (leadsOutOfProgramFolder(path) || (access == Access::Write && isProtectedFile(path)))
        throw ArchiveError("archive outside the program folder or protected");
    const QDeadlineTimer deadline(g_lockTimeoutMs);
    BusyWhileWaiting busy;
    // The lock file comes first: the file opened after it shows what the
    // last writer left, also through a network client that keeps what it
    // saw of the file for a while.
    if (access == Access::Write)
        takeLockFile(deadline, busy);
    // ReadWrite without Truncate: opens an existing file as it is, or creates
    // an empty one. A read-only file or folder fails here and is reported.
    if (!m_file.open(QIODevice::ReadWrite))
        throw ArchiveError("cannot open archive");
    lock(access, deadline, busy);
}

RecordArchive::~RecordArchive()
{
    close();
}

void RecordArchive::setLockTimeoutForTesting(int milliseconds)
{
    g_lockTimeoutMs = milliseconds;
}

void RecordArchive::setLockCallForTesting(LockCall call)
{
    g_lockCall = call;
}

void RecordArchive::takeLockFile(const QDeadlineTimer& deadline, BusyWhileWaiting& busy)
{
    m_lockFile.emplace(m_file.fileName());
    for (;;) {
        switch (m_lockFile->tryTake()) {
        case ArchiveLockFile::Attempt::Taken:
            return;
        case ArchiveLockFile::Attempt::Failed:
            throw ArchiveError("cannot create the archive's lock file");
        case ArchiveLockFile::Attempt::Held:
            if (deadline.hasExpired())
                throw ArchiveError("archive is locked");
            busy.wait();
            break;
        }
    }
}

void RecordArchive::lock(Access access, const QDeadlineTimer& deadline, BusyWhileWaiting& busy)
{
#ifdef Q_OS_UNIX
    const int operation = (access == Access::Write ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const LockCall call = g_lockCall ? g_lockCall : &::flock;
    while (call(m_file.handle(), operation) != 0) {
        const int error = errno;
        // The lock file alone keeps writers apart there.
        if (locksUnsupported(error))
            return;
        if ((error != EWOULDBLOCK && error != EINTR) || deadline.hasExpired()) {
            m_file.close();
            throw ArchiveError("archive is locked");
        }
        busy.wait();
    }
#else
    Q_UNUSED(access);
    Q_UNUSED(deadline);
    Q_UNUSED(busy);
#endif
}

void RecordArchive::close()
{
    // Closing the descriptor releases the advisory lock and, on a network
    // share, waits for every write to reach the server; only then may the
    // next writer take the lock file.
    if (m_file.isOpen())
        m_file.close();
    m_lockFile.reset();
}

qint64 RecordArchive::currentSize() const
{
#ifdef Q_OS_LINUX
    // A network client answers a plain size question from what it saw last
    // (for up to a second or more); forced, it asks the server.
    struct statx status = {};
    if (m_file.isOpen()
        && ::statx(m_file.handle(), "", AT_EMPTY_PATH | AT_STATX_FORCE_SYNC, STATX_SIZE, &status) == 0
        && (status.stx_mask & STATX_SIZE))
        return qint64(status.stx_size);
#endif
    return m_file.size();
}

qint64 RecordArchive::count() const
{
    return currentSize() / m_recordSize;
}

void RecordArchive::checkLockFile(const char* failure) const
{
    // A writer so slow that another judged its lock file stale has lost it.
    if (m_lockFile && !m_lockFile->isStillOurs())
        throw ArchiveError(failure);
}

void RecordArchive::checkPosition(qint64 position) const
{
    if (position < 1 || position > count())
        throw ArchiveError("position outside the archive");
}

void RecordArchive::readAt(qint64 position, QByteArray& record)
{
    checkPosition(position);
    record.resize(m_recordSize);
    if (!m_file.seek((position - 1) * m_recordSize) || m_file.read(record.data(), m_recordSize) != m_recordSize)
        throw ArchiveError("read failed");
}

void RecordArchive::writeAt(qint64 position, const QByteArray& record)
{
    checkLockFile("write failed");
    checkPosition(position);
    if (record.size() != m_recordSize || !m_file.seek((position - 1) * m_recordSize)
        || m_file.write(record) != m_recordSize || !m_file.flush())
        throw ArchiveError("write failed");
}

qint64 RecordArchive::append(const QByteArray& record)
{
    checkLockFile("append failed");
    const qint64 position = count() + 1;
    if (record.size() != m_recordSize || !m_file.seek((position - 1) * m_recordSize)
        || m_file.write(record) != m_recordSize || !m_file.flush())
        throw ArchiveError("append failed");
    confirmAppend(position, record);
    return position;
}

void RecordArchive::confirmAppend(qint64 position, const QByteArray& record)
{
#ifdef Q_OS_UNIX
    // On the disk (on a network share: on the server) before it is checked.
    if (::fdatasync(m_file.handle()) != 0 && errno != EINVAL)
        throw ArchiveError("append failed");
#endif
    if (currentSize() != position * m_recordSize)
        throw ArchiveError("append not confirmed: the archive changed meanwhile");
    // Read through a descriptor of its own: a network client forgets what it
    // kept of the file when it is opened again, so the bytes come from the
    // server, not from this process's own write.
    QFile check(m_file.fileName());
    QByteArray stored(m_recordSize, Qt::Uninitialized);
    if (!check.open(QIODevice::ReadOnly) || !check.seek((position - 1) * m_recordSize)
        || check.read(stored.data(), m_recordSize) != m_recordSize || stored != record)
        throw ArchiveError("append not confirmed: the record read back differs");
}

bool RecordArchive::readNext(QByteArray& record)
{
    QByteArray inPlace;
    if (!readNextInPlace(inPlace))
        return false;
    record.resize(m_recordSize);
    std::copy_n(inPlace.constData(), m_recordSize, record.data());
    return true;
}

bool RecordArchive::readNextInPlace(QByteArray& record)
{
    if (m_chunkOffset + m_recordSize > m_chunk.size()) {
        // Refill with up to one chunk: as many whole records as the file
        // holds from there (a read stops at its end; a trailing fragment is
        // left out). The file is not asked for its size nor told where to
        // read unless another access moved it: on a large archive those
        // calls would cost as much as the reading.
        const qint64 want = qint64(kScanChunkRecords) * m_recordSize;
        m_chunk.resize(want);
        if (m_file.pos() != m_scanFileOffset && !m_file.seek(m_scanFileOffset))
            throw ArchiveError("read failed");
        const qint64 got = m_file.read(m_chunk.data(), want);
        if (got < 0)
            throw ArchiveError("read failed");
        const qint64 whole = got / m_recordSize * m_recordSize;
        if (whole == 0)
            return false;
        m_chunk.resize(whole);
        m_scanFileOffset += whole;
        m_chunkOffset = 0;
    }
    record = QByteArray::fromRawData(m_chunk.constData() + m_chunkOffset, m_recordSize);
    m_chunkOffset += m_recordSize;
    ++m_scanPosition;
    return true;
}

} // namespace vinarca
