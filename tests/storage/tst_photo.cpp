#include "Photo.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace vinarca;

namespace {
QByteArray jpegOf(const QImage& image, QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setTransformation(transformation);
    writer.write(image);
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
} // namespace

class TestPhoto : public QObject
{
    Q_OBJECT
private slots:
    void unreadableFilesGiveNoPhoto_data();
    void unreadableFilesGiveNoPhoto();
    void jpegKeepsItsBytesAndBmpDoesNot();
    void cameraOrientationIsApplied();
    void unchangedPhotoIsWrittenByteForByte();
    void changedPhotoIsEncodedAsJpeg();
    void failedWriteKeepsTheEarlierFile();

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
    put(m_dir.filePath(QStringLiteral("turned.jpg")), jpegOf(sample(40, 30), QImageIOHandler::TransformationRotate90));
    const auto photo = readPhotoFile(m_dir.filePath(QStringLiteral("turned.jpg")));
    QVERIFY(photo);
    QCOMPARE(photo->image.size(), QSize(30, 40));
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

QTEST_MAIN(TestPhoto)
#include "tst_photo.moc"
