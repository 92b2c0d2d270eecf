#include "Photo.h"
#include "PhotosAhead.h"
#include "ZeroJpeg.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using namespace vinarca;

// The wine editor's photo box.
constexpr QSize kWinePhotoBox{307, 409};

namespace {
QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return bytes;
}

QImage sample(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(120, 20, 40));
    return image;
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A valid JPEG whose frame header claims width × height.
QByteArray withClaimedSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf("\xff\xc0");
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xff);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xff);
    return jpeg;
}

// A JPEG with a camera's orientation tag: an EXIF block right after the
// start marker whose one entry is the orientation.
QByteArray withOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray exif("\xff\xe1\x00\x22"
                    "Exif\x00\x00"
                    "MM\x00\x2a\x00\x00\x00\x08"
                    "\x00\x01"
                    "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x00\x00\x00"
                    "\x00\x00\x00\x00",
                    4 + 6 + 8 + 2 + 12 + 4);
    exif[4 + 6 + 8 + 2 + 9] = char(orientation);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

QImage noise(int w, int h, quint32 seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb(80 + int(random.bounded(40)), 30 + int(random.bounded(40)), 60);
    }
    return image;
}

QByteArray bmpOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "bmp");
    return bytes;
}

// A camera's EXIF block: an orientation tag when one is given (6 means
// "turn 90 degrees clockwise to show"), then a thumbnail JPEG with its own
// start and end markers, as cameras put after the tags.
QByteArray withExif(const QByteArray& jpeg, int orientation, const QByteArray& thumbnail)
{
    QByteArray tiff("MM\x00\x2a\x00\x00\x00\x08", 8);
    if (orientation) {
        tiff += QByteArray("\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00", 11) + char(orientation)
            + QByteArray("\x00\x00", 2);
    } else {
        tiff += QByteArray("\x00\x00", 2);
    }
    tiff += QByteArray(4, '\0'); // no further directory
    const QByteArray payload = QByteArray("Exif\x00\x00", 6) + tiff + thumbnail;
    const int length = int(payload.size()) + 2;
    const QByteArray app1 = QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + payload;
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

QByteArray cameraJpeg()
{
    return withExif(jpegOf(noise(800, 600, 1)), 1, jpegOf(noise(160, 120, 2)));
}

// Everything of a JPEG up to the end of its scan header: a frame claiming
// 11000 x 11000 pixels and no picture data.
QByteArray giantJpegHeader()
{
    QByteArray jpeg = withClaimedSize(jpegOf(sample(16, 16)), 11000, 11000);
    const qsizetype sos = jpeg.indexOf("\xff\xda");
    const int length = (uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]);
    return jpeg.left(sos + 2 + length);
}

QByteArray littleEndian(quint32 v, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xff);
    return out;
}

// What /proc says of this process's memory: the peak since the last reset.
qint64 statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// A large uncompressed BMP written row by row into `out`, never whole in
// memory as a picture: the left quarter green, the rest red above the middle
// and blue below.
bool writeLargeBmp(QIODevice& out, QSize size, int bits, bool bottomUp)
{
    const int w = size.width(), h = size.height(), bytesPerPixel = bits / 8;
    const qint64 stride = ((qint64(w) * bits + 31) / 32) * 4;
    const qint64 pixels = stride * h;
    QByteArray header = "BM" + littleEndian(quint32(54 + pixels), 4) + littleEndian(0, 4) + littleEndian(54, 4);
    header += littleEndian(40, 4) + littleEndian(quint32(w), 4) + littleEndian(quint32(bottomUp ? h : -h), 4);
    header += littleEndian(1, 2) + littleEndian(quint32(bits), 2) + littleEndian(0, 4) + littleEndian(quint32(pixels), 4);
    header += littleEndian(2835, 4) + littleEndian(2835, 4) + littleEndian(0, 4) + littleEndian(0, 4);
    const auto row = [&](QRgb rest) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = x < w / 4 ? qRgb(0, 160, 0) : rest;
            char* p = line.data() + qint64(x) * bytesPerPixel;
            p[0] = char(qBlue(c));
            p[1] = char(qGreen(c));
            p[2] = char(qRed(c));
        }
        return line;
    };
    const QByteArray upper = row(qRgb(200, 0, 0)), lower = row(qRgb(0, 0, 200));
    if (out.write(header) != header.size())
        return false;
    for (int i = 0; i < h; ++i) {
        const int shownAt = bottomUp ? h - 1 - i : i;
        if (out.write(shownAt < h / 2 ? upper : lower) != stride)
            return false;
    }
    return true;
}
} // namespace

