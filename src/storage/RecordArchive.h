#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "RecordLayout.h"

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
// is one user action: it opens (or creates) the file, holds an advisory lock
// while it works and closes the file when it goes out of scope. The lock is
// shared for readers and exclusive for writers, so two workstations saving into
// one folder at the same moment never write over each other's record. Where
// the file system offers no locks at all (a network share without a lock
// manager), the archive works unlocked, as the plain file format allows.
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
    // Writes after the last whole record (over any fragment); returns the new position.
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
    // file systems that refuse locks; null restores the real call.
    using LockCall = int (*)(int descriptor, int operation);
    static void setLockCallForTesting(LockCall call);

private:
    void lock(Access access);
    void checkPosition(qint64 position) const;

    QFile m_file;
    int m_recordSize;
    qint64 m_scanPosition = 0;
    QByteArray m_chunk;
    qsizetype m_chunkOffset = 0;
    qint64 m_scanFileOffset = 0;
};

} // namespace vinarca
