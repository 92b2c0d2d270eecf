#pragma once

#include "Photo.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

namespace vinarca {

// Photos the user is likely to ask for next (the records beside the one
// shown), read and decoded ahead on a thread of their own, so that going to
// them paints a picture that is ready. At most the photos last asked for are
// kept; any other is let go. A photo decoded ahead is used only when the
// file still holds the very bytes it was decoded from: the file is read
// again when the photo is shown, so a photo replaced on disk in the meantime
// is decoded afresh, never shown stale.
class PhotosAhead
{
public:
    PhotosAhead();
    ~PhotosAhead(); // waits for a decoding under way

    // Starts decoding the photos of `paths` (at most two) for `fitInto`,
    // those not under way already, and lets go of every other.
    void keepAhead(const QStringList& paths, QSize fitInto);

    // The photo of `path` as readPhoto gives it: from the decoding ahead
    // when that decoded what the file holds now for the same size (waiting
    // for it if it is still under way), otherwise read and decoded here.
    PhotoRead read(const QString& path, QSize fitInto);

private:
    struct Ahead
    {
        QString path;
        QSize fitInto;
        std::shared_future<PhotoRead> photo;
        std::shared_ptr<std::atomic_bool> wanted;
    };
    std::vector<Ahead> m_ahead;
    QThreadPool m_thread;
};

} // namespace vinarca
