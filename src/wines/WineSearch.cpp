#include "WineSearch.h"

#include "ShortString.h"
#include "WineRecord.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

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

namespace {
// A field's stored bytes with those of code 32 or less removed from both
// ends: the code page's bytes up to 32 are exactly its characters up to 32,
// so this is the field decoded and trimmed, still in code page bytes.
std::pair<const char*, int> trimmedFieldBytes(const QByteArray& record, int field)
{
    const RecordLayout::Field& f = wineLayout().field(field);
    const char* bytes = record.constData() + f.offset;
    int length = std::min(static_cast<int>(static_cast<unsigned char>(bytes[0])), f.capacity);
    const char* begin = bytes + 1;
    while (length > 0 && static_cast<unsigned char>(*begin) <= 32) {
        ++begin;
        --length;
    }
    while (length > 0 && static_cast<unsigned char>(begin[length - 1]) <= 32)
        --length;
    return {begin, length};
}

char* putColumn(char* out, std::pair<const char*, int> text, int width)
{
    const int kept = std::min(text.second, width);
    std::memcpy(out, text.first, std::size_t(kept));
    std::memset(out + kept, ' ', std::size_t(width - kept));
    return out + width;
}

char* putText(char* out, std::string_view text)
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// The list line's longest length in bytes: the columns, their captions and
// a price of a whole field.
constexpr qsizetype kWineLineBytes = 30 + 14 + 30 + 13 + 30 + 12 + 10 + 4 + 255;

// WineSearchLine written in code page bytes (0x80 is the euro sign).
qsizetype writeWineSearchLine(const QByteArray& record, char* out)
{
    const LineFields& f = lineFields();
    char* at = putColumn(out, trimmedFieldBytes(record, f.nome), 30);
    at = putText(at, "  Produttore: ");
    at = putColumn(at, trimmedFieldBytes(record, f.produttore), 30);
    at = putText(at, "  Fornitore: ");
    at = putColumn(at, trimmedFieldBytes(record, f.fornitore), 30);
    at = putText(at, "  Giacenza: ");
    at = putColumn(at, trimmedFieldBytes(record, f.giacenza), 10);
    at = putText(at, "  \x80 ");
    const auto prezzo = trimmedFieldBytes(record, f.prezzo);
    at = putColumn(at, prezzo, prezzo.second);
    return at - out;
}
} // namespace

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
        wineKind(), [&matcher](const QByteArray& record) { return matcher.matches(record); }, kWineLineBytes,
        &writeWineSearchLine);
}

QStringList searchWines(const QList<WineCriterion>& criteria)
{
    return searchWineLines(criteria).toStringList();
}

} // namespace vinarca
