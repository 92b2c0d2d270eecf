#pragma once

#include "RecordKind.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringDecoder>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vinarca {

// ---------------------------------------------------------------------------
// Reading a shop's table: rows of texts, one at a time, so a file of any
// length costs the memory of one row.

enum class TextEncoding { Utf8, Windows1252 };

// How a CSV file is written: the character between fields and the code page.
struct CsvDialect
{
    QChar delimiter = QLatin1Char(';');
    TextEncoding encoding = TextEncoding::Utf8;
};

class TableReader
{
public:
    virtual ~TableReader() = default;
    // The next row's cells; false at the end of the table or on a read error.
    virtual bool next(QStringList& row) = 0;
    // Bytes of the file read so far and in all, for a progress bar.
    virtual qint64 bytesRead() const = 0;
    virtual qint64 bytesTotal() const = 0;
    // The reading failed (not at the end of the file).
    virtual bool failed() const = 0;
};

// The dialect a CSV file most likely has, from its first bytes: UTF-8 when it
// starts with the byte-order mark or its bytes are valid UTF-8, Windows-1252
// otherwise; the delimiter that the first line holds most of, outside quotes
// (semicolon, comma or tab; semicolon when none).
CsvDialect detectCsvDialect(const QByteArray& head);

// CSV as spreadsheets and shops write it: fields between the delimiter,
// quoted fields holding delimiters, line breaks and doubled quotes, lines
// ending in CR LF, LF or CR; a UTF-8 byte-order mark is skipped.
class CsvReader final : public TableReader
{
public:
    // Fails (failed() true, no rows) when the file cannot be opened.
    CsvReader(const QString& path, CsvDialect dialect);
    bool next(QStringList& row) override;
    qint64 bytesRead() const override { return m_consumed; }
    qint64 bytesTotal() const override { return m_total; }
    bool failed() const override { return m_failed; }

private:
    bool fill();

    QFile m_file;
    CsvDialect m_dialect;
    QString m_text;
    qsizetype m_at = 0;
    QStringDecoder m_utf8{QStringDecoder::Utf8}; // skips a byte-order mark
    qint64 m_consumed = 0;
    qint64 m_total = 0;
    bool m_eof = false;
    bool m_failed = false;
};

// The program's own spreadsheet export (an HTML table in Windows-1252, one
// row of cells per record), read back cell by cell as the grid showed them.
class ExportFileReader final : public TableReader
{
public:
    explicit ExportFileReader(const QString& path);
    bool next(QStringList& row) override;
    qint64 bytesRead() const override { return m_consumed; }
    qint64 bytesTotal() const override { return m_total; }
    bool failed() const override { return m_failed; }

private:
    bool fill();
    qsizetype find(const char* what);

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qint64 m_consumed = 0;
    qint64 m_total = 0;
    bool m_eof = false;
    bool m_failed = false;
};

// Whether a file is the program's own export (it starts as the export does).
bool isExportFile(const QString& path);

// Opens the reader for a file: the program's export, or CSV in `dialect`.
std::unique_ptr<TableReader> openTable(const QString& path, const CsvDialect& dialect);

// ---------------------------------------------------------------------------
// Columns to fields.

// The choice for a column that holds the path of a picture file.
inline const QString kPhotoColumn = QStringLiteral("@Foto");

// A header as matching sees it: lower case, without accents, keeping only
// letters and digits ("Prezzo €" and "prezzo" are the same header).
QString headerKey(const QString& header);

// The field each column goes to ("" for none, kPhotoColumn for a picture
// path): the user's earlier choice for the same header where there is one,
// otherwise the field whose export title or editor caption is the header, or
// a field a shop commonly names so ("Vino", "Quantità", "Foto"). A field
// goes to its first matching column only.
QStringList matchColumns(const RecordKind& kind, const QStringList& headers,
                         const QHash<QString, QString>& remembered = {});

// The fields a column may go to, with the words the user reads: "" (none),
// the kind's described fields in their order, and the picture path.
QList<std::pair<QString, QString>> importChoices(const RecordKind& kind);

