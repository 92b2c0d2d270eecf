// Appends `count` records to an archive, each filled with one tag, as a
// second workstation saving into a shared folder would. With "ignore-flock"
// the lock call always succeeds, as on a file system whose locks stay inside
// one client.
#include "RecordArchive.h"
#include "RecordLayout.h"

#include <QCoreApplication>

using namespace vinarca;

namespace {
int ignoreFlock(int, int)
{
    return 0;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 6)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString worker = QString::fromLatin1(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    const int recordSize = QByteArray(argv[4]).toInt();
    if (argc == 6 && QByteArray(argv[5]) == "ignore-flock")
        RecordArchive::setLockCallForTesting(&ignoreFlock);
    // One field filling the record: the size is all the worker needs.
    const RecordLayout layout{{"Tag", recordSize - 1}};
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray tag = QStringLiteral("%1-%2;").arg(worker).arg(i).toLatin1();
        QByteArray record(recordSize, '\0');
        for (int at = 0; at + tag.size() <= recordSize; at += tag.size())
            std::copy(tag.begin(), tag.end(), record.begin() + at);
        try {
            RecordArchive archive(path, layout, RecordArchive::Access::Write);
            archive.append(record);
        } catch (const ArchiveError& error) {
            qWarning("%s: save %d failed: %s", argv[2], i, error.what());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
