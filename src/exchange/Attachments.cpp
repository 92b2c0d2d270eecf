#include "Attachments.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>

namespace vinarca {

QString attachmentFolder()
{
    return ProgramFolder() + QStringLiteral("Documenti_Allegati");
}

bool isBareAttachmentName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    // Backslashes and drive colons are separators where the folder may be copied to.
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() == 0)
            return false;
    }
    return true;
}

QString attachmentPath(const QString& name)
{
    return isBareAttachmentName(name) ? attachmentFolder() + QLatin1Char('/') + name : QString();
}

bool copyAttachment(const QString& source, const QString& name)
{
    const QString target = attachmentPath(name);
    if (target.isEmpty() || !QDir().mkpath(attachmentFolder()))
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    return saveWholeFile(target, bytes);
}

} // namespace vinarca
