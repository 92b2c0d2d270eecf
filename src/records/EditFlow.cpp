#include "EditFlow.h"

#include "RecordArchive.h"
#include "ShortString.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vinarca {

QString accessFailureMessage()
{
    return QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                          "installazione del programma.");
}

NavigationTarget navigationTarget(NavStep step, qint64 count, qint64 shown)
{
    NavigationTarget target;
    switch (step) {
    case NavStep::First:
        count == 0 ? void(target.emptyArchive = true) : void(target.position = 1);
        break;
    case NavStep::Last:
        count == 0 ? void(target.emptyArchive = true) : void(target.position = count);
        break;
    case NavStep::Next:
        if (count == 0) {
            target.clearPosition = true;
            target.emptyArchive = true;
        } else if (shown == 0) {
            target.position = 1;
        } else if (shown < count) {
            target.position = shown + 1;
        }
        break;
    case NavStep::Previous:
        // On the first record Previous does nothing, whatever the archive holds.
        if (shown == 1)
            break;
        if (count == 0)
            target.emptyArchive = true;
        else
            target.position = shown == 0 ? 1 : shown - 1;
        break;
    }
    return target;
}

qint64 parsePosition(const QString& text)
{
    const QString trimmed = trimControl(text);
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const qint64 position = trimmed.toLongLong(&ok);
    if (!ok || position < 1)
        throw ArchiveError("position is not a number");
    return position;
}

NavigationTarget EditSession::navigate(const ArchiveRef& archive, NavStep step, qint64 shown)
{
    RecordArchive file(archive.path, *archive.layout, RecordArchive::Access::Read);
    const NavigationTarget target = navigationTarget(step, file.count(), shown);
    if (target.position > 0)
        file.readAt(target.position, m_record);
    return target;
}

StoreOutcome EditSession::store(const ArchiveRef& archive, qint64 shown, const QStringList& texts,
                                const StoreGuard& guard)
{
    QByteArray record = m_record;
    archive.layout->encode(record, texts);
    RecordArchive file(archive.path, *archive.layout, RecordArchive::Access::Write);
    if (shown > 0) {
        if (!guard.shownRecord.isEmpty()) {
            QByteArray stored;
            file.readAt(shown, stored);
            if (stored != guard.shownRecord || (guard.picturesUnchanged && !guard.picturesUnchanged()))
                return {shown, false, true};
        }
        file.writeAt(shown, record);
        m_record = record;
        if (guard.writePictures)
            guard.writePictures(shown, false);
        return {shown, false};
    }
    const qint64 position = file.append(record);
    m_record = record;
    if (guard.writePictures)
        guard.writePictures(position, true);
    return {position, true};
}

void EditSession::readAt(const ArchiveRef& archive, qint64 position)
{
    RecordArchive file(archive.path, *archive.layout, RecordArchive::Access::Read);
    file.readAt(position, m_record);
}

FileIdentity fileIdentity(const QString& path)
{
    FileIdentity identity;
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.inode = static_cast<quint64>(info.st_ino);
    identity.size = static_cast<qint64>(info.st_size);
    identity.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return identity;
    identity.exists = true;
    identity.size = info.size();
    identity.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return identity;
}

QList<FileIdentity> fileIdentities(const QStringList& paths)
{
    QList<FileIdentity> identities;
    identities.reserve(paths.size());
    for (const QString& path : paths)
        identities << fileIdentity(path);
    return identities;
}

bool EditSession::canDuplicate(const QString& positionText)
{
    return !trimControl(positionText).isEmpty();
}

const RequiredField* EditSession::missingField(const QList<RequiredField>& required, const RecordLayout& layout,
                                               const QStringList& texts) const
{
    for (const RequiredField& field : required) {
        const int index = layout.indexOf(field.field);
        if (index < 0)
            throw std::logic_error("no field " + field.field.toStdString());
        if (trimControl(texts.value(index)).isEmpty())
            return &field;
    }
    return nullptr;
}

RecordPicture readRecordPicture(const RecordKind& kind, const QString& position, QSize fitInto)
{
    QDir().mkpath(kind.pictureFolderPath());
    PhotoRead read = readPhoto(kind.picturePath(position), fitInto);
    return {std::move(read.photo), read.state == PhotoFileState::Unreadable};
}

bool writeRecordPicture(const RecordKind& kind, qint64 position, const Photo& photo)
{
    return writePhotoFile(kind.picturePath(QString::number(position)), photo);
}

} // namespace vinarca