class TestPhoto : public QObject
{
    Q_OBJECT
private slots:
    void unreadableFilesGiveNoPhoto_data();
    void unreadableFilesGiveNoPhoto();
    void jpegKeepsItsBytesAndBmpDoesNot();
    void cameraOrientationIsApplied();
    void reducedPhotoIsTurnedLikeTheFullOne_data();
    void reducedPhotoIsTurnedLikeTheFullOne();
    void unchangedPhotoIsWrittenByteForByte();
    void changedPhotoIsEncodedAsJpeg();
    void failedWriteKeepsTheEarlierFile();
    void craftedPicturesAreUnreadable_data();
    void craftedPicturesAreUnreadable();
    void decodesAtTheSizeItIsNeeded_data();
    void decodesAtTheSizeItIsNeeded();
    void reducedPhotoIsDecodedAgainLargerAndWrittenByteForByte();
    void unreadableFileIsNeverOverwritten_data();
    void unreadableFileIsNeverOverwritten();
    void photosDecodedAheadAreNeverStale_data();
    void photosDecodedAheadAreNeverStale();
    void largeBmpIsDecodedInBands_data();
    void largeBmpIsDecodedInBands();

private:
    QTemporaryDir m_dir;
};

void TestPhoto::unreadableFilesGiveNoPhoto_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray jpeg = jpegOf(sample(64, 48));
    QTest::newRow("not an image") << QByteArray("Questo non è un'immagine.");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("truncated JPEG") << jpeg.left(jpeg.size() / 3);
    QTest::newRow("header claims 60000 x 60000 pixels") << withClaimedSize(jpeg, 60000, 60000);
}

void TestPhoto::unreadableFilesGiveNoPhoto()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath(QStringLiteral("bad.jpg"));
    put(path, content);
    QVERIFY(!readPhotoFile(path).has_value());
    QVERIFY(!readPhotoFile(m_dir.filePath(QStringLiteral("missing.jpg"))).has_value());
}

void TestPhoto::jpegKeepsItsBytesAndBmpDoesNot()
{
    const QByteArray jpeg = jpegOf(sample(40, 30));
    put(m_dir.filePath(QStringLiteral("a.jpg")), jpeg);
    auto photo = readPhotoFile(m_dir.filePath(QStringLiteral("a.jpg")));
    QVERIFY(photo);
    QCOMPARE(photo->image.size(), QSize(40, 30));
    QCOMPARE(photo->jpegBytes, jpeg);

    QVERIFY(sample(20, 10).save(m_dir.filePath(QStringLiteral("b.bmp")), "bmp"));
    photo = readPhotoFile(m_dir.filePath(QStringLiteral("b.bmp")));
    QVERIFY(photo);
    QCOMPARE(photo->image.size(), QSize(20, 10));
    QVERIFY(photo->jpegBytes.isEmpty());
}

void TestPhoto::cameraOrientationIsApplied()
{
    // A landscape picture taken with the camera turned: stored 40 × 30 with
    // an orientation tag saying "rotate by 90 degrees".
    put(m_dir.filePath(QStringLiteral("turned.jpg")), withOrientation(jpegOf(sample(40, 30)), 6));
    const auto photo = readPhotoFile(m_dir.filePath(QStringLiteral("turned.jpg")));
    QVERIFY(photo);
    QCOMPARE(photo->image.size(), QSize(30, 40));
}

void TestPhoto::reducedPhotoIsTurnedLikeTheFullOne_data()
{
    QTest::addColumn<int>("orientation"); // the camera's tag, 1 to 8
    for (int t = 1; t <= 8; ++t)
        QTest::addRow("orientation %d", t) << t;
}

