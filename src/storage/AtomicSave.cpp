#include "AtomicSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vinarca {

namespace {

const QLatin1StringView kOurMark(".vinarca-");
constexpr int kRandomLength = 6;

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

void removeStaleTemporaries(const QFileInfo& target)
{
    const QDir folder = target.absoluteDir();
    const QString name = target.fileName();
    const QStringList candidates =
        folder.entryList({name + QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& candidate : candidates) {
        if (isSaveTemporaryOf(candidate, name))
            QFile::remove(folder.filePath(candidate));
    }
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false; // ENOSPC, EFBIG past a file-size limit, EIO, ...
        }
        if (written == 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
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

} // namespace

bool isSaveTemporaryOf(const QString& fileName, const QString& targetName)
{
    if (!fileName.startsWith(targetName) || fileName.size() <= targetName.size())
        return false;
    const QStringView rest = QStringView(fileName).mid(targetName.size());
    // Ours: "<name>.vinarca-" and six letters or digits.
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

bool saveWholeFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo target(path);
    removeStaleTemporaries(target);

    QString temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = target.absoluteFilePath() + kOurMark + randomSuffix();
        fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    struct stat existing = {};
    bool ok = true;
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &existing) == 0)
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, bytes);
    // The data must be on the disk before the name points at it, or a crash
    // right after the rename could leave an empty file in place of the old one.
    ok = ok && ::fsync(fd) == 0;
    struct stat written = {};
    ok = ok && ::fstat(fd, &written) == 0 && written.st_size == bytes.size();
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(target.absoluteFilePath()).constData()) == 0;
    if (!ok) {
        ::unlink(QFile::encodeName(temporary).constData());
        return false;
    }
    syncFolder(target.absolutePath());
    return true;
}

} // namespace vinarca
