#include "PasswordStore.h"

#include "AtomicSave.h"
#include "Crypt.h"
#include "ProgramFolder.h"
#include "ShortString.h"

#include <QFile>

namespace vinarca {

namespace {

// The store is plain ASCII (section, key and hex digits); other lines of the
// file are carried through as they are.
QList<QByteArray> splitLines(const QByteArray& content)
{
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

bool isSectionHeader(const QByteArray& line, QString* name)
{
    const QByteArray t = line.trimmed();
    if (!t.startsWith('[') || !t.endsWith(']'))
        return false;
    *name = QString::fromLatin1(t.mid(1, t.size() - 2)).trimmed();
    return true;
}

bool isKeyLine(const QByteArray& line, const QString& key, QByteArray* value)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || QString::fromLatin1(line.left(eq)).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    *value = line.mid(eq + 1);
    return true;
}

} // namespace

QString passwordStorePath()
{
    return ProgramFolder() + QStringLiteral("unins000.dll");
}

QString NormalizePassword(const QString& typed)
{
    QString upper = typed;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return trimControl(upper);
}

QString iniValue(const QByteArray& content, const QString& section, const QString& key)
{
    QString current;
    bool inSection = false;
    for (const QByteArray& line : splitLines(content)) {
        if (isSectionHeader(line, &current)) {
            inSection = current.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QByteArray value;
        if (inSection && isKeyLine(line, key, &value))
            return QString::fromLatin1(value).trimmed();
    }
    return {};
}

QByteArray iniWithValue(const QByteArray& content, const QString& section, const QString& key, const QString& value)
{
    QList<QByteArray> lines = splitLines(content);
    const QByteArray entry = key.toLatin1() + '=' + value.toLatin1();
    qsizetype sectionLine = -1;
    qsizetype sectionEnd = -1; // index after the section's last non-empty line
    QString current;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isSectionHeader(lines[i], &current)) {
            if (inSection)
                break;
            inSection = current.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                sectionLine = sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        QByteArray old;
        if (isKeyLine(lines[i], key, &old)) {
            const qsizetype eq = lines[i].indexOf('=');
            lines[i] = lines[i].left(eq + 1) + value.toLatin1();
            return lines.join("\r\n") + "\r\n";
        }
        if (!lines[i].trimmed().isEmpty())
            sectionEnd = i + 1;
    }
    if (sectionLine >= 0) {
        lines.insert(sectionEnd, entry);
    } else {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append('[' + section.toLatin1() + ']');
        lines.append(entry);
    }
    return lines.join("\r\n") + "\r\n";
}

QString ReadStoredPassword()
{
    QFile file(passwordStorePath());
    QByteArray content;
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    const QString hex = iniValue(content, QStringLiteral("Accesso"), QStringLiteral("Valore"));
    return trimControl(Crypt::DecryptFromHex(hex));
}

void StorePassword(const QString& normalized)
{
    const QString hex = trimControl(Crypt::EncryptToHex(normalized));
    const QString path = passwordStorePath();
    QByteArray content;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            throw StoreWriteError("cannot read the store");
        content = existing.readAll();
        existing.close();
        // A store the user may not write (read-only file) is not replaced
        // behind their back, even where the folder would allow it.
        if (!(existing.permissions() & QFileDevice::WriteOwner))
            throw StoreWriteError("store is read-only");
    }
    const QByteArray updated = iniWithValue(content, QStringLiteral("Accesso"), QStringLiteral("Valore"), hex);
    // A store cut short would lock every user out: the new content replaces
    // the old only once all of it is on the disk.
    if (!saveWholeFile(path, updated))
        throw StoreWriteError("cannot write the store");
}

bool isStorablePassword(const QString& normalized)
{
    if (normalized.size() > Crypt::kMaxLength)
        return false;
    for (QChar c : normalized) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace vinarca
