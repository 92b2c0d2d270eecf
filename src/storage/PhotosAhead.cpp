#include "PhotosAhead.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace vinarca {

namespace {
constexpr int kMostAhead = 2;
} // namespace

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
        auto task = std::make_shared<std::packaged_task<PhotoRead()>>([path, fitInto, wanted] {
            // Let go of before its turn came (the user went on): not decoded.
            if (!*wanted)
                return PhotoRead{};
            return readPhoto(path, fitInto);
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
    PhotoBytes file = readPhotoBytes(path);
    if (ahead != m_ahead.end()) {
        const PhotoRead& decoded = ahead->photo.get();
        // Only a JPEG keeps the bytes it was decoded from; anything else is
        // decoded again (a missing file has nothing to decode).
        const bool same = decoded.state == file.state
            && (file.state == PhotoFileState::Missing
                || (decoded.photo && !decoded.photo->jpegBytes.isEmpty() && decoded.photo->jpegBytes == file.bytes));
        if (same)
            return decoded;
    }
    if (file.state != PhotoFileState::Read)
        return {file.state, std::nullopt};
    return decodePhoto(std::move(file.bytes), fitInto);
}

} // namespace vinarca
