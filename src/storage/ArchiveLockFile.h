#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

namespace vinarca {

// The file "<archive>.lock" that keeps workstations apart while one of them
// writes an archive. It is created only where no such file exists, a single
// step that the file server decides, so it holds on network shares whose
// advisory locks stay inside one client (two mounts of one folder are both
// granted the same lock). It names its maker: host, machine, process, time
// and a mark of its own; its maker removes it when the write ends.
//
// A lock file nobody will remove is stale and is cleared by the next writer:
// - made on this machine by a process that no longer runs;
// - older than kStaleSeconds by the time written in it (a save takes
//   milliseconds; a workstation that stopped in the middle leaves its lock
//   file behind);
// - seen unchanged by this process for kStaleSeconds (a maker whose clock
//   runs behind never looks old by the time it wrote);
// - holding no readable maker (cut off while being written) and last changed
//   kStaleSeconds ago.
class ArchiveLockFile
{
public:
    static constexpr int kStaleSeconds = 30;

    explicit ArchiveLockFile(const QString& archivePath);
    ~ArchiveLockFile();
    ArchiveLockFile(const ArchiveLockFile&) = delete;
    ArchiveLockFile& operator=(const ArchiveLockFile&) = delete;

    static QString pathFor(const QString& archivePath);

    enum class Attempt {
        Taken, // the lock file is ours
        Held,  // another writer holds it (or a failure that may pass): try again shortly
        Failed // it cannot be made here (no rights, a read-only folder)
    };
    // One attempt; a stale lock file found on the way is cleared first.
    Attempt tryTake();
    // The lock file is still there and still ours: nobody judged it stale.
    bool isStillOurs() const;
    // Removes the lock file when it is still ours.
    void release();

private:
    bool clearIfStale();

    QString m_path;
    bool m_taken = false;
    // What this object wrote into its lock file.
    QByteArray m_content;
    // When the lock file found in the way was last judged.
    QElapsedTimer m_judged;
    int m_failures = 0;
};

} // namespace vinarca
