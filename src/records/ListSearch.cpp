#include "ListSearch.h"

#include "RecordArchive.h"
#include "ShortString.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace vinarca {

namespace {

// The sort byte of every UTF-16 code: its Windows-1252 code with a-z folded
// to A-Z, '?' where the code page has no such character. One table lookup
// per character keeps sorting a million lines a matter of a second.
const std::array<unsigned char, 65536>& sortBytes()
{
    static const auto table = [] {
        auto bytes = std::make_unique<std::array<unsigned char, 65536>>();
        bytes->fill('?');
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString decoded = fromWindows1252(&c, 1);
            const unsigned char folded = (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - ('a' - 'A'))
                                                                : static_cast<unsigned char>(b);
            (*bytes)[decoded.at(0).unicode()] = folded;
        }
        return bytes;
    }();
    return *table;
}

// The Windows-1252 byte of every UTF-16 code, '?' where the code page has
// no such character.
const std::array<char, 65536>& codePageBytes()
{
    static const auto table = [] {
        auto bytes = std::make_unique<std::array<char, 65536>>();
        bytes->fill('?');
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            (*bytes)[fromWindows1252(&c, 1).at(0).unicode()] = c;
        }
        return bytes;
    }();
    return *table;
}

// A code page byte as it sorts: a-z taken as A-Z.
inline unsigned char sortByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
}

// Eight code page bytes as they sort, as one number that compares like them:
// a-z taken as A-Z in every byte at once (bytes of 0x80 and over are left
// alone), the first byte the most significant.
inline quint64 sortWord(const char* bytes)
{
    quint64 x;
    std::memcpy(&x, bytes, sizeof x);
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    const quint64 low = x & ~kHigh;
    const quint64 atLeastA = (low + kOnes * (0x80 - 'a')) & kHigh;
    const quint64 overZ = (low + kOnes * (0x80 - 'z' - 1)) & kHigh;
    const quint64 lower = atLeastA & ~overZ & ~x;
    return qFromBigEndian(x ^ (lower >> 2)); // 0x80 >> 2: the case bit 0x20
}

// Lines are packed into blocks of this size; a longer line gets a block of
// its own.
constexpr qsizetype kLineBlockBytes = qsizetype(1) << 20;

} // namespace

ListLines::ListLines() = default;
ListLines::ListLines(ListLines&&) noexcept = default;
ListLines& ListLines::operator=(ListLines&&) noexcept = default;
ListLines::~ListLines() = default;

ListLines::ListLines(const QStringList& lines)
{
    m_lines.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        append(line);
}

char* ListLines::beginLine(qsizetype maxLength)
{
    if (maxLength > m_free) {
        const qsizetype size = std::max(kLineBlockBytes, maxLength);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(std::size_t(size)));
        m_next = m_blocks.back().get();
        m_free = size;
    }
    return m_next;
}

void ListLines::endLine(qsizetype length)
{
    m_lines.push_back({m_next, length});
    m_next += length;
    m_free -= length;
}

void ListLines::append(QStringView line)
{
    const qsizetype length = line.size();
    char* out = beginLine(length);
    const auto& table = codePageBytes();
    const char16_t* in = line.utf16();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = table[in[i]];
    endLine(length);
}

QString ListLines::at(qsizetype i) const
{
    const Line& line = m_lines[std::size_t(i)];
    return fromWindows1252(line.bytes, line.length);
}

QStringList ListLines::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    for (const Line& line : m_lines)
        lines.append(fromWindows1252(line.bytes, line.length));
    return lines;
}

void ListLines::sort()
{
    // Each line's first eight sort bytes as one number decide most
    // comparisons with a single integer compare; equal heads go on with the
    // bytes after them.
    struct Entry
    {
        quint64 head;
        Line line;
    };
    std::vector<Entry> entries;
    entries.reserve(m_lines.size());
    for (const Line& line : m_lines) {
        quint64 head = 0;
        if (line.length >= 8) {
            head = sortWord(line.bytes);
        } else {
            for (qsizetype k = 0; k < line.length; ++k)
                head |= quint64(sortByte(line.bytes[k])) << (8 * (7 - k));
        }
        entries.push_back({head, line});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.head != b.head)
            return a.head < b.head;
        const qsizetype common = std::min(a.line.length, b.line.length);
        qsizetype k = 8;
        for (; k + 8 <= common; k += 8) {
            const quint64 x = sortWord(a.line.bytes + k);
            const quint64 y = sortWord(b.line.bytes + k);
            if (x != y)
                return x < y;
        }
        for (; k < common; ++k) {
            const unsigned char x = sortByte(a.line.bytes[k]);
            const unsigned char y = sortByte(b.line.bytes[k]);
            if (x != y)
                return x < y;
        }
        return a.line.length < b.line.length;
    });
    for (std::size_t i = 0; i < entries.size(); ++i)
        m_lines[i] = entries[i].line;
}

