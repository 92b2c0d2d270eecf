// Seeded damage to photo files of every kind the program reads: each damaged
// file goes through the photo reading and through the eighth decoder, and
// either gives a picture within the photo limits or nothing; never a crash
// or a read outside the file (run under AddressSanitizer in CI).

#include "JpegEighth.h"
#include "Photo.h"
#include "CJpeg.h"
#include "ExactBytes.h"
#include "ZeroJpeg.h"

#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vinarca;

// The wine editor's photo box.
constexpr QSize kWinePhotoBox{307, 409};

namespace {

QImage shaded(int w, int h, quint32 seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator grain(seed);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 255) / w, (y * 255) / h, 90 + int(grain.bounded(60)));
    }
    return image;
}

QByteArray written(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? bytes : QByteArray();
}

// The offsets of the segments with a length (not the start, end or restart
// markers) up to the first scan's data.
QList<qsizetype> segments(const QByteArray& jpeg)
{
    QList<qsizetype> found;
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xff) {
        found << at;
        const int length = (uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]);
        if (uchar(jpeg[at + 1]) == 0xda)
            break;
        at += 2 + length;
    }
    return found;
}

QByteArray damaged(QByteArray file, QRandomGenerator& random)
{
    const auto anywhere = [&] { return qsizetype(random.bounded(int(file.size()))); };
    switch (random.bounded(6)) {
    case 0: // bit flips
        for (int n = 1 + int(random.bounded(6)); n > 0; --n) {
            const qsizetype at = anywhere();
            file[at] = char(uchar(file[at]) ^ (1u << random.bounded(8)));
        }
        break;
    case 1: // cut short
        file.truncate(anywhere());
        break;
    case 2: { // bytes put in, now and then a marker
        const qsizetype at = anywhere();
        QByteArray inserted(1 + int(random.bounded(16)), '\0');
        for (char& c : inserted)
            c = char(random.bounded(256));
        if (random.bounded(2))
            inserted[0] = '\xff';
        file.insert(at, inserted);
        break;
    }
    case 3: // a run of bytes taken out
        file.remove(anywhere(), 1 + int(random.bounded(64)));
        break;
    case 4: { // a segment's length changed
        const QList<qsizetype> found = file.startsWith("BM") ? QList<qsizetype>{} : segments(file);
        if (found.isEmpty()) {
            file[anywhere()] = char(random.bounded(256));
            break;
        }
        const qsizetype at = found[random.bounded(int(found.size()))];
        const int length = random.bounded(2) ? int(random.bounded(0x10000))
                                              : ((uchar(file[at + 2]) << 8) | uchar(file[at + 3])) + int(random.bounded(9)) - 4;
        file[at + 2] = char((length >> 8) & 0xff);
        file[at + 3] = char(length & 0xff);
        break;
    }
    default: { // the picture's size in its header changed
        const qsizetype at = file.startsWith("BM") ? 18 : file.indexOf("\xff\xc0") + 5;
        if (at < 5 || at + 4 > file.size())
            break;
        for (int i = 0; i < 4; ++i)
            file[at + i] = char(random.bounded(256));
        break;
    }
    }
    return file;
}

} // namespace

class TestPhotoFuzz : public QObject
{
    Q_OBJECT

private slots:
    void damagedFilesGiveSanePicturesOrNothing_data();
    void damagedFilesGiveSanePicturesOrNothing();
};

void TestPhotoFuzz::damagedFilesGiveSanePicturesOrNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<quint32>("seed");
    const QImage picture = shaded(400, 300, 1);
    QTest::newRow("JPEG, 4:2:0") << written(picture, "jpeg") << 1u;
    QTest::newRow("JPEG, grey") << written(picture.convertToFormat(QImage::Format_Grayscale8), "jpeg") << 2u;
    QTest::newRow("JPEG, progressive") << written(picture, "jpeg", true) << 3u;
    QTest::newRow("JPEG, one-bit codes") << testfiles::zeroScanJpeg(QSize(640, 480), 3, 2) << 4u;
    QTest::newRow("BMP, 24 bits") << written(picture, "bmp") << 5u;
    QTest::newRow("BMP, 8 bits") << written(picture.convertToFormat(QImage::Format_Indexed8), "bmp") << 6u;
    // cjpeg writes what the Qt writer does not: restart markers, other subsamplings.
    const QByteArray restarts = testfiles::cjpeg(picture, {"-restart", "3B", "-sample", "1x1"});
    if (!restarts.isEmpty()) {
        QTest::newRow("JPEG, 4:4:4, restart every 3 blocks") << restarts << 7u;
        QTest::newRow("JPEG, 4:2:2, restart every row") << testfiles::cjpeg(picture, {"-restart", "1", "-sample", "2x1"}) << 8u;
    }
}

void TestPhotoFuzz::damagedFilesGiveSanePicturesOrNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(quint32, seed);
    QVERIFY(!file.isEmpty());
    QCOMPARE(decodePhoto(file).state, PhotoFileState::Read);

    // The eighth decoder's answer is at most an eighth of the largest frame.
    const qint64 mostEighthPixels = kPhotoMaxPixels / 64 + 2 * 8192 + 1;
    // A box that a 400 x 300 picture is decoded to an eighth for, the
    // editor's box, and the largest size.
    const QSize fits[] = {QSize(40, 30), kWinePhotoBox, kLargestPhotoSize};
    QRandomGenerator random(seed);
    int pictures = 0;
    for (int round = 0; round < 400; ++round) {
        // In a block of exactly its size, so a read past its end is caught.
        const ExactBytes bytes(damaged(file, random));
        const PhotoRead read = decodePhoto(bytes.view(), fits[round % 3]);
        QCOMPARE(read.photo.has_value(), read.state == PhotoFileState::Read);
        if (read.photo) {
            ++pictures;
            const QImage& image = read.photo->image;
            QVERIFY(!image.isNull());
            QVERIFY2(qint64(image.width()) * image.height() <= kPhotoMaxPixels, qPrintable(QString::number(round)));
        }
        const std::optional<QImage> eighth = decodeJpegEighth(bytes.bytes(), bytes.size());
        if (eighth) {
            QVERIFY(!eighth->isNull());
            QVERIFY2(qint64(eighth->width()) * eighth->height() <= mostEighthPixels, qPrintable(QString::number(round)));
        }
    }
    // Damage that misses every check still decodes: the rounds reached the
    // decoders, not only the first check of the header.
    QVERIFY(pictures > 0);
}

QTEST_GUILESS_MAIN(TestPhotoFuzz)
#include "tst_photofuzz.moc"
