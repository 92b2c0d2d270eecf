// The photo box's decoding at an eighth: the same picture as the JPEG
// library's own eighth for every kind of baseline file a camera or a program
// writes (chroma subsampled or not, grey, with restart markers), nothing for
// what it leaves to the library, and no crash or read outside the file on
// damaged data.

#include "JpegEighth.h"
#include "Photo.h"
#include "CJpeg.h"
#include "ExactBytes.h"
#include "ZeroJpeg.h"

#include <QBuffer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cmath>
#include <thread>

using namespace vinarca;

namespace {

// A picture with what makes decoding work: sharp stripes and grain in
// brightness, colour shading smoothly as in a photograph, at a size that is
// no multiple of a block.
QImage photoLike(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator grain(11);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double luma = 60 + ((x / 37 + y / 29) % 3) * 50 + grain.bounded(24);
            const double blue = 25 * std::sin(x / 90.0), red = 20 * std::cos(y / 70.0);
            line[x] = qRgb(std::clamp(int(luma + 1.402 * red), 0, 255),
                           std::clamp(int(luma - 0.344 * blue - 0.714 * red), 0, 255),
                           std::clamp(int(luma + 1.772 * blue), 0, 255));
        }
    }
    return image;
}

// The JPEG library's own decoding at an eighth: djpeg's.
QImage libraryEighth(const QByteArray& jpeg)
{
    QProcess process;
    process.start(QStringLiteral("djpeg"), {QStringLiteral("-scale"), QStringLiteral("1/8"), QStringLiteral("-pnm")});
    process.write(jpeg);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage::fromData(process.readAllStandardOutput());
}

// Every file, whole, cut or damaged, is decoded from a block of exactly its
// size: a read past its end is caught under AddressSanitizer.
std::optional<QImage> eighth(const QByteArray& jpeg)
{
    const ExactBytes exact(jpeg);
    return decodeJpegEighth(exact.bytes(), exact.size());
}

} // namespace

class TestJpegEighth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsTheLibrary_data();
    void sameAsTheLibrary();
    void leftToTheLibrary_data();
    void leftToTheLibrary();
    void damagedDataNeverReadsOutsideTheFile();
    void frameSizeAgainstThePhotoLimit_data();
    void frameSizeAgainstThePhotoLimit();
    void largePictureGivesItsBuffersBack();
    void severalThreadsDecodeAtOnce();

private:
    bool m_cjpeg = false;
};

void TestJpegEighth::initTestCase()
{
    m_cjpeg = !QStandardPaths::findExecutable(QStringLiteral("cjpeg")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("djpeg")).isEmpty();
}

void TestJpegEighth::sameAsTheLibrary_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QStringList>("options"); // cjpeg's
    const QSize photo(1203, 811);
    QTest::newRow("4:2:0, as cameras write") << photo << QStringList{"-sample", "2x2"};
    QTest::newRow("4:2:2") << photo << QStringList{"-sample", "2x1"};
    QTest::newRow("4:4:4, quality 98") << photo << QStringList{"-sample", "1x1", "-quality", "98"};
    QTest::newRow("greyscale") << photo << QStringList{"-grayscale"};
    QTest::newRow("optimised Huffman tables") << photo << QStringList{"-optimize"};
    QTest::newRow("restart at every row of blocks") << photo << QStringList{"-restart", "1"};
    QTest::newRow("restart every 7 blocks") << photo << QStringList{"-restart", "7B"};
    QTest::newRow("a restart interval longer than the picture") << QSize(40, 24) << QStringList{"-restart", "50"};
    QTest::newRow("one block") << QSize(8, 8) << QStringList{};
    QTest::newRow("narrow and tall") << QSize(9, 700) << QStringList{};
    QTest::newRow("coarse quality") << photo << QStringList{"-quality", "20"};
}