// A photo reduced for the box stands the way the full photo does, for every
// orientation a camera may record: each quarter keeps its colour's place.
void TestPhoto::reducedPhotoIsTurnedLikeTheFullOne()
{
    QFETCH(int, orientation);
    QImage quarters(800, 480, QImage::Format_RGB32);
    QPainter painter(&quarters);
    painter.fillRect(0, 0, 400, 240, Qt::red);
    painter.fillRect(400, 0, 400, 240, Qt::green);
    painter.fillRect(0, 240, 400, 240, Qt::blue);
    painter.fillRect(400, 240, 400, 240, Qt::white);
    painter.end();
    const QString path = m_dir.filePath(QStringLiteral("quarters.jpg"));
    put(path, withOrientation(jpegOf(quarters), orientation));
    const auto reduced = readPhotoFile(path, QSize(90, 90)); // an eighth is enough
    const auto full = readPhotoFile(path);
    QVERIFY(reduced && full);
    QCOMPARE(std::max(reduced->image.width(), reduced->image.height()), 100);
    QCOMPARE(reduced->image.width() > reduced->image.height(), full->image.width() > full->image.height());
    for (const QPointF at : {QPointF(0.25, 0.25), QPointF(0.75, 0.25), QPointF(0.25, 0.75), QPointF(0.75, 0.75)}) {
        const QColor small = reduced->image.pixelColor(int(at.x() * reduced->image.width()),
                                                       int(at.y() * reduced->image.height()));
        const QColor large = full->image.pixelColor(int(at.x() * full->image.width()), int(at.y() * full->image.height()));
        QVERIFY2(std::abs(small.red() - large.red()) < 40 && std::abs(small.green() - large.green()) < 40
                     && std::abs(small.blue() - large.blue()) < 40,
                 qPrintable(QStringLiteral("%1 against %2").arg(small.name(), large.name())));
    }
}

void TestPhoto::unchangedPhotoIsWrittenByteForByte()
{
    const QByteArray jpeg = jpegOf(sample(64, 64));
    put(m_dir.filePath(QStringLiteral("src.jpg")), jpeg);
    auto photo = readPhotoFile(m_dir.filePath(QStringLiteral("src.jpg")));
    QVERIFY(photo);
    const QString target = m_dir.filePath(QStringLiteral("sub/folder/Catalogo_Vini_Foto_1.jpg"));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(writePhotoFile(target, *photo));
        photo = readPhotoFile(target);
        QVERIFY(photo);
    }
    QCOMPARE(get(target), jpeg);
}

void TestPhoto::changedPhotoIsEncodedAsJpeg()
{
    const QString target = m_dir.filePath(QStringLiteral("encoded.jpg"));
    QVERIFY(writePhotoFile(target, Photo{sample(33, 22), {}}));
    QVERIFY(get(target).startsWith("\xff\xd8"));
    const auto photo = readPhotoFile(target);
    QVERIFY(photo);
    QCOMPARE(photo->image.size(), QSize(33, 22));

    const QString bmp = m_dir.filePath(QStringLiteral("copy.bmp"));
    QVERIFY(writePictureAs(bmp, Photo{sample(5, 5), {}}));
    QVERIFY(get(bmp).startsWith("BM"));

    // A drawn picture with transparent parts (the default logo) is stored as
    // shown, on white, never on black: as the record's picture and as a copy.
    QImage drawn(40, 20, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            drawn.setPixelColor(x, y, Qt::darkRed);
    const QString logo = m_dir.filePath(QStringLiteral("Logo_1.jpg"));
    const QString copy = m_dir.filePath(QStringLiteral("Foto.bmp"));
    QVERIFY(writePhotoFile(logo, Photo{drawn, {}}));
    QVERIFY(writePictureAs(copy, Photo{drawn, {}}));
    for (const QString& path : {logo, copy}) {
        const QImage back(path);
        QVERIFY2(back.pixelColor(35, 10).lightness() > 240, qPrintable(path));
        QVERIFY2(back.pixelColor(5, 10).red() > 100 && back.pixelColor(5, 10).green() < 60, qPrintable(path));
    }
}

void TestPhoto::failedWriteKeepsTheEarlierFile()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("keep.jpg"));
    const QByteArray before = jpegOf(sample(8, 8));
    put(target, before);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(!writePhotoFile(target, Photo{sample(16, 16), {}}));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(get(target), before);
}

