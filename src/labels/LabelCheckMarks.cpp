#include "LabelCheckMarks.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"
#include "ShortString.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace vinarca {

namespace {
const char kHeader[] = "# Etichette da stampare senza ripetere la verifica: impronta dei nove righi, tab, primo rigo\n";

// The keys in the file, in their order, and the lines as they stand.
QList<QByteArray> readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith('#'))
            lines << line;
    }
    return lines;
}

QByteArray keyOf(const QByteArray& line)
{
    const qsizetype tab = line.indexOf('\t');
    return (tab < 0 ? line : line.left(tab)).trimmed();
}

QSet<QByteArray> markedKeys(const LabelKind& kind)
{
    QSet<QByteArray> keys;
    for (const QByteArray& line : readLines(labelMarksPath(kind)))
        keys.insert(keyOf(line));
    return keys;
}
} // namespace

QString labelMarksPath(const LabelKind& kind)
{
    return ProgramFolder() + QFileInfo(kind.record.archiveFile).completeBaseName() + QStringLiteral(".verificate");
}

QString labelMarkKey(const QStringList& lines)
{
    QStringList printed;
    for (int i = 0; i < kLabelLineCount; ++i)
        printed << trimControl(lines.value(i));
    return QString::fromLatin1(
        QCryptographicHash::hash(printed.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha1).toHex());
}

bool isLabelMarked(const LabelKind& kind, const QStringList& lines)
{
    return markedKeys(kind).contains(labelMarkKey(lines).toLatin1());
}

bool markLabels(const LabelKind& kind, const QList<QStringList>& labels)
{
    const QString path = labelMarksPath(kind);
    QList<QByteArray> lines = readLines(path);
    QList<QByteArray> keys;
    for (const QByteArray& line : lines)
        keys << keyOf(line);
    bool added = false;
    for (const QStringList& label : labels) {
        const QByteArray key = labelMarkKey(label).toLatin1();
        if (keys.contains(key))
            continue;
        QString first;
        for (const QString& l : label)
            if (!(first = trimControl(l)).isEmpty())
                break;
        first.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << key + '\t' + first.toUtf8();
        keys << key;
        added = true;
    }
    if (!added)
        return true;
    QByteArray bytes(kHeader);
    for (const QByteArray& line : lines)
        bytes += line + '\n';
    return saveWholeFile(path, bytes);
}

QList<LabelCheckResult> labelsToConfirm(const LabelKind& kind, const QList<LabelToPrint>& labels, const QDate& today)
{
    const QSet<QByteArray> marked = markedKeys(kind);
    QList<LabelCheckResult> results;
    for (int i = 0; i < labels.size(); ++i) {
        const LabelToPrint& label = labels.at(i);
        if (marked.contains(labelMarkKey(label.lines).toLatin1()))
            continue;
        QList<LabelFinding> findings = checkLabel(kind, label.lines, today);
        if (!findings.isEmpty())
            results << LabelCheckResult{i, label.name, label.lines, std::move(findings)};
    }
    return results;
}

} // namespace vinarca
