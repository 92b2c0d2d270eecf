#pragma once

#include "HelpTopics.h"
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

// How the spreadsheet export writes a column's cells: as text that the
// spreadsheet keeps as typed, or as a number when the cell holds one (a
// quantity as it is, an amount of money with two decimals).
enum class CellType { Text, Quantity, Money };

// What a kind says about one of its fields, in one place: the words the user
// reads for it and how the export grid and file show it. Rows stand in the
// order of the export's columns.
struct FieldFacts
{
    QString field;        // the record field
    QString caption;      // "Nome vino": the export title; the editor and search labels read "Nome vino:"
    QString exportTitle;  // the export title where it is other words than the caption (or there is no caption)
    int gridWidth = 0;    // 0: the field is not exported
    bool gridEditable = false;
    int fileWidth = 280;
    CellType cell = CellType::Text;

    bool exported() const { return gridWidth > 0; }
    QString title() const { return exportTitle.isEmpty() ? caption : exportTitle; }
    QString label() const { return caption + QLatin1Char(':'); }
};

// The export of a kind's archive: its window and the file it writes.
struct ExportFacts
{
    QString windowName;  // the window's object name ("frmExpVini")
    QString caption;
    QString file;        // in the program folder
    QString worksheet;
    HelpTopic help = HelpTopic::WineExport;
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
    QList<FieldFacts> fields{};
    ExportFacts exporting{};

    QString archivePath() const;
    ArchiveRef archive() const { return {archivePath(), layout}; }
    QString pictureFolderPath() const;
    // The picture of a record position ("" for a new record gives no path).
    QString picturePath(const QString& position) const;
    // The index of a named field; throws std::logic_error for a name the
    // layout does not have, so a misspelt name fails at once instead of
    // showing or printing blank.
    int field(const QString& name) const;
    // The facts of a named field; throws std::logic_error where the kind has none.
    const FieldFacts& facts(const QString& name) const;
    // The exported fields, in the order of the export's columns.
    QList<FieldFacts> exportColumns() const;
};

} // namespace vinarca