// Each picture comes after a red photo of the same size was shown and let go,
// so a decoder that hands out a reused buffer, or fills what it lacks with
// what memory held, would show red.
void TestPhoto::craftedPicturesAreUnreadable_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("previous");

    const QByteArray bmp = bmpOf(noise(600, 400, 3));
    QTest::newRow("BMP cut off after a red photo") << bmp.left(bmp.size() * 6 / 10) << QSize(600, 400);

    const QByteArray camera = cameraJpeg();
    const QByteArray cut = camera.left(camera.size() * 4 / 10);
    // The cut keeps the thumbnail whole, end marker and all.
    QVERIFY(cut.indexOf("\xff\xd9") > cut.indexOf("\xff\xda"));
    QTest::newRow("camera JPEG cut at 40%, thumbnail whole") << cut << QSize(800, 600);

    const QByteArray jpeg = jpegOf(noise(800, 600, 4));
    QTest::newRow("JPEG whose scan ends before its end marker")
        << jpeg.left(jpeg.size() * 6 / 10) + QByteArray("\xff\xd9", 2) << QSize(800, 600);

    const QByteArray giant = giantJpegHeader();
    QTest::newRow("JPEG header of 11000 x 11000, zeros") << giant + QByteArray(300, '\0') << QSize(1000, 1000);
    QTest::newRow("JPEG header of 11000 x 11000, zeros, end marker")
        << giant + QByteArray(300, '\0') + QByteArray("\xff\xd9", 2) << QSize(1000, 1000);

    // A valid picture whose frame is over the pixel limit: reduced to an
    // eighth it would fit in memory, but its decoding reads every block.
    QTest::newRow("JPEG of 16384 x 12289, a valid scan of zeros")
        << testfiles::zeroScanJpeg(QSize(16384, 12289)) << QSize(1000, 1000);

    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray("\x00\x00\x00\x0dIHDR", 8);
    png += QByteArray("\x00\x00\x2a\xf8\x00\x00\x2a\xf8\x08\x06\x00\x00\x00", 13) + QByteArray(4, '\0');
    png += QByteArray("\x00\x00\x01\x00IDAT", 8) + QByteArray(256 + 4, '\0');
    QTest::newRow("PNG of 11000 x 11000 zeros") << png << QSize(1000, 1000);

    QByteArray gif = "GIF89a" + littleEndian(11000, 2) + littleEndian(11000, 2) + QByteArray("\x00\x00\x00", 3);
    gif += ',' + littleEndian(0, 4) + littleEndian(11000, 2) + littleEndian(11000, 2) + QByteArray("\x00\x08", 2);
    gif += QByteArray(300, '\0') + ';';
    QTest::newRow("GIF of 11000 x 11000 zeros") << gif << QSize(1000, 1000);

    QTest::newRow("SVG named .jpg")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"11000\" height=\"11000\">"
                      "<rect width=\"11000\" height=\"11000\" fill=\"blue\"/></svg>")
        << QSize(1000, 1000);

    QByteArray giantBmp = bmpOf(sample(4, 4));
    giantBmp.replace(18, 8, littleEndian(11000, 4) + littleEndian(11000, 4));
    QTest::newRow("BMP header of 11000 x 11000") << giantBmp << QSize(1000, 1000);
}

