#include "Photo.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace vinarca {

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
