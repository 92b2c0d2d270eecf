#include "AtomicSave.h"

#include "ProgramFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vinarca {

namespace {

const QLatin1StringView kOurMark(".vinarca-");
constexpr int kRandomLength = 6;
// "~" and eight hexadecimal digits after a shortened name.
constexpr int kShortenedMarkLength = 9;
// Written data is forced to the disk in steps of this size, in the
// background, while more is being produced.
constexpr qint64 kWriteBehindStep = 8 * 1024 * 1024;
// A replaced file at least this large is unlinked after the save has been
// reported: freeing its blocks (and trimming them on a solid-state disk)
// takes tens of milliseconds nobody has to wait for.
constexpr qint64 kLargeReplacedFile = 8 * 1024 * 1024;

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString randomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < kRandomLength; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return suffix;
}

// What a temporary of `targetName` starts with: the name itself while the
// temporary's name fits, otherwise its first bytes (whole characters) and a
// mark that stands for the whole name.
QString temporaryStem(const QString& targetName)
{
    const QByteArray encoded = QFile::encodeName(targetName);
    const int room = kMaxFileNameBytes - int(kOurMark.size()) - kRandomLength;
    if (encoded.size() <= room)
        return targetName;
    const QByteArray digest = QCryptographicHash::hash(encoded, QCryptographicHash::Sha1).left(4).toHex();
    QString stem;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < targetName.size();) {
        const qsizetype length = targetName.at(i).isHighSurrogate() && i + 1 < targetName.size() ? 2 : 1;
        const qsizetype more = QFile::encodeName(targetName.mid(i, length)).size();
        if (bytes + more > room - kShortenedMarkLength)
            break;
        stem += targetName.mid(i, length);
        bytes += more;
        i += length;
    }
    return stem + QLatin1Char('~') + QString::fromLatin1(digest);
}

void removeStaleTemporaries(const QFileInfo& target)
{
    const QDir folder = target.absoluteDir();
    const QString name = target.fileName();
    const QString stem = temporaryStem(name);
    // Compared by hand rather than by a name filter: a name may hold the
    // filter's own wildcard characters ("[", "*", "?").
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& candidate : entries) {
        if (candidate.startsWith(stem) && isSaveTemporaryOf(candidate, name))
            QFile::remove(folder.filePath(candidate));
    }
}

// The rename is on the disk once the folder's entry is.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Gives the replaced file's content a temporary's name of its own, so that the
// rename that follows only moves names and its blocks are freed later by
// releaseKept(). Empty when the file is small, absent or cannot be linked
// (a file system without hard links): then the rename frees it at once.
QString keepReplacedFile(const QString& target, const QString& stem)
{
    struct stat existing = {};
    if (::lstat(QFile::encodeName(target).constData(), &existing) != 0 || !S_ISREG(existing.st_mode)
        || existing.st_size < kLargeReplacedFile)
        return {};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString kept = stem + kOurMark + randomSuffix();
        if (::link(QFile::encodeName(target).constData(), QFile::encodeName(kept).constData()) == 0)
            return kept;
        if (errno != EEXIST)
            break;
    }
    return {};
}

// Removes a replaced file's kept name away from the user's wait. Should the
// program end first, the next save of the same file removes it as a stale
// temporary.
void releaseKept(const QString& kept)
{
    if (kept.isEmpty())
        return;
    QThreadPool::globalInstance()->start([encoded = QFile::encodeName(kept)] { ::unlink(encoded.constData()); });
}

// The path with every symbolic link on it resolved, also where its last
// parts do not exist yet (a file about to be created) or a link points at
// nothing (writing through it would create its target).
QString resolvedPath(QString path)
{
    for (int hops = 0; hops < 40; ++hops) {
        QString existing = QDir::cleanPath(path);
        QStringList rest;
        QFileInfo info(existing);
        while (!info.exists() && !info.isSymLink()) {
            const QString parent = info.path();
            if (parent == existing)
                return path; // nothing of it exists, not even the root
            rest.prepend(info.fileName());
            existing = parent;
            info = QFileInfo(existing);
        }
        const QString tail = rest.isEmpty() ? QString() : QLatin1Char('/') + rest.join(QLatin1Char('/'));
        if (!info.exists()) {
            // A dangling link: follow it by hand and look again.
            path = QDir::cleanPath(info.symLinkTarget() + tail);
            continue;
        }
        return QDir::cleanPath(info.canonicalFilePath() + tail);
    }
    return {}; // a loop of links
}

} // namespace

bool isSaveTemporaryOf(const QString& fileName, const QString& targetName)
{
    const QString stem = temporaryStem(targetName);
    if (!fileName.startsWith(stem) || fileName.size() <= stem.size())
        return false;
    const QStringView rest = QStringView(fileName).mid(stem.size());
    // Ours: the stem, ".vinarca-" and six letters or digits.
    if (rest.startsWith(kOurMark)) {
        const QStringView random = rest.mid(kOurMark.size());
        return random.size() == kRandomLength
            && std::all_of(random.begin(), random.end(), [](QChar c) { return isAsciiLetter(c) || isAsciiDigit(c); });
    }
    // Names of the shape "<name>." and six letters are left alone: earlier
    // saves made such temporaries, but a user's copy ("unins000.dll.backup")
    // looks just the same, and a leftover is harmless while a lost copy is not.
    return false;
}

