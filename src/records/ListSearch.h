#pragma once

#include "RecordKind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vinarca {

// The list logic shared by the search windows of every archive: the fixed
// column lines, their order, find in list and the lookup of a listed record.

// The text left-justified in exactly `width` columns: padded with blanks,
// longer text cut.
QString listColumn(const QString& text, int width);

// Turns the letters A-Z into a-z and leaves every other character alone, so
// accented capitals match only themselves.
QString foldAsciiCase(const QString& text);

// List order: ascending by the lines' single-byte code page (Windows-1252)
// codes, the letters a-z taken as A-Z; equal lines keep their order.
void sortListLines(QStringList& lines);

// The lines of a search list, each kept as its single-byte code page
// (Windows-1252) bytes in large shared blocks: a list of every wine of a big
// archive takes a byte per character and no string per line, and a line's
// text is made when it is shown, printed or searched. The lines come from
// record fields, which the code page holds; any other character is kept
// as '?'.
class ListLines
{
public:
    ListLines();
    ListLines(const QStringList& lines);
    ListLines(ListLines&&) noexcept;
    ListLines& operator=(ListLines&&) noexcept;
    ~ListLines();

    void append(QStringView line);
    // Appends a line written straight in code page bytes: room for
    // `maxLength` bytes, then the length written.
    char* beginLine(qsizetype maxLength);
    void endLine(qsizetype length);
    qsizetype size() const { return qsizetype(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    QString at(qsizetype i) const;
    QStringList toStringList() const;
    // Puts the lines in list order (as sortListLines).
    void sort();

private:
    struct Line
    {
        const char* bytes;
        qsizetype length;
    };
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_next = nullptr; // where the next line goes in the last block
    qsizetype m_free = 0;   // bytes left there
    std::vector<Line> m_lines;
};

// Scans the archive and returns the sorted lines of the records `keep`
// accepts. Throws ArchiveError.
using RecordLine = std::function<QString(const QByteArray& record)>;
using RecordFilter = std::function<bool(const QByteArray& record)>;
ListLines collectRecordLines(const RecordKind& kind, const RecordFilter& keep, const RecordLine& lineOf);
// The same with each line written straight in code page bytes at `out`
// (room for `maxLineBytes`), answering its length: a search of every record
// then makes no string per record.
using RecordLineBytes = std::function<qsizetype(const QByteArray& record, char* out)>;
ListLines collectRecordLines(const RecordKind& kind, const RecordFilter& keep, qsizetype maxLineBytes,
                             const RecordLineBytes& writeLine);
QStringList listRecordLines(const RecordKind& kind, const RecordFilter& keep, const RecordLine& lineOf);

// The record whose line, trimmed, equals `line` trimmed; when several do,
// the last of them in the archive. Throws ArchiveError.
struct ListedRecord
{
    qint64 position = 0;
    QByteArray record;
};
std::optional<ListedRecord> findListedRecord(const RecordKind& kind, const RecordLine& lineOf, const QString& line);

// Find in list: the item to select for `text` (already folded), starting from
// `selected`; a new text searches from the top, the same text again from the
// item after the selection, wrapping round. -1: no item matches.
int findInList(const QStringList& items, int selected, const QString& foldedText, bool sameAsLast);
// The same over `count` items whose texts `itemAt` makes.
int findInList(qsizetype count, const std::function<QString(qsizetype)>& itemAt, int selected,
               const QString& foldedText, bool sameAsLast);

} // namespace vinarca