void TestPhoto::craftedPicturesAreUnreadable()
{
    QFETCH(QByteArray, content);
    QFETCH(QSize, previous);
    QImage red(previous, QImage::Format_RGB32);
    red.fill(Qt::red);
    put(m_dir.filePath(QStringLiteral("red.bmp")), bmpOf(red));
    put(m_dir.filePath(QStringLiteral("red.jpg")), jpegOf(red));
    const QString path = m_dir.filePath(QStringLiteral("Catalogo_Vini_Foto_2.jpg"));
    put(path, content);

    for (const QSize fit : {kWinePhotoBox, kLargestPhotoSize}) {
        QVERIFY(readPhotoFile(m_dir.filePath(QStringLiteral("red.bmp")), fit));
        QVERIFY(readPhotoFile(m_dir.filePath(QStringLiteral("red.jpg")), fit));
        const bool measured = resetPeakMemory();
        const qint64 before = statusKb("VmRSS:");
        const PhotoRead read = readPhoto(path, fit);
        QCOMPARE(read.state, PhotoFileState::Unreadable);
        QVERIFY(!read.photo);
        // Refused before any pixel memory is taken for the size it claims.
        if (measured && before > 0)
            QVERIFY2(statusKb("VmHWM:") - before < 8 * 1024, qPrintable(QString::number(statusKb("VmHWM:") - before)));
    }
}

void TestPhoto::decodesAtTheSizeItIsNeeded_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("fit");
    QTest::addColumn<QSize>("expected");
    const QByteArray landscape = jpegOf(noise(1600, 1200, 5));
    // 307 x 230 fits the box; a quarter, 400 x 300, is the first eighth that covers it.
    QTest::newRow("photo box") << landscape << kWinePhotoBox << QSize(400, 300);
    // Shown 1200 x 1600 fits as 306 x 409; a quarter falls short, a half covers it.
    QTest::newRow("photo box, camera turned") << withExif(landscape, 6, {}) << kWinePhotoBox << QSize(600, 800);
    QTest::newRow("zoom window at screen size") << landscape << QSize(800, 600) << QSize(800, 600);
    // 1280 x 960 needs seven eighths, which decode slower than the whole.
    QTest::newRow("between the fast reductions") << landscape << QSize(1280, 1024) << QSize(1600, 1200);
    QTest::newRow("largest size: own size") << landscape << kLargestPhotoSize << QSize(1600, 1200);
    QTest::newRow("small photo never enlarged") << jpegOf(noise(200, 150, 6)) << kWinePhotoBox << QSize(200, 150);
    QTest::newRow("BMP at its own size") << bmpOf(noise(640, 480, 7)) << kWinePhotoBox << QSize(640, 480);
}

void TestPhoto::decodesAtTheSizeItIsNeeded()
{
    QFETCH(QByteArray, content);
    QFETCH(QSize, fit);
    QFETCH(QSize, expected);
    const QString path = m_dir.filePath(QStringLiteral("sized.jpg"));
    put(path, content);
    const PhotoRead read = readPhoto(path, fit);
    QCOMPARE(read.state, PhotoFileState::Read);
    QVERIFY(read.photo);
    QCOMPARE(read.photo->image.size(), expected);
    QCOMPARE(read.photo->jpegBytes.isEmpty(), content.startsWith("BM"));
    // The colours are the photo's own: a mid pixel is in the noise's range.
    const QRgb mid = read.photo->image.pixel(expected.width() / 2, expected.height() / 2);
    QVERIFY(qRed(mid) >= 70 && qRed(mid) <= 130 && qBlue(mid) >= 40 && qBlue(mid) <= 80);
}

void TestPhoto::reducedPhotoIsDecodedAgainLargerAndWrittenByteForByte()
{
    // Taken turned: stored 3200 x 2400, shown 2400 x 3200.
    const QByteArray jpeg = withExif(jpegOf(noise(3200, 2400, 8)), 6, jpegOf(sample(32, 24)));
    put(m_dir.filePath(QStringLiteral("camera.jpg")), jpeg);
    const auto photo = readPhotoFile(m_dir.filePath(QStringLiteral("camera.jpg")), kWinePhotoBox);
    QVERIFY(photo);
    QCOMPARE(photo->image.size(), QSize(600, 800));
    // The zoom window on a 1920 x 1080 screen (810 x 1080 fit, a half
    // covers it), and the sheet at 300 dpi on A4 (the whole picture fits).
    QCOMPARE(photoImageAt(*photo, QSize(1920, 1080)).size(), QSize(1200, 1600));
    QCOMPARE(photoImageAt(*photo, QSize(2480, 3508)).size(), QSize(2400, 3200));
    // A picture without its file's bytes is only ever made smaller.
    const Photo captured{noise(640, 480, 9), {}};
    QCOMPARE(photoImageAt(captured, kWinePhotoBox).size(), QSize(307, 230));
    QCOMPARE(photoImageAt(captured, QSize(2000, 2000)).size(), QSize(640, 480));

    const QString target = m_dir.filePath(QStringLiteral("Catalogo_Vini_Foto_3.jpg"));
    QVERIFY(writePhotoFile(target, *photo));
    QCOMPARE(get(target), jpeg);
}

