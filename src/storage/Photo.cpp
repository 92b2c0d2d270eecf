#include "Photo.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <QMutex>

#include <cstdlib>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace vinarca {

namespace {
// A camera photo decodes into some 100 MB of pixels. Touching that much fresh
// memory costs the system tens of thousands of page faults, a good part of the
// time it takes to show a photo. So the pixels are backed by large pages where
// the system offers them, and the buffer of the photo last let go is kept for
// the next one: browsing photos of one camera reuses one buffer.
class PixelBuffers
{
public:
    static constexpr qsizetype kLargePage = qsizetype(2) << 20;

    static void* take(qsizetype bytes)
    {
        {
            QMutexLocker lock(&mutex());
            Spare& spare = slot();
            if (spare.pixels && spare.bytes == bytes)
                return std::exchange(spare.pixels, nullptr);
        }
        void* pixels = nullptr;
        if (posix_memalign(&pixels, kLargePage, bytes) != 0)
            return nullptr;
#ifdef Q_OS_LINUX
        madvise(pixels, bytes, MADV_HUGEPAGE);
#endif
        return pixels;
    }

    static void give(void* pixels, qsizetype bytes)
    {
        QMutexLocker lock(&mutex());
        Spare& spare = slot();
        std::free(spare.pixels);
        spare = {pixels, bytes};
    }

private:
    struct Spare
    {
        void* pixels = nullptr;
        qsizetype bytes = 0;
    };
    static Spare& slot()
    {
        static Spare spare;
        return spare;
    }
    static QMutex& mutex()
    {
        static QMutex m;
        return m;
    }
};

struct PixelBlock
{
    void* pixels;
    qsizetype bytes;
};

QImage allocatePixels(QSize size, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype stride = (qsizetype(size.width()) * depth / 8 + 3) & ~qsizetype(3);
    const qsizetype bytes = stride * size.height();
    if (depth < 8 || bytes < 4 * PixelBuffers::kLargePage)
        return {};
    void* pixels = PixelBuffers::take(bytes);
    if (!pixels)
        return {};
    auto* block = new PixelBlock{pixels, bytes};
    return QImage(
        static_cast<uchar*>(pixels), size.width(), size.height(), stride, format,
        [](void* info) {
            auto* b = static_cast<PixelBlock*>(info);
            PixelBuffers::give(b->pixels, b->bytes);
            delete b;
        },
        block);
}
} // namespace

std::optional<Photo> readPhotoFile(const QString& path)
{
    QFile file(path);
    // No photo needs more than this; a bigger file is not read into memory.
    constexpr qint64 kMaxFileBytes = qint64(256) << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    file.close();

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kPhotoAllocationLimitMb);
    const QSize claimed = reader.size();
    const bool isJpeg = reader.format() == "jpeg"; // known before reading only
    if (claimed.isValid() && qint64(claimed.width()) * claimed.height() * 4 > qint64(kPhotoAllocationLimitMb) << 20)
        return std::nullopt;
    Photo photo;
    // The reader fills an image of the right size and format in place.
    if (claimed.isValid())
        photo.image = allocatePixels(claimed, reader.imageFormat());
    if (!reader.read(&photo.image) || photo.image.isNull())
        return std::nullopt;
    if (isJpeg) {
        // The decoder fills a cut-off file with grey rows and reports success;
        // a JPEG without its end marker after the scan data is a broken file.
        if (bytes.lastIndexOf("\xff\xd9") < bytes.indexOf("\xff\xda"))
            return std::nullopt;
        photo.jpegBytes = bytes;
    }
    return photo;
}

namespace {
bool saveBytes(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray encode(const QImage& image, const QByteArray& format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg")
        writer.setQuality(90);
    if (!writer.write(image))
        return {};
    return bytes;
}
} // namespace

bool writePhotoFile(const QString& path, const Photo& photo)
{
    if (photo.image.isNull() && photo.jpegBytes.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes = photo.jpegBytes.isEmpty() ? encode(photo.image, "jpeg") : photo.jpegBytes;
    return !bytes.isEmpty() && saveBytes(path, bytes);
}

bool writePictureAs(const QString& path, const Photo& photo)
{
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format.isEmpty() || format == "jpg")
        format = "jpeg";
    if (format == "jpeg" && !photo.jpegBytes.isEmpty())
        return saveBytes(path, photo.jpegBytes);
    if (photo.image.isNull())
        return false;
    const QByteArray bytes = encode(photo.image, format);
    return !bytes.isEmpty() && saveBytes(path, bytes);
}

} // namespace vinarca
