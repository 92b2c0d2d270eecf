#include "Attachments.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"
#include "ShortString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vinarca {

namespace {

// File01..File03 of the wine and label records.
constexpr int kNameFieldCapacity = 250;
// A piece of a copy: large enough for the disk to stream, small enough that
// memory does not depend on the file's size.
constexpr qint64 kCopyPiece = qint64(1) << 20;
// Numbered names tried before giving up on finding a free one.
constexpr int kLastNumber = 9999;

// A character the record can store and a bare name can hold.
bool isStorableChar(char32_t c)
{
    if (c == U'/' || c == U'\\' || c == U':' || c == 0)
        return false;
    const QString one = QString::fromUcs4(&c, 1);
    return fromWindows1252(toWindows1252(one)) == one;
}

bool fitsFieldAndDisk(const QString& name)
{
    return name.size() <= kNameFieldCapacity && QFile::encodeName(name).size() <= kMaxFileNameBytes;
}

// `base` + `tail` with `base` cut from its end until the whole fits; empty
// when not even one character of `base` fits. A cut never leaves blanks
// before the tail, which the record would trim away from a name's end.
QString fitted(QString base, const QString& tail)
{
    bool cut = false;
    while (!base.isEmpty() && !fitsFieldAndDisk(base + tail)) {
        base.chop(1);
        cut = true;
    }
    while (cut && !base.isEmpty() && base.back().unicode() <= 32)
        base.chop(1);
    return base.isEmpty() ? QString() : base + tail;
}

} // namespace

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

QString storableAttachmentName(const QString& chosenFileName, const QString& folder)
{
    const QString chosen = trimControl(chosenFileName);
    QString clean;
    for (const char32_t c : chosen.toUcs4())
        clean += isStorableChar(c) ? QString::fromUcs4(&c, 1) : QStringLiteral("_");
    if (clean == chosen && fitsFieldAndDisk(chosen))
        return chosen;

    // A leading dot starts a hidden file's name, not an extension.
    const qsizetype dot = clean.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? clean.left(dot) : clean;
    const QString extension = dot > 0 ? clean.mid(dot) : QString();
    const QDir dir(folder);
    for (int number = 1; number <= kLastNumber; ++number) {
        const QString numbering = number > 1 ? QStringLiteral(" (%1)").arg(number) : QString();
        QString name = fitted(base, numbering + extension);
        if (name.isEmpty()) // an extension too long to keep
            name = fitted(clean, numbering);
        if (name.isEmpty())
            return {};
        const QFileInfo existing(dir.filePath(name));
        if (!existing.exists() && !existing.isSymLink())
            return name;
    }
    return {};
}

CopyOutcome copyAttachment(const QString& source, const QString& name, const CopyProgress& progress)
{
    const QString target = attachmentPath(name);
    if (target.isEmpty() || !QDir().mkpath(attachmentFolder()))
        return CopyOutcome::Failed;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return CopyOutcome::Failed;
    const qint64 total = in.isSequential() ? 0 : in.size();
    // Dropped without commit on every early return: the temporary goes, the
    // file already under the name stays.
    AtomicFile out;
    if (!out.open(target))
        return CopyOutcome::Failed;
    QByteArray piece(kCopyPiece, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const qint64 got = in.read(piece.data(), piece.size());
        if (got < 0)
            return CopyOutcome::Failed;
        if (got == 0)
            break;
        if (!out.write(piece.constData(), got))
            return CopyOutcome::Failed;
        done += got;
        if (progress && !progress(done, total))
            return CopyOutcome::Cancelled;
    }
    return out.commit() ? CopyOutcome::Copied : CopyOutcome::Failed;
}

} // namespace vinarca
