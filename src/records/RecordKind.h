#pragma once

#include "RecordLayout.h"

#include <QList>
#include <QString>

namespace vinarca {

// Where an editor's records are: the archive file and how its records are
// laid out. A record kind names its archive in the program folder; the
// price-list page editor names the list file the user opened.
struct ArchiveRef
{
    QString path;
    const RecordLayout* layout = nullptr;
};

// A field the editor refuses to store empty, with the warning it shows.
struct RequiredField
{
    QString field;
    QString message;
};

// One kind of record described once: where its archive lives, how its
// records are laid out, where its pictures go and what a save requires.
// Everything that stores, edits, searches, exports or prints records of the
// kind reads this description.
struct RecordKind
{
    QString archiveFile;       // file name in the program folder
    const RecordLayout* layout = nullptr;
    QString pictureFolder;     // folder in the program folder
    QString picturePrefix;     // picture file name before the position
    QList<RequiredField> required;

    QString archivePath() const;
    ArchiveRef archive() const { return {archivePath(), layout}; }
    QString pictureFolderPath() const;
    // The picture of a record position ("" for a new record gives no path).
    QString picturePath(const QString& position) const;
    // The index of a named field; throws std::logic_error for a name the
    // layout does not have, so a misspelt name fails at once instead of
    // showing or printing blank.
    int field(const QString& name) const;
};

} // namespace vinarca
