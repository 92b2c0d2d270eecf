#include "ListSearch.h"

#include "RecordArchive.h"
#include "ShortString.h"

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

} // namespace

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

QStringList listRecordLines(const RecordKind& kind, const RecordFilter& keep, const RecordLine& lineOf)
{
    QStringList lines;
    {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Read);
        QByteArray record;
        while (archive.readNext(record)) {
            if (keep(record))
                lines.append(lineOf(record));
        }
    }
    sortListLines(lines);
    return lines;
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
