#include "RecordArchive.h"

#include "AtomicSave.h"

#include <QCursor>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/file.h>
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

RecordArchive::RecordArchive(const QString& path, const RecordLayout& layout, Access access)
    : m_file(path), m_recordSize(layout.recordSize())
{
    // An archive is never reached through a link that leads out of the
    // program folder, and a file the user made read-only is never written
    // (the superuser could otherwise write it).
    if (leadsOutOfProgramFolder(path) || (access == Access::Write && isProtectedFile(path)))
        throw ArchiveError("archive outside the program folder or protected");
    // ReadWrite without Truncate: opens an existing file as it is, or creates
    // an empty one. A read-only file or folder fails here and is reported.
    if (!m_file.open(QIODevice::ReadWrite))
        throw ArchiveError("cannot open archive");
    lock(access);
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

void RecordArchive::lock(Access access)
{
#ifdef Q_OS_UNIX
    const int operation = (access == Access::Write ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const LockCall call = g_lockCall ? g_lockCall : &::flock;
    QDeadlineTimer deadline(g_lockTimeoutMs);
    bool waiting = false;
    const auto restoreCursor = qScopeGuard([&waiting] {
        if (waiting)
            QGuiApplication::restoreOverrideCursor();
    });
    while (call(m_file.handle(), operation) != 0) {
        const int error = errno;
        if (locksUnsupported(error))
            return;
        if ((error != EWOULDBLOCK && error != EINTR) || deadline.hasExpired()) {
            m_file.close();
            throw ArchiveError("archive is locked");
        }
        // Another workstation holds the archive: the user sees the program
        // is busy, not frozen, for up to the timeout.
        if (!waiting && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            waiting = true;
        }
        QThread::msleep(5);
    }
#else
    Q_UNUSED(access);
#endif
}

void RecordArchive::close()
{
    // Closing the descriptor releases the lock.
    if (m_file.isOpen())
        m_file.close();
}

qint64 RecordArchive::count() const
{
    return m_file.size() / m_recordSize;
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
    checkPosition(position);
    if (record.size() != m_recordSize || !m_file.seek((position - 1) * m_recordSize)
        || m_file.write(record) != m_recordSize || !m_file.flush())
        throw ArchiveError("write failed");
}

qint64 RecordArchive::append(const QByteArray& record)
{
    const qint64 position = count() + 1;
    if (record.size() != m_recordSize || !m_file.seek((position - 1) * m_recordSize)
        || m_file.write(record) != m_recordSize || !m_file.flush())
        throw ArchiveError("append failed");
    return position;
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