QString listColumn(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
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

void sortListLines(QStringList& lines)
{
    const auto& table = sortBytes();
    // All sort keys in one buffer, each line's bytes compared as unsigned codes.
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size();
    std::vector<unsigned char> keys(static_cast<std::size_t>(total));
    // Each line's first eight key bytes as one number decide most
    // comparisons with a single integer compare; equal heads go on with the
    // bytes after them.
    struct Entry
    {
        quint64 head;
        qsizetype offset;
        qsizetype length;
        qsizetype index;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(lines.size()));
    qsizetype at = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const char16_t* src = reinterpret_cast<const char16_t*>(line.constData());
        quint64 head = 0;
        for (qsizetype k = 0; k < line.size(); ++k) {
            const unsigned char byte = table[src[k]];
            keys[static_cast<std::size_t>(at + k)] = byte;
            if (k < 8)
                head |= quint64(byte) << (8 * (7 - k));
        }
        entries.push_back({head, at, line.size(), i});
        at += line.size();
    }
    const unsigned char* base = keys.data();
    std::stable_sort(entries.begin(), entries.end(), [base](const Entry& a, const Entry& b) {
        if (a.head != b.head)
            return a.head < b.head;
        const qsizetype common = std::min(a.length, b.length);
        if (common > 8) {
            const int order = std::memcmp(base + a.offset + 8, base + b.offset + 8, static_cast<std::size_t>(common - 8));
            if (order != 0)
                return order < 0;
        }
        return a.length < b.length;
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const Entry& e : entries)
        sorted.append(std::move(lines[e.index]));
    lines = std::move(sorted);
}

ListLines collectRecordLines(const RecordKind& kind, const RecordFilter& keep, const RecordLine& lineOf)
{
    ListLines lines;
    {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Read);
        QByteArray record;
        while (archive.readNextInPlace(record)) {
            if (keep(record))
                lines.append(lineOf(record));
        }
    }
    lines.sort();
    return lines;
}

ListLines collectRecordLines(const RecordKind& kind, const RecordFilter& keep, qsizetype maxLineBytes,
                             const RecordLineBytes& writeLine)
{
    ListLines lines;
    {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Read);
        QByteArray record;
        while (archive.readNextInPlace(record)) {
            if (keep(record))
                lines.endLine(writeLine(record, lines.beginLine(maxLineBytes)));
        }
    }
    lines.sort();
    return lines;
}

QStringList listRecordLines(const RecordKind& kind, const RecordFilter& keep, const RecordLine& lineOf)
{
    return collectRecordLines(kind, keep, lineOf).toStringList();
}

std::optional<ListedRecord> findListedRecord(const RecordKind& kind, const RecordLine& lineOf, const QString& line)
{
    const QString wanted = trimControl(line);
    RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Read);
    std::optional<ListedRecord> found;
    QByteArray record;
    // Identical lines: the scan goes on, so the last equal record is the one found.
    while (archive.readNext(record)) {
        if (trimControl(lineOf(record)) == wanted)
            found = ListedRecord{archive.lastPosition(), record};
    }
    return found;
}

int findInList(const QStringList& items, int selected, const QString& foldedText, bool sameAsLast)
{
    return findInList(
        items.size(), [&items](qsizetype i) { return items.at(i); }, selected, foldedText, sameAsLast);
}

int findInList(qsizetype items, const std::function<QString(qsizetype)>& itemAt, int selected,
               const QString& foldedText, bool sameAsLast)
{
    if (items <= 0 || foldedText.isEmpty())
        return -1;
    const auto hit = [&](int i) { return foldAsciiCase(itemAt(i)).contains(foldedText); };
    const int count = static_cast<int>(items);
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
