#pragma once

#include "HelpTopics.h"
#include "RecordKind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vinarca {

// One exported column: its title in the grid and in the file, its width in
// the grid, whether the user may change it before exporting, the record field
// it shows (by name, resolved through the record kind) and its width in the file.
struct ExportColumn
{
    QString title;
    int gridWidth = 200;
    bool editable = false;
    QString field;
    int fileWidth = 280;
};

// One of the three exports: the window's texts, the file it writes and the
// columns after the record position (which the grid shows but the file does not).
struct ExportVariant
{
    QString windowName;  // the window's object name ("frmExpVini")
    QString caption;
    QString exportFile;  // in the program folder
    QString worksheet;
    HelpTopic help = HelpTopic::WineExport;
    QList<ExportColumn> columns;
};

const ExportVariant& wineExportVariant();
const ExportVariant& verticalLabelExportVariant();
const ExportVariant& horizontalLabelExportVariant();

// The grid keeps this many empty rows when the archive holds no record.
inline constexpr int kEmptyExportRows = 10;

// The exported cells of every record of the kind's archive, in archive order
// (row r is the record at position r + 1), each field decoded and trimmed. A
// missing archive is created empty, as every archive action does. A failure
// while reading keeps the rows read so far.
// Throws std::logic_error when a column names a field the kind does not have.
QList<QStringList> loadExportRows(const RecordKind& kind, const ExportVariant& variant);

// The spreadsheet file: HTML text with spreadsheet markup, Windows-1252, with
// no line break anywhere. Every cell is trimmed and escaped for the markup, so
// a value such as "<b>&x" can never break the table and the spreadsheet shows
// exactly what was typed; characters the code page lacks and control
// characters go in as numeric references.
QByteArray spreadsheetBytes(const ExportVariant& variant, const QList<QStringList>& rows);

// The export file's full path in the program folder.
QString exportFilePath(const ExportVariant& variant);

// Writes the file atomically: false (and the previous file as it was) on any failure.
bool writeSpreadsheet(const QString& path, const ExportVariant& variant, const QList<QStringList>& rows);

} // namespace vinarca
