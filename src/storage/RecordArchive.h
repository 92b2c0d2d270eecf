#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>

#include "ArchiveLockFile.h"
#include "RecordLayout.h"

#include <optional>
#include <stdexcept>

namespace vinarca {

// Any failed archive action: the file could not be opened, created or locked,
// a read ran past the end, a write failed, a position was not a number.
class ArchiveError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A file of fixed-size records laid end to end, positions from 1. One object
// is one user action: it opens (or creates) the file, holds its locks while it
// works and closes the file when it goes out of scope, so two workstations
// saving into one folder at the same moment never write over each other's
// record. A writer first takes the archive's lock file (ArchiveLockFile),
// which holds wherever the folder lives, then opens the file; readers and
// writers also take an advisory lock, shared for readers and exclusive for
// writers, where the file system offers one. A writer that cannot have both
// within the lock timeout fails and writes nothing.
class RecordArchive
{
public:
    enum class Access { Read, Write };

    // Opens the file for reading and writing, creating it empty when it does
    // not exist; an existing file is never truncated. Throws ArchiveError.
    RecordArchive(const QString& path, const RecordLayout& layout, Access access);
    ~RecordArchive();
    RecordArchive(const RecordArchive&) = delete;
    RecordArchive& operator=(const RecordArchive&) = delete;

    // Whole records only: a trailing fragment is not counted.
    qint64 count() const;

    void readAt(qint64 position, QByteArray& record);
    void writeAt(qint64 position, const QByteArray& record);
    // Writes after the last whole record (over any fragment); returns the new
    // position once the record has been read back there, the archive ending
    // with it. Anything else (another writer's record in its place, a
    // different size) fails.
    qint64 append(const QByteArray& record);

    // Sequential reading from the first record; false at the end of the whole
    // records. lastPosition() is the position of the record just read.
    bool readNext(QByteArray& record);
    // The same without copying: `record` refers to the archive's read
    // buffer and stays valid only until the next read or close.
    bool readNextInPlace(QByteArray& record);
    qint64 lastPosition() const { return m_scanPosition; }

    void close();

    // How long an action waits for another workstation's lock before it fails.
    static void setLockTimeoutForTesting(int milliseconds);
    // Replaces flock() (same arguments and result, errno set), to stand for
    // file systems that refuse locks or grant every one; null restores the
    // real call.
    using LockCall = int (*)(int descriptor, int operation);
    static void setLockCallForTesting(LockCall call);

private:
    class BusyWhileWaiting;
    void takeLockFile(const QDeadlineTimer& deadline, BusyWhileWaiting& busy);
    void lock(Access access, const QDeadlineTimer& deadline, BusyWhileWaiting& busy);
    void checkPosition(qint64 position) const;
    void checkLockFile(const char* failure) const;
    void confirmAppend(qint64 position, const QByteArray& record);
    // The file's size as the file server has it now, not as a network
    // client last saw it.
    qint64 currentSize() const;

    // Declared before the file: released after the file is closed, once
    // every byte written has reached the file server.
    std::optional<ArchiveLockFile> m_lockFile;
    QFile m_file;
    int m_recordSize;
    qint64 m_scanPosition = 0;
    QByteArray m_chunk;
    qsizetype m_chunkOffset = 0;
    qint64 m_scanFileOffset = 0;
};

} // namespace vinarca