void TestJpegEighth::sameAsTheLibrary()
{
    if (!m_cjpeg)
        QSKIP("cjpeg and djpeg (libjpeg-turbo-progs) write and read the test files");
    QFETCH(QSize, size);
    QFETCH(QStringList, options);
    const QByteArray jpeg = testfiles::cjpeg(photoLike(size.width(), size.height()), options);
    QVERIFY(!jpeg.isEmpty());
    const std::optional<QImage> ours = eighth(jpeg);
    QVERIFY(ours);
    const QImage library = libraryEighth(jpeg).convertToFormat(ours->format());
    QCOMPARE(ours->size(), QSize((size.width() + 7) / 8, (size.height() + 7) / 8));
    QCOMPARE(ours->size(), library.size());
    // Brightness is each block's average in both, to rounding; the library
    // draws colour from more than the average where colour is subsampled,
    // so colour agrees on the whole, not at each edge.
    double colour = 0;
    int brightness = 0;
    for (int y = 0; y < library.height(); ++y)
        for (int x = 0; x < library.width(); ++x) {
            const QRgb a = ours->pixel(x, y), b = library.pixel(x, y);
            brightness = std::max(brightness, std::abs(qGray(a) - qGray(b)));
            colour += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    colour /= 3.0 * library.width() * library.height();
    QVERIFY2(brightness <= 8 && colour < 4,
             qPrintable(QStringLiteral("brightness off by %1, colour by %2 on average").arg(brightness).arg(colour)));
}

void TestJpegEighth::leftToTheLibrary_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("cutAt"); // bytes kept; 0: the whole file
    QTest::newRow("progressive") << QStringList{"-progressive"} << 0;
    QTest::newRow("arithmetic coding") << QStringList{"-arithmetic"} << 0;
    QTest::newRow("cut in the middle of the coded data") << QStringList{} << 5000;
    QTest::newRow("cut before the end marker") << QStringList{} << -2;
}

void TestJpegEighth::leftToTheLibrary()
{
    if (!m_cjpeg)
        QSKIP("cjpeg and djpeg (libjpeg-turbo-progs) write and read the test files");
    QFETCH(QStringList, options);
    QFETCH(int, cutAt);
    QByteArray jpeg = testfiles::cjpeg(photoLike(640, 480), options);
    if (jpeg.isEmpty())
        QSKIP("this cjpeg does not write that kind of file");
    if (cutAt > 0)
        jpeg.truncate(cutAt);
    else if (cutAt < 0)
        jpeg.chop(-cutAt);
    QVERIFY(!eighth(jpeg));
}

void TestJpegEighth::damagedDataNeverReadsOutsideTheFile()
{
    // Seeded damage to every part of real files: each either decodes to a
    // picture of the frame's size or gives nothing, and never crashes.
    QRandomGenerator random(2026);
    QList<QByteArray> files;
    const QImage picture = photoLike(301, 203);
    for (const QStringList& options : {QStringList{}, QStringList{"-restart", "2"}, QStringList{"-grayscale"}}) {
        const QByteArray jpeg = testfiles::cjpeg(picture, options);
        if (!jpeg.isEmpty())
            files << jpeg;
    }
    if (files.isEmpty()) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG");
        files << buffer.data();
    }
    int pictures = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = files[round % files.size()];
        switch (random.bounded(3)) {
        case 0:
            for (int n = 1 + int(random.bounded(8)); n > 0; --n)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            break;
        case 1:
            damaged.truncate(int(random.bounded(int(damaged.size()))));
            break;
        default: {
            const int at = int(random.bounded(int(damaged.size())));
            damaged.remove(at, int(random.bounded(64)));
            break;
        }
        }
        if (const std::optional<QImage> image = eighth(damaged)) {
            ++pictures;
            QVERIFY(image->width() >= 1 && image->height() >= 1);
            QVERIFY(image->width() <= 8192 && image->height() <= 8192);
        }
    }
    // Damage inside the coded data often still decodes, as it does in any
    // decoder; damage to headers and cuts do not.
    QVERIFY(pictures > 0 && pictures < 3000);
}

