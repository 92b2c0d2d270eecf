#include "RecordKind.h"

#include "ProgramFolder.h"
#include "ShortString.h"

#include <stdexcept>

namespace vinarca {

QString RecordKind::archivePath() const
{
    return ProgramFolder() + archiveFile;
}

QString RecordKind::pictureFolderPath() const
{
    return ProgramFolder() + pictureFolder;
}

QString RecordKind::picturePath(const QString& position) const
{
    return pictureFolderPath() + QLatin1Char('/') + picturePrefix + trimControl(position) + QStringLiteral(".jpg");
}

int RecordKind::field(const QString& name) const
{
    const int index = layout->indexOf(name);
    if (index < 0)
        throw std::logic_error("record kind " + archiveFile.toStdString() + " has no field " + name.toStdString());
    return index;
}

const FieldFacts& RecordKind::facts(const QString& name) const
{
    for (const FieldFacts& f : fields)
        if (f.field == name)
            return f;
    throw std::logic_error("record kind " + archiveFile.toStdString() + " has no facts of field " + name.toStdString());
}

QList<FieldFacts> RecordKind::exportColumns() const
{
    QList<FieldFacts> columns;
    for (const FieldFacts& f : fields)
        if (f.exported())
            columns.append(f);
    return columns;
}

} // namespace vinarca