// The choices of the last import, by header key, kept in a file in the
// program folder beside the archive.
QHash<QString, QString> loadRememberedColumns(const RecordKind& kind);
bool saveRememberedColumns(const RecordKind& kind, const QStringList& headers, const QStringList& fields);

// ---------------------------------------------------------------------------
// Checking every row before anything is written.

enum class NoteKind {
    TooLong,        // the text is longer than its field: stored cut
    NotAPrice,      // left empty
    NotAQuantity,   // left empty
    MissingName,    // the row is skipped
    PhotoMissing,   // no picture: the row is imported without one
    PhotoUnreadable,
    Duplicate,      // the same wine is stored already
};

struct ImportNote
{
    qint64 line = 0;    // the row's number in the file, the header row being 1
    NoteKind kind = NoteKind::TooLong;
    QString field;      // the field's caption, where the note is about one
    QString text;       // what the field receives, or the text that is refused
};

enum class DuplicateChoice { Skip, Update, Add };

struct DuplicateRow
{
    qint64 line = 0;
    qint64 staged = 0;          // the row's index among the staged rows
    qint64 storedPosition = 0;  // the stored wine it matches
    QString description;        // name, producer and vintage
    DuplicateChoice choice = DuplicateChoice::Skip;
};

// The message line that shows a note to the user.
QString noteText(const ImportNote& note);

// What the check found: the rows ready to be written, staged in a temporary
// file as the records they become (with their picture paths), and what the
// user should know before writing them.
class ImportPlan
{
public:
    ImportPlan() = default;
    ImportPlan(ImportPlan&&) = default;
    ImportPlan& operator=(ImportPlan&&) = default;
    ~ImportPlan();

    qint64 rowsRead = 0;
    qint64 rowsStaged = 0;
    qint64 rowsSkipped = 0;
    qint64 photos = 0;
    std::vector<ImportNote> notes;
    std::vector<DuplicateRow> duplicates;
    QString stagedPath;   // removed with the plan
    QString sourceFolder; // where relative picture paths start
    QStringList fields;   // the field of each column
};

enum class CheckResult { Ready, Cancelled, Failed };

// Reads every row and stages it. `headers` have been read from `table`
// already; `fields` holds each column's choice. `progress` is called now and
// then with the reader's bytes; returning false cancels.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;
CheckResult checkImport(const RecordKind& kind, TableReader& table, const QStringList& fields,
                        const QString& sourceFolder, ImportPlan& plan, const ImportProgress& progress = {});

// The text a field receives from a cell: the cell trimmed, with a price
// cleared of its currency sign and checked, a quantity checked; nullopt with
// `note` set when the cell is refused.
std::optional<QString> fieldText(CellType type, const QString& cell, NoteKind& note);

// ---------------------------------------------------------------------------
// Writing.

enum class ApplyResult { Done, Cancelled, Failed };

struct ApplyOutcome
{
    ApplyResult result = ApplyResult::Failed;
    qint64 added = 0;
    qint64 updated = 0;
};

// Writes the staged rows into the kind's archive, whole or not at all: the
// pictures are prepared beside their folder first, then under the archive's
// write lock an undo record of the archive as it was is kept, the rows are
// appended (or written over the stored wines the user chose to update), the
// file is forced to the disk and the pictures take their places. A failure
// or a cancel on the way puts everything back; a kill on the way is put back
// by recoverInterruptedImport.
ApplyOutcome applyImport(const RecordKind& kind, const ImportPlan& plan, const ImportProgress& progress = {});

enum class UndoResult { Done, Nothing, Changed, Failed };

// Whether the last import can still be undone: it finished and the archive
// has not been saved since.
bool canUndoImport(const RecordKind& kind);
// Puts the archive and pictures back as they were before the last import.
UndoResult undoImport(const RecordKind& kind);
// An import that a kill or a power cut interrupted is put back; true when
// there was one and it is back (or there was none).
bool recoverInterruptedImport(const RecordKind& kind);

// The undo record's path (beside the archive).
QString importJournalPath(const RecordKind& kind);

} // namespace vinarca
