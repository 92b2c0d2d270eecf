#include "WineSearch.h"

#include "ShortString.h"
#include "WineRecord.h"

#include <algorithm>

namespace vinarca {

namespace {
unsigned char foldByte(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

QString field(const QByteArray& record, const char* name)
{
    return wineLayout().decodeField(record, wineKind().field(QString::fromLatin1(name)));
}
} // namespace

QString WineSearchLine(const QByteArray& record)
{
    return listColumn(field(record, "Nome"), 30) + QStringLiteral("  Produttore: ")
           + listColumn(field(record, "Produttore"), 30) + QStringLiteral("  Fornitore: ")
           + listColumn(field(record, "Fornitore"), 30) + QStringLiteral("  Giacenza: ")
           + listColumn(field(record, "Giacenza"), 10) + QStringLiteral("  € ") + field(record, "Prezzo");
}

WineMatcher::WineMatcher(const QList<WineCriterion>& criteria)
{
    const RecordLayout& layout = wineLayout();
    for (const WineCriterion& c : criteria) {
        if (!trimControl(c.text).isEmpty())
            ++m_required;
        if (c.text.isEmpty())
            continue; // an empty criterion never matches
        const RecordLayout::Field& f = layout.field(wineKind().field(c.field));
        QByteArray pattern = toWindows1252(c.text);
        // A character the code page cannot hold can occur in no field.
        if (fromWindows1252(pattern) != c.text)
            pattern.clear();
        for (char& b : pattern)
            b = static_cast<char>(foldByte(static_cast<unsigned char>(b)));
        m_criteria.append({f.offset, f.capacity, pattern});
    }
}

bool WineMatcher::matches(const QByteArray& record) const
{
    if (m_required == 0)
        return true;
    int matched = 0;
    for (const Folded& c : m_criteria) {
        if (c.pattern.isEmpty())
            continue;
        const auto* field = reinterpret_cast<const unsigned char*>(record.constData()) + c.offset;
        const int length = std::min<int>(field[0], c.capacity);
        const auto* begin = field + 1;
        const auto* end = begin + length;
        const auto* pattern = reinterpret_cast<const unsigned char*>(c.pattern.constData());
        const auto found = std::search(begin, end, pattern, pattern + c.pattern.size(),
                                       [](unsigned char a, unsigned char b) { return foldByte(a) == b; });
        if (found != end && ++matched >= m_required)
            return true;
    }
    return false;
}

QStringList searchWines(const QList<WineCriterion>& criteria)
{
    const WineMatcher matcher(criteria);
    return listRecordLines(
        wineKind(), [&matcher](const QByteArray& record) { return matcher.matches(record); }, &WineSearchLine);
}

} // namespace vinarca
