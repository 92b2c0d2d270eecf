#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vinarca {

// A picture together with the bytes of the JPEG file it was read from, while
// it is unchanged: writing it again copies those bytes, so saving a record
// over and over never degrades its photo.
struct Photo
{
    QImage image;
    QByteArray jpegBytes;
};

// Decodes a JPEG or BMP file with its camera orientation applied. Fails (no
// value) for a missing, unreadable, truncated or oversized file: a header
// that claims a giant size is refused before any pixel memory is taken.
std::optional<Photo> readPhotoFile(const QString& path);

// Writes the photo as JPEG, replacing the file atomically: a failed write
// leaves any earlier file as it was. Creates the folder when missing.
bool writePhotoFile(const QString& path, const Photo& photo);

// Writes in the format the file name's extension names (JPEG by default).
bool writePictureAs(const QString& path, const Photo& photo);

// Largest picture accepted, in megabytes of decoded pixels.
inline constexpr int kPhotoAllocationLimitMb = 512;

} // namespace vinarca
