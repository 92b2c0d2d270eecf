#include "WineSearch.h"

#include "RecordArchive.h"
#include "ShortString.h"
#include "WineRecord.h"

#include <algorithm>

namespace vinarca {

namespace {
enum Field { Nome = 0, Produttore = 1, Fornitore = 20, Giacenza = 21, Prezzo = 22 };

QString column(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

char16_t upperAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}
} // namespace

QString WineSearchLine(const QByteArray& record)
{
    const RecordLayout& layout = wineLayout();
    return column(layout.decodeField(record, Nome), 30) + QStringLiteral("  Produttore: ")
           + column(layout.decodeField(record, Produttore), 30) + QStringLiteral("  Fornitore: ")
           + column(layout.decodeField(record, Fornitore), 30) + QStringLiteral("  Giacenza: ")
           + column(layout.decodeField(record, Giacenza), 10) + QStringLiteral("  € ")
           + layout.decodeField(record, Prezzo);
}

QString foldAsciiCase(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

WineMatcher::WineMatcher(const QList<WineCriterion>& criteria)
{
    for (const WineCriterion& c : criteria) {
        if (trimControl(c.text).isEmpty())
            continue;
        ++m_required;
        m_folded.append({c.field, foldAsciiCase(c.text)});
    }
}

bool WineMatcher::matches(const QByteArray& record) const
{
    for (const WineCriterion& c : m_folded) {
        if (!foldAsciiCase(wineLayout().decodeFieldAsStored(record, c.field)).contains(c.text))
            return false;
    }
    return true;
}

void sortWineLines(QStringList& lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = upperAscii(a.at(i).unicode());
            const char16_t y = upperAscii(b.at(i).unicode());
            if (x != y)
                return x < y;
        }
        return a.size() < b.size();
    });
}

QStringList searchWines(const QString& archivePath, const QList<WineCriterion>& criteria)
{
    const WineMatcher matcher(criteria);
    QStringList lines;
    RecordArchive archive(archivePath, kWineRecordSize, RecordArchive::Access::Read);
    QByteArray record;
    while (archive.readNext(record)) {
        if (matcher.matches(record))
            lines.append(WineSearchLine(record));
    }
    archive.close();
    sortWineLines(lines);
    return lines;
}

int findInList(const QStringList& items, int selected, const QString& foldedText, bool sameAsLast)
{
    if (items.isEmpty() || foldedText.isEmpty())
        return -1;
    const auto hit = [&](int i) { return foldAsciiCase(items.at(i)).contains(foldedText); };
    const int count = static_cast<int>(items.size());
    int start = sameAsLast ? std::clamp(selected, 0, count - 1) : 0;
    if (!sameAsLast && hit(start))
        return start;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (hit(i))
            return i;
    }
    return -1;
}

} // namespace vinarca
