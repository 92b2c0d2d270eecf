#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vinarca {

// The list line of a wine: Nome, Produttore and Fornitore in columns of 30,
// Giacenza in a column of 10, then the price; shown in a monospaced font.
QString WineSearchLine(const QByteArray& record);

// Turns the letters A-Z into a-z and leaves every other character alone, so
// accented capitals match only themselves.
QString foldAsciiCase(const QString& text);

// One criterion: the text as typed (not trimmed) and the Wine field it searches.
struct WineCriterion
{
    int field;
    QString text;
};

// Whether the record is listed: every criterion whose text, trimmed, is not
// empty occurs in its field as stored, letters A-Z folded. With no criterion
// filled every record is listed.
class WineMatcher
{
public:
    explicit WineMatcher(const QList<WineCriterion>& criteria);
    bool matches(const QByteArray& record) const;
    int filledCount() const { return m_required; }

private:
    QList<WineCriterion> m_folded;
    int m_required = 0;
};

// List order: ascending by character code, the letters a-z taken as A-Z.
void sortWineLines(QStringList& lines);

// Scans the archive and returns the sorted lines of the matching records.
// Throws ArchiveError.
QStringList searchWines(const QString& archivePath, const QList<WineCriterion>& criteria);

// Find in list: the item to select for `text` (already folded), starting from
// `selected`; a new text searches from the top, the same text again from the
// item after the selection, wrapping round. -1: no item matches.
int findInList(const QStringList& items, int selected, const QString& foldedText, bool sameAsLast);

} // namespace vinarca
