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

// The fields of the list line, looked up by name once.
struct LineFields
{
    int nome, produttore, fornitore, giacenza, prezzo;
};
const LineFields& lineFields()
{
    static const LineFields fields{
        wineKind().field(QStringLiteral("Nome")), wineKind().field(QStringLiteral("Produttore")),
        wineKind().field(QStringLiteral("Fornitore")), wineKind().field(QStringLiteral("Giacenza")),
        wineKind().field(QStringLiteral("Prezzo"))};
    return fields;
}

void appendColumn(QString& line, const QString& text, int width)
{
    line.append(QStringView(text).left(width));
    for (qsizetype i = text.size(); i < width; ++i)
        line.append(QLatin1Char(' '));
}
} // namespace

QString WineSearchLine(const QByteArray& record)
{
    // Built in one buffer: a search lists up to every wine of the archive.
    const RecordLayout& layout = wineLayout();
    const LineFields& f = lineFields();
    const QString prezzo = layout.decodeField(record, f.prezzo);
    QString line;
    line.reserve(30 + 14 + 30 + 13 + 30 + 12 + 10 + 4 + prezzo.size());
    appendColumn(line, layout.decodeField(record, f.nome), 30);
    line.append(QLatin1String("  Produttore: "));
    appendColumn(line, layout.decodeField(record, f.produttore), 30);
    line.append(QLatin1String("  Fornitore: "));
    appendColumn(line, layout.decodeField(record, f.fornitore), 30);
    line.append(QLatin1String("  Giacenza: "));
    appendColumn(line, layout.decodeField(record, f.giacenza), 10);
    line.append(QStringLiteral("  € "));
    line.append(prezzo);
    return line;
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

ListLines searchWineLines(const QList<WineCriterion>& criteria)
{
    const WineMatcher matcher(criteria);
    return collectRecordLines(
        wineKind(), [&matcher](const QByteArray& record) { return matcher.matches(record); }, &WineSearchLine);
}

QStringList searchWines(const QList<WineCriterion>& criteria)
{
    return searchWineLines(criteria).toStringList();
}

} // namespace vinarca
