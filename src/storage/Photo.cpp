#include "Photo.h"

#include "AtomicSave.h"
#include "JpegEighth.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace vinarca {

namespace {

// No photo needs more than this; a bigger file is not read into memory.
constexpr qint64 kMaxFileBytes = qint64(256) << 20;

// Appended after the file's bytes while it is decoded. A decoder that reads
// any of it ran past the end of the file: the picture's data ended early, and
// what it would show below that point is filler, not the photo. For a JPEG
// the two bytes are an end marker, so the decoder stops there cleanly.
constexpr char kSentinel[] = "\xff\xd9";
constexpr qsizetype kSentinelSize = 2;

bool isJpeg(const QByteArray& bytes)
{
    return bytes.size() >= 3 && uchar(bytes[0]) == 0xff && uchar(bytes[1]) == 0xd8 && uchar(bytes[2]) == 0xff;
}

bool isBmp(const QByteArray& bytes)
{
    return bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M';
}

quint32 littleEndian32(const QByteArray& bytes, qsizetype at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | uchar(bytes[at + i]);
    return v;
}

quint16 bigEndian16(const uchar* p)
{
    return quint16((p[0] << 8) | p[1]);
}

// Walks a JPEG's segments the way a decoder does, skipping each by its length
// (so the thumbnail inside a camera's EXIF block, with its own end marker, is
// stepped over) and the entropy-coded data after each scan header. Complete
// when the file's own end marker follows at least one scan, and when the scans
// hold at least one bit for each 8 x 8 block of the frame: a Huffman code is
// never shorter, so a header claiming 11000 x 11000 pixels over a few hundred
// bytes is refused before any pixel memory is taken.
bool jpegStructureIsComplete(const uchar* p, qsizetype size)
{
    qsizetype at = 2; // after the start marker
    bool sawScan = false;
    qint64 blocks = 0;    // 8 x 8 blocks of the frame's full-resolution plane
    qint64 scanBytes = 0; // entropy-coded bytes of all scans
    while (at < size) {
        if (p[at] != 0xff)
            return false; // not a marker where one must be
        while (at < size && p[at] == 0xff)
            ++at; // fill bytes
        if (at >= size)
            return false;
        const uchar marker = p[at++];
        if (marker == 0xd9)
            return sawScan && scanBytes * 8 >= blocks;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue; // markers without a length
        if (at + 2 > size)
            return false;
        const quint16 length = bigEndian16(p + at);
        if (length < 2 || at + length > size)
            return false;
        const bool huffmanFrame = marker == 0xc0 || marker == 0xc1 || marker == 0xc2 || marker == 0xc3
            || marker == 0xc5 || marker == 0xc6 || marker == 0xc7;
        if (huffmanFrame && length >= 7) {
            const qint64 height = bigEndian16(p + at + 3);
            const qint64 width = bigEndian16(p + at + 5);
            blocks = ((width + 7) / 8) * ((height + 7) / 8);
        }
        at += length;
        if (marker != 0xda)
            continue;
        sawScan = true;
        // Entropy-coded data runs to the next marker that is neither a
        // stuffed 0xff00 nor a restart marker.
        const qsizetype dataStart = at;
        for (;;) {
            const auto* ff = static_cast<const uchar*>(std::memchr(p + at, 0xff, size_t(size - at)));
            if (!ff || ff + 1 >= p + size)
                return false;
            const uchar next = ff[1];
            if (next == 0x00 || (next >= 0xd0 && next <= 0xd7) || next == 0xff) {
                at = (ff - p) + (next == 0xff ? 1 : 2);
                continue;
            }
            at = ff - p;
            break;
        }
        scanBytes += at - dataStart;
    }
    return false;
}

// Where an uncompressed BMP with a Windows header (40 bytes or more) keeps
// its rows: each row padded to four bytes, bottom row first unless the
// height is negative.
struct BmpRows
{
    qint64 pixelsAt = 0;
    qint64 width = 0;
    qint64 height = 0; // rows, whichever way they run
    qint64 stride = 0; // bytes per row in the file
    bool bottomUp = true;
    qint64 end() const { return pixelsAt + stride * height; }
};

// Nothing for the old OS/2 header and for run-length data, whose rows have
// no fixed place; the header is given from the file's start.
std::optional<BmpRows> bmpRows(const QByteArray& bytes)
{
    if (bytes.size() < 34 || littleEndian32(bytes, 14) < 40)
        return std::nullopt;
    constexpr quint32 kRgb = 0, kBitfields = 3;
    const quint32 compression = littleEndian32(bytes, 30);
    if (compression != kRgb && compression != kBitfields)
        return std::nullopt;
    BmpRows rows;
    rows.pixelsAt = littleEndian32(bytes, 10);
    rows.width = qint32(littleEndian32(bytes, 18));
    const qint64 height = qint32(littleEndian32(bytes, 22));
    rows.height = std::abs(height);
    rows.bottomUp = height > 0;
    const int bitCount = uchar(bytes[28]) | (uchar(bytes[29]) << 8);
    rows.stride = ((rows.width * bitCount + 31) / 32) * 4;
    return rows;
}

// An uncompressed BMP says how many bytes of pixels follow its headers; a
// file shorter than that is cut off, and is refused before any pixel memory
// is taken for the size its header claims.
bool bmpIsLongEnough(const QByteArray& bytes)
{
    if (bytes.size() < 34)
        return false;
    if (littleEndian32(bytes, 14) < 40)
        return true; // the old OS/2 header: left to the decoder and the sentinel
    const std::optional<BmpRows> rows = bmpRows(bytes);
    if (!rows)
        return true; // run-length data has no fixed size
    return rows->width > 0 && rows->stride > 0 && rows->end() <= bytes.size();
}

// The decoder's own report of data that ends before the picture does (a scan
// cut short before a marker that is present): Qt passes the JPEG library's
// warnings to the message handler, and one read listens for them.
thread_local bool t_listening = false;
thread_local bool t_dataEndedEarly = false;
QtMessageHandler g_previousHandler = nullptr;
std::mutex g_listenersLock;
int g_listeners = 0;

void listenForEarlyEnd(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (t_listening && context.category && std::strcmp(context.category, "qt.gui.imageio.jpeg") == 0) {
        if (message.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
            t_dataEndedEarly = true;
        return; // a damaged photo is shown as the placeholder, without noise
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

// Photos are decoded on more than one thread (the one shown, the ones
// decoded ahead): the first listener puts the handler in place and the last
// one puts the previous handler back, and only a thread that is listening
// hears the decoder's warnings.
class EarlyEndListener
{
public:
    EarlyEndListener()
    {
        {
            const std::lock_guard<std::mutex> lock(g_listenersLock);
            if (g_listeners++ == 0)
                g_previousHandler = qInstallMessageHandler(listenForEarlyEnd);
        }
        t_dataEndedEarly = false;
        t_listening = true;
    }
    ~EarlyEndListener()
    {
        t_listening = false;
        const std::lock_guard<std::mutex> lock(g_listenersLock);
        if (--g_listeners == 0)
            qInstallMessageHandler(g_previousHandler);
    }
    bool heard() const { return t_dataEndedEarly; }
};

// The size a decoder of eighths reaches (libjpeg rounds up).
QSize eighths(QSize size, int m)
{
    return {int((qint64(size.width()) * m + 7) / 8), int((qint64(size.height()) * m + 7) / 8)};
}

// The scaled size to ask the JPEG reader for: the smallest of a half, a
// quarter or an eighth of the picture that still covers the fitted size (the
// library reduces by those with its fast transforms; other eighths take a
// slow path that costs more than decoding at full size). The reader picks its
// reduction from the ratio of the sizes, so the request is rounded down to
// land on exactly that fraction.
QSize jpegDecodeSize(QSize raw, QSize fitted)
{
    for (int m : {1, 2, 4}) {
        const QSize reached = eighths(raw, m);
        if (reached.width() >= fitted.width() && reached.height() >= fitted.height())
            return {int(qint64(raw.width()) * m / 8), int(qint64(raw.height()) * m / 8)};
    }
    return raw;
}

QSize fittedSize(QSize own, QSize box)
{
    if (!box.isValid() || box.isEmpty() || (own.width() <= box.width() && own.height() <= box.height()))
        return own;
    return own.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1});
}

// A picture turned as the camera's orientation tag says, as the reader
// does for what it decodes itself: mirrored first, then turned.
QImage upright(QImage image, QImageIOHandler::Transformations transformation)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    if (transformation == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
    image = std::move(image).mirrored(transformation & QImageIOHandler::TransformationMirror,
                                      transformation & QImageIOHandler::TransformationFlip);
    if (transformation & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

// Rows of a BMP decoded at a time when the whole picture is over the
// allocation limit: some 8 MB of them.
constexpr qint64 kBmpBandBytes = qint64(8) << 20;
// The headers (and colour table) of a BMP read in bands lie within its first
// 64 KB; a file whose rows start further on is decoded the usual way.
constexpr qint64 kBmpHeadersMost = qint64(64) << 10;

enum class Bands
{
    NotNeeded, // the picture fits the allocation limit whole: decoded the usual way
    Decoded,
    Failed,
};

// A BMP whose picture at its own size is over the allocation limit (a
// 12000 x 9000 scan takes 432 MB as a picture): it is decoded a band of rows
// at a time, each band from a BMP of those rows alone (its own headers with
// the band's height), and each reduced by the same whole factor as it comes,
// so the picture is never whole at its own size. The factor is the least
// that brings it within kLargestPhotoSize, the most any use asks a photo
// for: 12000 x 9000 becomes 4000 x 3000. The rows are read from `source`,
// the file or its bytes, as they are needed.
Bands decodeBmpInBands(QIODevice& source, qint64 size, QImage& out)
{
    if (!source.seek(0))
        return Bands::NotNeeded;
    const QByteArray headers = source.read(std::min(size, kBmpHeadersMost));
    if (!isBmp(headers))
        return Bands::NotNeeded;
    const std::optional<BmpRows> rows = bmpRows(headers);
    if (!rows || rows->pixelsAt < 54 || rows->pixelsAt > headers.size() || rows->width <= 0 || rows->height <= 0
        || rows->width * rows->height > kPhotoMaxPixels)
        return Bands::NotNeeded; // the usual decoding judges it
    QByteArray headerBytes = headers.left(qsizetype(rows->pixelsAt));
    QBuffer headerBuffer(&headerBytes);
    headerBuffer.open(QIODevice::ReadOnly);
    QImageReader probe(&headerBuffer, "bmp");
    const int depth = QImage::toPixelFormat(probe.imageFormat()).bitsPerPixel();
    if (depth <= 0 || rows->width * rows->height * depth / 8 <= (qint64(kPhotoAllocationLimitMb) << 20))
        return Bands::NotNeeded;
    if (rows->end() > size)
        return Bands::Failed; // cut off

    const QSize own(int(rows->width), int(rows->height));
    const QSize target = fittedSize(own, kLargestPhotoSize);
    const auto over = [](qint64 length, int most) { return (length + most - 1) / most; };
    const qint64 factor
        = std::max({qint64(2), over(rows->width, target.width()), over(rows->height, target.height())});
    const int outWidth = int((rows->width + factor - 1) / factor);
    const int outHeight = int((rows->height + factor - 1) / factor);
    // Whole multiples of the factor, so no band's reduction averages rows
    // of two bands.
    const qint64 bandRows
        = std::max<qint64>(1, kBmpBandBytes / (rows->width * std::max(4, depth / 8)) / factor) * factor;

    QByteArray band = headers.left(rows->pixelsAt);
    const auto put32 = [&band](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            band[at + i] = char((v >> (8 * i)) & 0xff);
    };
    int outRow = 0;
    for (qint64 top = 0; top < rows->height; top += bandRows) {
        const qint64 count = std::min(bandRows, rows->height - top);
        // Rows counted from the top of the picture; a bottom-up file holds
        // the band's rows just as contiguously, from its lowest.
        const qint64 firstInFile = rows->bottomUp ? rows->height - top - count : top;
        const qint64 bytes = count * rows->stride;
        band.resize(qsizetype(rows->pixelsAt + bytes));
        if (!source.seek(rows->pixelsAt + firstInFile * rows->stride)
            || source.read(band.data() + rows->pixelsAt, bytes) != bytes)
            return Bands::Failed;
        put32(2, quint32(rows->pixelsAt + bytes));
        put32(22, quint32(qint32(rows->bottomUp ? count : -count)));
        put32(34, quint32(bytes));
        QBuffer buffer(&band);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        reader.setAllocationLimit(kPhotoAllocationLimitMb);
        QImage rowsImage;
        if (!reader.read(&rowsImage) || rowsImage.size() != QSize(own.width(), int(count)))
            return Bands::Failed;
        const int reducedRows = int((count + factor - 1) / factor);
        QImage reduced = rowsImage.scaled(outWidth, reducedRows, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        rowsImage = QImage();
        if (out.isNull()) {
            out = QImage(outWidth, outHeight, reduced.format());
            if (out.isNull())
                return Bands::Failed;
        } else if (reduced.format() != out.format()) {
            reduced.convertTo(out.format());
        }
        for (int y = 0; y < reducedRows; ++y)
            std::memcpy(out.scanLine(outRow + y), reduced.constScanLine(y), size_t(out.bytesPerLine()));
        outRow += reducedRows;
    }
    return Bands::Decoded;
}

std::optional<QImage> decodeImage(QByteArray& bytes, QSize fitInto, bool jpeg)
{
    const qsizetype size = bytes.size();
    bytes.reserve(size + kSentinelSize);
    bytes.append(kSentinel, kSentinelSize);
    std::optional<QImage> result;
    bool complete = true;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, jpeg ? "jpeg" : "bmp");
        reader.setAutoTransform(true);
        reader.setAllocationLimit(kPhotoAllocationLimitMb);
        const QSize raw = reader.size();
        // The frame's size from its header is judged before any decoding:
        // the reduced decodings below allocate less than the full picture,
        // but read every block of it.
        if (raw.isValid() && !raw.isEmpty() && qint64(raw.width()) * raw.height() <= kPhotoMaxPixels) {
            const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
            if (jpeg) {
                const QSize shown = turned ? raw.transposed() : raw;
                const QSize fitted = fittedSize(shown, fitInto);
                const QSize decode = jpegDecodeSize(raw, turned ? fitted.transposed() : fitted);
                const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
                // An eighth, upright: from the blocks' averages, on two
                // threads. It decodes only a file whose every block lies
                // within the data before the end marker, so it needs no
                // check of the file's structure.
                if (decode != raw && decode == QSize(raw.width() / 8, raw.height() / 8)) {
                    result = decodeJpegEighth(data, size);
                    if (result)
                        *result = upright(std::move(*result), reader.transformation());
                }
                if (!result && !jpegStructureIsComplete(data, size))
                    complete = false;
                if (decode != raw)
                    reader.setScaledSize(decode);
            }
            if (!result && complete) {
                EarlyEndListener listener;
                QImage image;
                if (reader.read(&image) && !image.isNull() && buffer.pos() <= size && !listener.heard())
                    result = std::move(image);
            }
        }
    }
    bytes.chop(kSentinelSize);
    return result;
}

} // namespace

PhotoRead decodePhoto(QByteArray bytes, QSize fitInto)
{
    PhotoRead read{PhotoFileState::Unreadable, std::nullopt};
    const bool jpeg = isJpeg(bytes);
    // A JPEG's structure is checked while it is decoded.
    if (!jpeg && !(isBmp(bytes) && bmpIsLongEnough(bytes)))
        return read;
    if (!jpeg) {
        QBuffer source(&bytes);
        source.open(QIODevice::ReadOnly);
        QImage image;
        const Bands bands = decodeBmpInBands(source, bytes.size(), image);
        if (bands == Bands::Failed)
            return read;
        if (bands == Bands::Decoded) {
            read.state = PhotoFileState::Read;
            read.photo = Photo{std::move(image), {}};
            return read;
        }
    }
    std::optional<QImage> image = decodeImage(bytes, fitInto, jpeg);
    if (!image)
        return read;
    read.state = PhotoFileState::Read;
    read.photo = Photo{std::move(*image), jpeg ? bytes : QByteArray()};
    return read;
}

PhotoBytes readPhotoBytes(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {PhotoFileState::Missing, {}};
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return {PhotoFileState::Unreadable, {}};
    QByteArray bytes;
    // Room for the end marker the decoding appends, so it never copies them.
    bytes.reserve(file.size() + kSentinelSize);
    bytes.resize(file.size());
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        return {PhotoFileState::Unreadable, {}};
    return {PhotoFileState::Read, std::move(bytes)};
}

PhotoRead readPhoto(const QString& path, QSize fitInto)
{
    // A BMP too large to decode whole is read from its file a band at a
    // time, never whole into memory (a 12000 x 9000 scan is a file of
    // 324 MB), so it is not held to the size of file read at once.
    {
        QFile file(path);
        char start[2] = {};
        if (file.open(QIODevice::ReadOnly) && file.peek(start, 2) == 2 && start[0] == 'B' && start[1] == 'M') {
            QImage image;
            switch (decodeBmpInBands(file, file.size(), image)) {
            case Bands::Decoded:
                return {PhotoFileState::Read, Photo{std::move(image), {}}};
            case Bands::Failed:
                return {PhotoFileState::Unreadable, std::nullopt};
            case Bands::NotNeeded:
                break;
            }
        }
    }
    PhotoBytes file = readPhotoBytes(path);
    if (file.state != PhotoFileState::Read)
        return {file.state, std::nullopt};
    return decodePhoto(std::move(file.bytes), fitInto);
}

std::optional<Photo> readPhotoFile(const QString& path, QSize fitInto)
{
    return readPhoto(path, fitInto).photo;
}

QImage photoImageAt(const Photo& photo, QSize size)
{
    if (!photo.jpegBytes.isEmpty()) {
        QByteArray bytes = photo.jpegBytes;
        if (std::optional<QImage> image = decodeImage(bytes, size, true))
            return *image;
    }
    const QSize fitted = fittedSize(photo.image.size(), size);
    if (fitted == photo.image.size())
        return photo.image;
    return photo.image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

namespace {
// A picture with transparent parts (the drawn default logo) is stored as it
// is shown: on white. The formats written here have no transparency, and
// would otherwise turn those parts black.
QImage onWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

QByteArray encode(const QImage& picture, const QByteArray& format)
{
    const QImage image = onWhite(picture);
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
    if (photo.keepsUnreadableFile && QFileInfo::exists(path))
        return true;
    if (photo.image.isNull() && photo.jpegBytes.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes = photo.jpegBytes.isEmpty() ? encode(photo.image, "jpeg") : photo.jpegBytes;
    return !bytes.isEmpty() && saveWholeFile(path, bytes);
}

bool writePictureAs(const QString& path, const Photo& photo)
{
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format.isEmpty() || format == "jpg")
        format = "jpeg";
    if (format == "jpeg" && !photo.jpegBytes.isEmpty())
        return saveWholeFile(path, photo.jpegBytes);
    if (photo.image.isNull())
        return false;
    const QByteArray bytes = encode(photo.image, format);
    return !bytes.isEmpty() && saveWholeFile(path, bytes);
}

} // namespace vinarca
