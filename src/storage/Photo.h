#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace vinarca {

// The largest size any use asks a photo for: the zoom window fills a screen
// (4K included) and the printed sheet wants 300 dots per inch, which for a
// whole A4 page is 2480 x 3508. No photo is ever decoded larger than that.
inline constexpr QSize kLargestPhotoSize{4096, 4096};

// A picture together with the bytes of the JPEG file it was read from, while
// it is unchanged: writing it again copies those bytes, so saving a record
// over and over never degrades its photo, and the picture can be decoded
// again at another size (photoImageAt) for the zoom window or the printout.
struct Photo
{
    QImage image;
    QByteArray jpegBytes;
    // The picture stands in for a photo file that exists but could not be
    // read (the placeholder is shown). Writing such a photo leaves an existing
    // file as it is: the user's picture stays on disk to be recovered.
    bool keepsUnreadableFile = false;
};

enum class PhotoFileState
{
    Missing,    // no file by that name
    Unreadable, // a file is there, but it is not a complete JPEG or BMP picture
    Read,
};

struct PhotoRead
{
    PhotoFileState state = PhotoFileState::Missing;
    std::optional<Photo> photo; // set when state is Read
};

// A photo file's bytes as they are on disk now (state Read), without
// decoding them: no file, or one that cannot be read or is over 256 MB.
struct PhotoBytes
{
    PhotoFileState state = PhotoFileState::Missing;
    QByteArray bytes;
};
PhotoBytes readPhotoBytes(const QString& path);

// Reads a photo file with its camera orientation applied, decoded to fit
// `fitInto` with its proportions kept: a JPEG is reduced while it is decoded
// (by a half, a quarter or an eighth, so the picture may come out up to a
// step larger than the box, never larger than its own size). A BMP is kept
// at its own size; one whose picture at that size is over the allocation
// limit (kPhotoAllocationLimitMb) is decoded a band of rows at a time and
// reduced by the least whole factor that fits kLargestPhotoSize, and is read
// from its file as it is decoded, whatever the file's size. A photo is a
// JPEG or a BMP whatever its name says; anything else (a drawing, a PNG, a
// GIF) is unreadable, and so is a picture whose data ends early, any other
// file over 256 MB and one of more than kPhotoMaxPixels pixels.
PhotoRead readPhoto(const QString& path, QSize fitInto = kLargestPhotoSize);
std::optional<Photo> readPhotoFile(const QString& path, QSize fitInto = kLargestPhotoSize);

// The same decoding from bytes in memory.
PhotoRead decodePhoto(QByteArray bytes, QSize fitInto = kLargestPhotoSize);

// The photo's picture fitted into `size`: decoded again from its JPEG bytes
// when it has them (the zoom window at screen size, the printout at 300 dpi),
// otherwise its picture scaled down to fit (never up).
QImage photoImageAt(const Photo& photo, QSize size);

// Writes the photo as JPEG, replacing the file all or nothing: a failed write
// (a full disk included) leaves any earlier file as it was and answers false.
// A photo that keeps an unreadable file writes nothing when the file is
// there and answers true. Creates the folder when missing.
bool writePhotoFile(const QString& path, const Photo& photo);

// Writes in the format the file name's extension names (JPEG by default).
bool writePictureAs(const QString& path, const Photo& photo);

// Largest picture decoded at once, in megabytes of pixels: a 24-megapixel
// BMP at its own size, or the largest reduced JPEG decoding. A larger BMP is
// decoded in bands.
inline constexpr int kPhotoAllocationLimitMb = 160;

// The most pixels a photo may have: 16384 x 12288, some 201 megapixels, over
// the largest camera photos (a 150-megapixel medium format is 14204 x
// 10652). Decoding reads every block of the full frame, whatever size the
// picture is shown at, so a larger frame is refused from its header, before
// any decoding: a hostile file claiming 65500 x 65500 costs nothing.
inline constexpr qint64 kPhotoMaxPixels = qint64(16384) * 12288;

} // namespace vinarca