void TestPhoto::unreadableFileIsNeverOverwritten_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<PhotoFileState>("state");
    const QByteArray camera = cameraJpeg();
    QTest::newRow("no file: the placeholder is written") << QByteArray() << PhotoFileState::Missing;
    QTest::newRow("camera JPEG cut short") << camera.left(camera.size() / 2) << PhotoFileState::Unreadable;
    QTest::newRow("a format the program does not read")
        << QByteArray("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16) << PhotoFileState::Unreadable;
}

void TestPhoto::unreadableFileIsNeverOverwritten()
{
    QFETCH(QByteArray, content);
    QFETCH(PhotoFileState, state);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Catalogo_Vini_Foto_4.jpg"));
    if (!content.isEmpty())
        put(path, content);
    const PhotoRead read = readPhoto(path, kWinePhotoBox);
    QCOMPARE(read.state, state);
    QVERIFY(!read.photo);

    // The editor shows the placeholder and saves the record.
    const Photo shown{sample(30, 40), {}, read.state == PhotoFileState::Unreadable};
    QVERIFY(writePhotoFile(path, shown));
    if (state == PhotoFileState::Unreadable) {
        QCOMPARE(get(path), content);
    } else {
        const auto written = readPhotoFile(path);
        QVERIFY(written);
        QCOMPARE(written->image.size(), QSize(30, 40));
    }
}

void TestPhoto::photosDecodedAheadAreNeverStale_data()
{
    // The file before and after it was decoded ahead ("" for no file), and
    // what showing it must give: a picture's red, or no photo. Each case is
    // met twice: with the file changed just before it was read ahead (its
    // bytes are compared), and with files taken as settled at once, changed
    // by renaming a new file over them (their stamps are compared).
    QTest::addColumn<bool>("settled");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("red");
    const auto solid = [](int red) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(red, 40, 40));
        return jpegOf(image);
    };
    for (const bool settled : {false, true}) {
        const char* how = settled ? "stamps" : "bytes";
        QTest::addRow("%s: unchanged", how) << settled << solid(200) << solid(200) << int(PhotoFileState::Read) << 200;
        QTest::addRow("%s: replaced by another picture", how)
            << settled << solid(200) << solid(30) << int(PhotoFileState::Read) << 30;
        QTest::addRow("%s: deleted", how) << settled << solid(200) << QByteArray() << int(PhotoFileState::Missing) << -1;
        QTest::addRow("%s: made where there was none", how)
            << settled << QByteArray() << solid(30) << int(PhotoFileState::Read) << 30;
        QTest::addRow("%s: replaced by a damaged one", how)
            << settled << solid(200) << solid(30).left(300) << int(PhotoFileState::Unreadable) << -1;
    }
}

