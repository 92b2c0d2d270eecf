#pragma once

#include "ListSearch.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vinarca {

// The list line of a wine: Nome, Produttore and Fornitore in columns of 30,
// Giacenza in a column of 10, then the price; shown in a monospaced font.
QString WineSearchLine(const QByteArray& record);

// One criterion: the text as typed (not trimmed) and the Wine field it searches.
struct WineCriterion
{
    QString field;
    QString text;
};

// Whether the record is listed. Each criterion with any text matches when
// that text, exactly as typed with the letters A-Z folded, occurs in its
// field as stored; a record is listed when its matches reach the number of
// criteria whose text, trimmed, is not empty. So with no criterion filled
// every record is listed, and a criterion of blanks is not required but
// counts when the field holds those blanks.
class WineMatcher
{
public:
    explicit WineMatcher(const QList<WineCriterion>& criteria);
    bool matches(const QByteArray& record) const;
    int filledCount() const { return m_required; }

private:
    struct Folded
    {
        int offset;         // of the field's length byte in the record
        int capacity;
        QByteArray pattern; // code page bytes, a-z for A-Z; empty: never matches
    };
    QList<Folded> m_criteria;
    int m_required = 0;
};

// Scans the archive and returns the sorted lines of the matching records.
// Throws ArchiveError.
QStringList searchWines(const QList<WineCriterion>& criteria);
ListLines searchWineLines(const QList<WineCriterion>& criteria);

} // namespace vinarca
