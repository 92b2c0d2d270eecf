#pragma once

#include "RecordKind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

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

// Scans the archive and returns the sorted lines of the records `keep`
// accepts. Throws ArchiveError.
using RecordLine = std::function<QString(const QByteArray& record)>;
using RecordFilter = std::function<bool(const QByteArray& record)>;
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

} // namespace vinarca
