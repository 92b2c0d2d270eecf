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
// file still holds the very bytes it was decoded from, so a photo replaced,
// rewritten or deleted on disk in the meantime is read afresh, never shown
// stale: the file's identity, size and change stamps are as they were when
// it was read ahead, or, for a file changed just before (within the file
// system's clock tick), its bytes are read again and compared.
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

    // How long after its last change a file counts as settled (by default
    // a second, well over the file system's clock tick); 0 in tests that
    // replace files only by renaming a new one over them.
    static void setStampTickForTesting(qint64 nanoseconds);

private:
    struct FileStamp
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        // Changed long enough before it was stamped that any later change
        // stamps it differently.
        bool settled = false;
        bool operator==(const FileStamp& other) const
        {
            return exists == other.exists && device == other.device && inode == other.inode && size == other.size
                && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
        }
    };
    static FileStamp stampOf(const QString& path);

    struct Decoded
    {
        FileStamp stamp;
        PhotoRead photo;
    };
    struct Ahead
    {
        QString path;
        QSize fitInto;
        std::shared_future<Decoded> photo;
        std::shared_ptr<std::atomic_bool> wanted;
    };
    std::vector<Ahead> m_ahead;
    QThreadPool m_thread;
};

} // namespace vinarca