void TestJpegEighth::frameSizeAgainstThePhotoLimit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("components");
    QTest::addColumn<int>("lumaSampling");
    QTest::addColumn<bool>("decoded");
    // kPhotoMaxPixels is 16384 x 12288.
    QTest::newRow("24-megapixel camera photo, 4:2:0") << QSize(6000, 4000) << 3 << 2 << true;
    QTest::newRow("150-megapixel medium format, 4:2:0") << QSize(14204, 10652) << 3 << 2 << true;
    QTest::newRow("at the limit, 4:4:4") << QSize(16384, 12288) << 3 << 1 << true;
    QTest::newRow("one row over the limit") << QSize(16384, 12289) << 3 << 1 << false;
    QTest::newRow("one row over the limit, grey") << QSize(16384, 12289) << 1 << 1 << false;
    QTest::newRow("65500 x 65500 in 48 MB") << QSize(65500, 65500) << 3 << 1 << false;
}

void TestJpegEighth::frameSizeAgainstThePhotoLimit()
{
    QFETCH(QSize, size);
    QFETCH(int, components);
    QFETCH(int, lumaSampling);
    QFETCH(bool, decoded);
    QCOMPARE(qint64(16384) * 12288, kPhotoMaxPixels);
    // Buffers from an earlier photo: a frame refused before its data is
    // read leaves them exactly as they were.
    QVERIFY(eighth(testfiles::zeroScanJpeg(QSize(640, 480))));
    const size_t kept = jpegEighthKeptScratchBytes();
    QVERIFY(kept > 0);

    const std::optional<QImage> image = eighth(testfiles::zeroScanJpeg(size, components, lumaSampling));
    if (!decoded) {
        QVERIFY(!image);
        QCOMPARE(jpegEighthKeptScratchBytes(), kept);
        return;
    }
    QVERIFY(image);
    QCOMPARE(image->size(), QSize((size.width() + 7) / 8, (size.height() + 7) / 8));
    QCOMPARE(image->pixel(image->width() - 1, image->height() - 1), qRgb(128, 128, 128));
}

void TestJpegEighth::largePictureGivesItsBuffersBack()
{
    // A camera photo's buffers are kept for the next photo...
    QVERIFY(eighth(testfiles::zeroScanJpeg(QSize(6000, 4000), 3, 2)));
    QVERIFY(jpegEighthKeptScratchBytes() > 0);
    // ...those of a picture with 40 MB of coded data are not held after it.
    const qsizetype coded = qsizetype(40) << 20;
    QVERIFY(eighth(testfiles::zeroScanJpeg(QSize(1024, 1024), 1, 1, coded)));
    QVERIFY2(jpegEighthKeptScratchBytes() < size_t(coded), qPrintable(QString::number(jpegEighthKeptScratchBytes())));
}

void TestJpegEighth::severalThreadsDecodeAtOnce()
{
    // The second thread serves one picture at a time: others decode on
    // their own thread meanwhile, each to the same picture as alone.
    QByteArray plain, restarts;
    {
        QBuffer buffer(&plain);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(photoLike(1024, 768).save(&buffer, "JPEG"));
    }
    restarts = testfiles::cjpeg(photoLike(1024, 768), {"-restart", "1"});
    QList<QByteArray> files{plain};
    if (!restarts.isEmpty())
        files << restarts;
    QList<QImage> alone;
    for (const QByteArray& file : files) {
        const std::optional<QImage> image = eighth(file);
        QVERIFY(image);
        alone << *image;
    }
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 12; ++i) {
                const int f = (t + i) % int(files.size());
                const std::optional<QImage> image = eighth(files[f]);
                if (!image || *image != alone[f])
                    ++wrong;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(wrong.load(), 0);
}

QTEST_GUILESS_MAIN(TestJpegEighth)
#include "tst_jpegeighth.moc"
