// Writes that meet a full disk: each runs in a child process whose file-size
// limit stops the write part way (SIGXFSZ ignored, so the write fails with an
// error as on a full disk). The write must report failure, never success, and
// leave the old file as it was, with no temporary beside it.
#include "Crypt.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>

namespace {
QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

constexpr int kRecord = 2997;

QByteArray records(const QByteArray& fills)
{
    QByteArray bytes;
    for (char fill : fills)
        bytes += QByteArray(kRecord, fill);
    return bytes;
}

// A small photo file.
QByteArray smallJpeg()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg");
    return bytes;
}
} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT
private slots:
    void writeMeetsFullDisk_data();
    void writeMeetsFullDisk();
};

void TestFullDisk::writeMeetsFullDisk_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("arguments"); // after the action and the path
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<bool>("succeeds");

    const QByteArray store = "[Accesso]\r\nValore=" + Crypt::EncryptToHex(QStringLiteral("VECCHIA")).toLatin1()
        + "\r\n";
    const QStringList newPassword{QStringLiteral("NUOVA PASSWORD DI PROVA")};
    // The store is far under the 16 KB a buffered write keeps back before the
    // disk is first asked for room.
    QTest::newRow("password store, full disk") << "store" << "unins000.dll" << store << newPassword << qint64(16) << false;
    QTest::newRow("password store, room enough") << "store" << "unins000.dll" << store << newPassword << qint64(1 << 20)
                                                 << true;
    // Noise of 48 x 48 pixels encodes to a few KB, of 400 x 400 to over 200 KB.
    QTest::newRow("photo under 16 KB, full disk") << "photo" << "Catalogo_Vini_Foto_1.jpg" << smallJpeg()
                                                  << QStringList{"48"} << qint64(1024) << false;
    QTest::newRow("photo under 16 KB, room enough") << "photo" << "Catalogo_Vini_Foto_1.jpg" << smallJpeg()
                                                    << QStringList{"48"} << qint64(16 << 10) << true;
    QTest::newRow("photo over 16 KB, full disk") << "photo" << "Catalogo_Vini_Foto_1.jpg" << smallJpeg()
                                                 << QStringList{"400"} << qint64(64 << 10) << false;
    // The archive may not grow past its three records (and a part of a fourth).
    QTest::newRow("archive append, full disk") << "append" << "Catalogo_Vini.pro" << records("ABC")
                                               << QStringList{QString::number(kRecord), "N"}
                                               << qint64(3 * kRecord + 1000) << false;
    QTest::newRow("archive append, room enough") << "append" << "Catalogo_Vini.pro" << records("ABC")
                                                 << QStringList{QString::number(kRecord), "N"}
                                                 << qint64(4 * kRecord) << true;
    // A list of 3000 lines prints to a PDF file of over 100 KB.
    QTest::newRow("PDF file, full disk") << "pdf" << "Vini.pdf" << QByteArray("%PDF-1.4 earlier document")
                                         << QStringList{"3000"} << qint64(64 << 10) << false;
    QTest::newRow("PDF file, room enough") << "pdf" << "Vini.pdf" << QByteArray("%PDF-1.4 earlier document")
                                           << QStringList{"3000"} << qint64(64 << 20) << true;
    // Overwriting a record in place takes no new room, so a full disk lets it.
    QTest::newRow("archive update, full disk") << "update" << "Catalogo_Vini.pro" << records("ABC")
                                               << QStringList{QString::number(kRecord), "N"} << qint64(3 * kRecord)
                                               << true;
}

void TestFullDisk::writeMeetsFullDisk()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(QStringList, arguments);
    QFETCH(qint64, sizeLimit);
    QFETCH(bool, succeeds);

    QTemporaryDir folder;
    const QString path = folder.filePath(file);
    put(path, before);

    QProcess worker;
    worker.setProgram(QStringLiteral(WORKER_PATH));
    worker.setArguments(QStringList{action, action == QLatin1String("store") ? folder.path() : path} + arguments);
    worker.setChildProcessModifier([sizeLimit] {
        const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    });
    worker.start();
    QVERIFY(worker.waitForFinished(60000));
    QCOMPARE(worker.exitStatus(), QProcess::NormalExit);
    QCOMPARE(worker.exitCode(), succeeds ? 0 : 1);

    // Nothing but the file itself is left in the folder.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
    const QByteArray after = get(path);
    if (action == QLatin1String("append") || action == QLatin1String("update")) {
        // Whole records: the first and last stay, the second is new only when
        // updated, a fourth exists only when the append succeeded.
        const QByteArray expected = records(action == QLatin1String("update") ? "ANC" : succeeds ? "ABCN" : "ABC");
        QCOMPARE(after.left(expected.size()), expected);
        QCOMPARE(after.size() / kRecord, expected.size() / kRecord);
    } else if (succeeds) {
        QVERIFY(after != before);
        QVERIFY(!after.isEmpty());
    } else {
        QCOMPARE(after, before);
    }
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
