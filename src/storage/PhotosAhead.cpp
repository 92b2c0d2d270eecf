#include "PhotosAhead.h"

#include <QFile>

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace vinarca {

namespace {
constexpr int kMostAhead = 2;

// The file system stamps a change with a clock that moves in ticks of a few
// milliseconds; a file last changed longer ago than this cannot be changed
// again without a later stamp.
constexpr qint64 kStampTickNs = qint64(1000) * 1000 * 1000;
std::atomic<qint64> g_stampTickNs = kStampTickNs;

qint64 nanoseconds(const timespec& t)
{
    return qint64(t.tv_sec) * 1000 * 1000 * 1000 + t.tv_nsec;
}
} // namespace

PhotosAhead::FileStamp PhotosAhead::stampOf(const QString& path)
{
    FileStamp stamp;
    struct stat info{};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp; // no file (or none to be seen): read as missing
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    stamp.exists = true;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = nanoseconds(info.st_mtim);
    stamp.changedNs = nanoseconds(info.st_ctim);
    stamp.settled = stamp.changedNs < nanoseconds(now) - g_stampTickNs;
    return stamp;
}

void PhotosAhead::setStampTickForTesting(qint64 nanoseconds)
{
    g_stampTickNs = nanoseconds < 0 ? kStampTickNs : nanoseconds;
}

PhotosAhead::PhotosAhead()
{
    // One thread, kept for the window's life: it decodes one photo at a
    // time, and its decoding buffers stay ready between photos.
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
}

PhotosAhead::~PhotosAhead()
{
    m_thread.waitForDone();
}

void PhotosAhead::keepAhead(const QStringList& paths, QSize fitInto)
{
    const QStringList wanted = paths.mid(0, kMostAhead);
    std::vector<Ahead> kept;
    for (Ahead& ahead : m_ahead) {
        if (wanted.contains(ahead.path) && ahead.fitInto == fitInto)
            kept.push_back(std::move(ahead));
    }
    for (const QString& path : wanted) {
        if (std::any_of(kept.begin(), kept.end(), [&](const Ahead& a) { return a.path == path; }))
            continue;
        auto wanted = std::make_shared<std::atomic_bool>(true);
        auto task = std::make_shared<std::packaged_task<Decoded()>>([path, fitInto, wanted] {
            // Let go of before its turn came (the user went on): not decoded.
            if (!*wanted)
                return Decoded{};
            // Stamped before it is read: a change during or after the
            // reading gives the file a later stamp.
            Decoded decoded;
            decoded.stamp = stampOf(path);
            decoded.photo = readPhoto(path, fitInto);
            return decoded;
        });
        kept.push_back({path, fitInto, task->get_future().share(), wanted});
        m_thread.start([task] { (*task)(); });
    }
    // A photo let go of while it is being decoded finishes on its thread and
    // is then dropped with its task.
    for (Ahead& ahead : m_ahead) {
        if (ahead.wanted)
            *ahead.wanted = false;
    }
    m_ahead = std::move(kept);
}

PhotoRead PhotosAhead::read(const QString& path, QSize fitInto)
{
    const auto ahead = std::find_if(m_ahead.begin(), m_ahead.end(),
                                    [&](const Ahead& a) { return a.path == path && a.fitInto == fitInto; });
    if (ahead != m_ahead.end()) {
        const Decoded& decoded = ahead->photo.get();
        // A file whose stamp is as it was when it was read ahead, and was
        // already settled then, holds what was decoded: it is not read again.
        if (decoded.stamp.settled && decoded.stamp == stampOf(path)) {
            if (decoded.photo.state != PhotoFileState::Unreadable)
                return decoded.photo;
        } else if (!decoded.stamp.exists && !stampOf(path).exists) {
            return {PhotoFileState::Missing, std::nullopt};
        }
    }
    PhotoBytes file = readPhotoBytes(path);
    if (ahead != m_ahead.end()) {
        const PhotoRead& decoded = ahead->photo.get().photo;
        // A file changed just before it was read ahead is compared byte for
        // byte. Only a JPEG keeps the bytes it was decoded from; anything
        // else is decoded again.
        if (decoded.state == file.state && decoded.photo && !decoded.photo->jpegBytes.isEmpty()
            && decoded.photo->jpegBytes == file.bytes)
            return decoded;
    }
    // A file too large to read at once may be a BMP that is read a band at a time.
    if (file.state == PhotoFileState::Unreadable)
        return readPhoto(path, fitInto);
    if (file.state != PhotoFileState::Read)
        return {file.state, std::nullopt};
    return decodePhoto(std::move(file.bytes), fitInto);
}

} // namespace vinarca