void TestPhoto::photosDecodedAheadAreNeverStale()
{
    QFETCH(bool, settled);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(int, state);
    QFETCH(int, red);
    const QString path = m_dir.filePath(QStringLiteral("ahead.jpg"));
    const QString neighbour = m_dir.filePath(QStringLiteral("neighbour.jpg"));
    QFile::remove(path);
    if (!before.isEmpty())
        put(path, before);
    PhotosAhead::setStampTickForTesting(settled ? 0 : -1);
    const auto restore = qScopeGuard([] { PhotosAhead::setStampTickForTesting(-1); });
    PhotosAhead ahead;
    ahead.keepAhead({path, neighbour}, kWinePhotoBox);
    // Shown once as it was decoded ahead, then changed on disk while it is
    // still kept ahead.
    QCOMPARE(ahead.read(path, kWinePhotoBox).state,
             before.isEmpty() ? PhotoFileState::Missing : PhotoFileState::Read);
    if (after.isEmpty()) {
        QVERIFY(QFile::remove(path));
    } else if (settled) {
        const QString fresh = path + QStringLiteral(".new");
        put(fresh, after);
        QVERIFY(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) == 0);
    } else {
        put(path, after); // rewritten in place
    }
    const PhotoRead shown = ahead.read(path, kWinePhotoBox);
    QCOMPARE(int(shown.state), state);
    QCOMPARE(shown.photo.has_value(), red >= 0);
    if (shown.photo) {
        const QImage& image = shown.photo->image;
        QVERIFY(qAbs(qRed(image.pixel(image.width() / 2, image.height() / 2)) - red) < 12);
        QCOMPARE(shown.photo->jpegBytes, after); // written back unchanged on the next save
    }
}

// A BMP whose picture at its own size is over the allocation limit is read
// reduced, a band at a time, in far less memory than the whole picture: a
// 12000 x 9000 scan would take 432 MB, from a file of 324 MB.
void TestPhoto::largeBmpIsDecodedInBands_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("bottomUp");
    QTest::addColumn<bool>("fromFile"); // otherwise from its bytes in memory
    QTest::addColumn<QSize>("expected");
    // A third fits 4096 x 4096; the file is over what is read into memory at once.
    QTest::newRow("12000 x 9000 scan, 24 bits, from its file") << QSize(12000, 9000) << 24 << true << true
                                                              << QSize(4000, 3000);
    // 169 MB as a picture: just over the limit, so halved.
    QTest::newRow("6600 x 6400, 32 bits, top row first, from memory")
        << QSize(6600, 6400) << 32 << false << false << QSize(3300, 3200);
}

void TestPhoto::largeBmpIsDecodedInBands()
{
    QFETCH(QSize, size);
    QFETCH(int, bits);
    QFETCH(bool, bottomUp);
    QFETCH(bool, fromFile);
    QFETCH(QSize, expected);
    const QString path = m_dir.filePath(QStringLiteral("scan.bmp"));
    QByteArray bytes;
    {
        QFile file(path);
        QBuffer buffer(&bytes);
        QIODevice& out = fromFile ? static_cast<QIODevice&>(file) : buffer;
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(writeLargeBmp(out, size, bits, bottomUp));
    }
    const bool measured = resetPeakMemory();
    const qint64 before = statusKb("VmRSS:");
    const PhotoRead read = fromFile ? readPhoto(path, kWinePhotoBox) : decodePhoto(std::move(bytes), kWinePhotoBox);
    const qint64 peakKb = statusKb("VmHWM:") - before;
    QFile::remove(path);
    QCOMPARE(read.state, PhotoFileState::Read);
    QVERIFY(read.photo);
    const QImage& image = read.photo->image;
    QCOMPARE(image.size(), expected);
    QVERIFY(read.photo->jpegBytes.isEmpty());
    // Rows in their order and each band in its place: the edges between the
    // colours fall on whole reduced pixels, so they are sharp.
    const int w = expected.width(), h = expected.height();
    QCOMPARE(image.pixel(0, 0), qRgb(0, 160, 0));
    QCOMPARE(image.pixel(w / 4 - 1, h - 1), qRgb(0, 160, 0));
    QCOMPARE(image.pixel(w / 4, 0), qRgb(200, 0, 0));
    QCOMPARE(image.pixel(w - 1, h / 2 - 1), qRgb(200, 0, 0));
    QCOMPARE(image.pixel(w - 1, h / 2), qRgb(0, 0, 200));
    QCOMPARE(image.pixel(w - 1, h - 1), qRgb(0, 0, 200));
    // The reduced picture (48 MB at most) and one band at a time.
    if (measured && before > 0) {
        qInfo("peak over the start: %lld MB", peakKb / 1024);
        QVERIFY2(peakKb < 100 * 1024, qPrintable(QString::number(peakKb)));
    }
}

QTEST_MAIN(TestPhoto)
#include "tst_photo.moc"
