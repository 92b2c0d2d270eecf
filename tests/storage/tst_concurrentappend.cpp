#include "RecordArchive.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace vinarca;

class TestConcurrentAppend : public QObject
{
    Q_OBJECT
private slots:
    void everyRecordArrivesWhole();
};

void TestConcurrentAppend::everyRecordArrivesWhole()
{
    constexpr int kWorkers = 6;
    constexpr int kPerWorker = 60;
    constexpr int kRecordSize = 2997; // a Wine record
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Catalogo_Vini.pro"));

    std::vector<std::unique_ptr<QProcess>> workers;
    for (int w = 0; w < kWorkers; ++w) {
        auto process = std::make_unique<QProcess>();
        process->start(QStringLiteral(WORKER_PATH),
                       {path, QStringLiteral("w%1").arg(w), QString::number(kPerWorker), QString::number(kRecordSize)});
        workers.push_back(std::move(process));
    }
    for (auto& process : workers) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), qint64(kWorkers) * kPerWorker * kRecordSize);

    RecordArchive archive(path, RecordLayout{{"Tag", kRecordSize - 1}}, RecordArchive::Access::Read);
    QSet<QByteArray> tags;
    QByteArray record;
    while (archive.readNext(record)) {
        // A whole record repeats one tag from its first byte to its last.
        const QByteArray tag = record.left(record.indexOf(';') + 1);
        QVERIFY(!tag.isEmpty());
        QByteArray expected(kRecordSize, '\0');
        for (int at = 0; at + tag.size() <= kRecordSize; at += tag.size())
            std::copy(tag.begin(), tag.end(), expected.begin() + at);
        QCOMPARE(record, expected);
        tags.insert(tag);
    }
    QCOMPARE(tags.size(), kWorkers * kPerWorker);
}

QTEST_GUILESS_MAIN(TestConcurrentAppend)
#include "tst_concurrentappend.moc"
