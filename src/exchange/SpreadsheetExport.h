#pragma once

#include "RecordKind.h"

#include <QByteArray>
#include <QCache>
#include <QList>
#include <QString>

#include <map>
#include <utility>

namespace vinarca {

// The grid keeps this many empty rows when the archive holds no record.
inline constexpr int kEmptyExportRows = 10;

// What the export grid shows and the file receives: a view over the kind's
// archive, one row per record in archive order, the kind's exported fields
// as columns, plus the cells the user changed in the grid. Records are read
// from the archive when a row is asked for (a few blocks of them are kept),
// so a large archive costs no more memory than a small one; the user's edits
// are kept here and never reach the archive.
class ExportSheet
{
public:
    // Counts the records of the kind's archive (a missing archive is created
    // empty, as every archive action does); a failure leaves the sheet with
    // its empty rows, as an empty archive does.
    explicit ExportSheet(const RecordKind& kind);

    const RecordKind& kind() const { return m_kind; }
    const QList<FieldFacts>& columns() const { return m_columns; }
    // The records, or the empty rows when the archive holds none.
    int rowCount() const { return m_records > 0 ? static_cast<int>(m_records) : kEmptyExportRows; }
    bool holdsRecords() const { return m_records > 0; }

    // The cell as the grid shows it: the user's text where it was edited,
    // otherwise the stored field, decoded and trimmed ("" where it cannot be read).
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);

    using Edits = std::map<std::pair<int, int>, QString>;  // (row, column) -> text
    const Edits& edits() const { return m_edits; }
    // The archive's field index of each column, in column order.
    const std::vector<int>& fieldIndexes() const { return m_fields; }

private:
    const QByteArray* block(int index) const;

    const RecordKind& m_kind;
    QList<FieldFacts> m_columns;
    std::vector<int> m_fields;
    qint64 m_records = 0;
    Edits m_edits;
    mutable QCache<int, QByteArray> m_blocks;
};

// The markup of one data cell holding `text` (trimmed on the way), as the
// file writes it: a text cell that spreadsheets keep as typed, or, for a
// quantity or money column holding a number ("12,50" or "12.50"), a number
// cell that every reader takes as that number whatever its regional settings.
QByteArray exportCell(const QString& text, CellType type);

// The spreadsheet file: HTML text with spreadsheet markup, Windows-1252, with
// no line break anywhere, rows as the grid shows them. Every text is escaped
// for the markup, so a value such as "<b>&x" can never break the table;
// characters the code page lacks and control characters go in as numeric
// references.
QByteArray spreadsheetBytes(const ExportSheet& sheet);

// The export file's full path in the program folder.
QString exportFilePath(const RecordKind& kind);

// Writes the file atomically, piece by piece as it is produced: false (and
// the previous file as it was) on any failure, including a record that can
// no longer be read.
bool writeSpreadsheet(const QString& path, const ExportSheet& sheet);

} // namespace vinarca