bool leadsOutOfProgramFolder(const QString& path)
{
    const QString folder = QDir::cleanPath(ProgramFolder());
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!absolute.startsWith(folder + QLatin1Char('/')))
        return false;
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    const QString resolved = resolvedPath(absolute);
    return canonicalFolder.isEmpty() || !resolved.startsWith(canonicalFolder + QLatin1Char('/'));
}

bool isProtectedFile(const QString& path)
{
    struct stat existing = {};
    const QByteArray encoded = QFile::encodeName(path);
    if (::stat(encoded.constData(), &existing) != 0)
        return false;
    // The superuser may write anything; a file nobody may write is still one
    // the user protected.
    return (existing.st_mode & 0222) == 0 || ::access(encoded.constData(), W_OK) != 0;
}

// Forces a file's data to the disk on a thread of its own whenever asked,
// one request at a time; requests made while one runs are merged.
class AtomicFile::BackgroundSync
{
public:
    explicit BackgroundSync(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~BackgroundSync() { finish(); }

    void request()
    {
        const std::lock_guard lock(m_mutex);
        m_requested = true;
        m_wake.notify_one();
    }

    // Waits for the running request; false if any forced write failed.
    bool finish()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
            m_requested = false;
            m_wake.notify_one();
        }
        if (m_thread.joinable())
            m_thread.join();
        return !m_failed;
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_requested || m_stop; });
            if (m_stop)
                return;
            m_requested = false;
            lock.unlock();
            const bool synced = ::fdatasync(m_fd) == 0;
            lock.lock();
            m_failed = m_failed || !synced;
        }
    }

    const int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_requested = false;
    bool m_stop = false;
    bool m_failed = false;
    std::thread m_thread;
};

AtomicFile::AtomicFile() = default;

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::open(const QString& path)
{
    discard();
    m_failed = false;
    m_written = 0;
    m_handedToDisk = 0;
    const QFileInfo target(path);
    m_target = target.absoluteFilePath();
    if (target.fileName().isEmpty() || leadsOutOfProgramFolder(m_target) || isProtectedFile(m_target)) {
        m_failed = true;
        return false;
    }
    removeStaleTemporaries(target);

    m_temporaryStem = target.absoluteDir().filePath(temporaryStem(target.fileName()));
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temporary = m_temporaryStem + kOurMark + randomSuffix();
        m_fd = ::open(QFile::encodeName(m_temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                      0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_failed = true;
        return false;
    }
    struct stat existing = {};
    if (::stat(QFile::encodeName(m_target).constData(), &existing) == 0 && ::fchmod(m_fd, existing.st_mode & 07777) != 0)
        m_failed = true;
    return !m_failed;
}

bool AtomicFile::write(const char* data, qint64 size)
{
    if (m_fd < 0 || m_failed)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_failed = true; // ENOSPC, EFBIG past a file-size limit, EIO, ...
            return false;
        }
        if (written == 0) {
            m_failed = true;
            return false;
        }
        data += written;
        size -= written;
        m_written += written;
    }
    // Have the finished steps forced to the disk in the background while
    // more is produced; commit()'s own forced write then waits for the last
    // step only.
    if (m_written - m_handedToDisk >= kWriteBehindStep) {
        if (!m_background)
            m_background = std::make_unique<BackgroundSync>(m_fd);
        m_background->request();
        m_handedToDisk = m_written;
    }
    return true;
}

bool AtomicFile::commit()
{
    if (m_fd < 0)
        return false;
    // A failed background write reports its error once only: it is taken
    // from the background writer, not from the final fsync.
    bool ok = finishBackgroundSync();
    // The data must be on the disk before the name points at it, or a crash
    // right after the rename could leave an empty file in place of the old one.
    ok = ok && !m_failed && ::fsync(m_fd) == 0;
    struct stat written = {};
    ok = ok && ::fstat(m_fd, &written) == 0 && written.st_size == m_written;
    ok = (::close(m_fd) == 0) && ok;
    m_fd = -1;
    // Looked at again just before the rename: the file may have been
    // protected or replaced by a link while the bytes were written.
    ok = ok && !leadsOutOfProgramFolder(m_target) && !isProtectedFile(m_target);
    const QString kept = ok ? keepReplacedFile(m_target, m_temporaryStem) : QString();
    ok = ok && ::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) == 0;
    if (!ok) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        if (!kept.isEmpty())
            ::unlink(QFile::encodeName(kept).constData());
        m_temporary.clear();
        return false;
    }
    m_temporary.clear();
    syncFolder(QFileInfo(m_target).absolutePath());
    releaseKept(kept);
    return true;
}

bool AtomicFile::commitWrittenElsewhere()
{
    struct stat written = {};
    if (m_fd < 0 || ::fstat(m_fd, &written) != 0)
        m_failed = true;
    else
        m_written = written.st_size;
    return commit();
}

bool AtomicFile::finishBackgroundSync()
{
    if (!m_background)
        return true;
    const bool ok = m_background->finish();
    m_background.reset();
    return ok;
}

void AtomicFile::discard()
{
    finishBackgroundSync();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        m_temporary.clear();
    }
}

bool saveWholeFile(const QString& path, const QByteArray& bytes)
{
    AtomicFile file;
    return file.open(path) && file.write(bytes) && file.commit();
}

} // namespace vinarca
