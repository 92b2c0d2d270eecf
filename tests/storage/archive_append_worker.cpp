// Appends `count` records to an archive, each filled with one tag, as a
// second workstation saving into a shared folder would.
#include "RecordArchive.h"
#include "RecordLayout.h"

#include <QCoreApplication>

using namespace vinarca;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString worker = QString::fromLatin1(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    const int recordSize = QByteArray(argv[4]).toInt();
    // One field filling the record: the size is all the worker needs.
    const RecordLayout layout{{"Tag", recordSize - 1}};
    for (int i = 0; i < count; ++i) {
        const QByteArray tag = QStringLiteral("%1-%2;").arg(worker).arg(i).toLatin1();
        QByteArray record(recordSize, '\0');
        for (int at = 0; at + tag.size() <= recordSize; at += tag.size())
            std::copy(tag.begin(), tag.end(), record.begin() + at);
        try {
            RecordArchive archive(path, layout, RecordArchive::Access::Write);
            archive.append(record);
        } catch (const ArchiveError&) {
            return 1;
        }
    }
    return 0;
}
