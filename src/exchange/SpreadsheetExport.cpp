#include "SpreadsheetExport.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "ShortString.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vinarca {

namespace {

constexpr int kBlockRecords = 64;     // records read together for the grid
constexpr int kCachedBlocks = 16;     // about 3 MB of wine records
constexpr qsizetype kFlushBytes = 1 << 19;

// Every data cell is left-aligned. The formats live in classes of the
// document's style block, so a cell names its class in a few bytes instead
// of repeating the same style: the file for 100,000 wines is 89 MB where an
// inline style in every cell made it 226 MB. Class t is the text format
// ("@"), which both spreadsheet suites read from the class, so "=1+1", "007"
// or "1E5" stay what was typed instead of becoming a formula or a number.
// A number cell carries its value in the notation both read whatever their
// regional settings (x:num and sdval, full stop for decimals) and the format
// to show it with, for each suite (mso-number-format, and sdnum as
// language;system;format); its text is what was typed. A stock figure is
// class g (general format). A price is class m, which only aligns it, and
// names its two-decimal format ("Fixed") on the cell itself: the suite that
// reads sdnum would apply a class's format over it and takes "Fixed" for a
// date format.
constexpr char kStyles[] = "<style>"
                           ".t{mso-number-format:\"\\@\";text-align:left}"
                           ".g{mso-number-format:General;text-align:left}"
                           ".m{text-align:left}"
                           "</style>";
constexpr char kTextCell[] = "<td class=t>";
constexpr char kCellEnd[] = "</td>";

void appendBytes(QByteArray& out, const char* bytes, std::size_t size)
{
    out.append(bytes, static_cast<qsizetype>(size));
}

// The piece of the file being produced: a buffer written through a pointer,
// with room checked once per cell (room()) rather than at every append.
class Piece
{
public:
    explicit Piece(std::size_t capacity) : m_buffer(capacity), m_at(m_buffer.data()) {}

    void put(const char* bytes, std::size_t size)
    {
        std::memcpy(m_at, bytes, size);
        m_at += size;
    }
    template<std::size_t N>
    void put(const char (&literal)[N])
    {
        put(literal, N - 1);
    }
    std::size_t room() const { return static_cast<std::size_t>(m_buffer.data() + m_buffer.size() - m_at); }
    std::size_t size() const { return static_cast<std::size_t>(m_at - m_buffer.data()); }
    const char* data() const { return m_buffer.data(); }
    void clear() { m_at = m_buffer.data(); }

private:
    std::vector<char> m_buffer;
    char* m_at;
};

void appendBytes(Piece& out, const char* bytes, std::size_t size)
{
    out.put(bytes, size);
}

template<typename Out>
void appendNumberCell(Out& out, CellType type, const QByteArray& value)
{
    const bool money = type == CellType::Money;
    const std::string_view opening = money ? "<td class=m style=\"mso-number-format:Fixed\" x:num=\"" : "<td class=g x:num=\"";
    const std::string_view closing = money ? "\" sdnum=\"1033;0;0.00\">" : "\" sdnum=\"1033;0;General\">";
    constexpr std::string_view between = "\" sdval=\"";
    const auto valueSize = static_cast<std::size_t>(value.size());
    appendBytes(out, opening.data(), opening.size());
    appendBytes(out, value.constData(), valueSize);
    appendBytes(out, between.data(), between.size());
    appendBytes(out, value.constData(), valueSize);
    appendBytes(out, closing.data(), closing.size());
}

// The value of a well-formed number of at most 15 significant digits that
// is not written with an exponent, straight from its digits: the same bytes
// as the 15-digit general notation of the number read, without the detour
// through a double that made prices and stock the costliest cells of the
// file. Zero, and everything else, is left to that detour (false).
bool plainDecimal(std::string_view text, QByteArray& value)
{
    const bool negative = !text.empty() && text.front() == '-';
    std::size_t separator = text.find_first_of(",.");
    if (separator == std::string_view::npos)
        separator = text.size();
    std::size_t intBegin = negative ? 1 : 0;
    while (intBegin < separator && text[intBegin] == '0')
        ++intBegin;
    std::size_t fracEnd = text.size();
    while (fracEnd > separator + 1 && text[fracEnd - 1] == '0')
        --fracEnd;
    const std::size_t fracBegin = std::min(separator + 1, fracEnd);
    const std::size_t intDigits = separator - intBegin;
    const std::size_t fracDigits = fracEnd - fracBegin;
    std::size_t significant = intDigits + fracDigits;
    if (intDigits == 0) {
        std::size_t zeros = 0;
        while (zeros < fracDigits && text[fracBegin + zeros] == '0')
            ++zeros;
        if (zeros == fracDigits || zeros > 3) // zero, or a number shown with an exponent
            return false;
        significant -= zeros;
    }
    if (significant > 15)
        return false;
    value.resize(0);
    if (negative)
        value += '-';
    if (intDigits == 0)
        value += '0';
    value.append(text.data() + intBegin, static_cast<qsizetype>(intDigits));
    if (fracDigits > 0) {
        value += '.';
        value.append(text.data() + fracBegin, static_cast<qsizetype>(fracDigits));
    }
    return true;
}

// The value of a number as both readers take it: digits with one optional
// decimal separator, comma or full stop, and an optional minus sign. Anything
// else ("1.234,50", "a richiesta", "") is not a number and stays text.
bool numberValue(std::string_view text, QByteArray& value)
{
    std::size_t i = !text.empty() && text.front() == '-' ? 1 : 0;
    std::size_t digits = 0;
    bool separator = false;
    bool digitAfterSeparator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            digitAfterSeparator = separator;
        } else if ((c == ',' || c == '.') && !separator && digits > 0) {
            separator = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || (separator && !digitAfterSeparator))
        return false;
    if (plainDecimal(text, value))
        return true;
    bool ok = false;
    const double number = QByteArray(text.data(), static_cast<qsizetype>(text.size())).replace(',', '.').toDouble(&ok);
    if (!ok)
        return false;
    value = QByteArray::number(number, 'g', 15);
    return true;
}

// A character outside Latin-1 becomes '?', which no number holds.
bool numberValue(const QString& text, QByteArray& value)
{
    const QByteArray latin = text.toLatin1();
    return numberValue(std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())), value);
}

// Appends the text escaped for the markup, as Windows-1252 bytes. Characters
// the code page lacks and control characters (a line break inside a cell would
// be a line break in the file) go in as numeric references, so the cell keeps
// them and nothing turns into '?'.
void appendEscaped(QByteArray& out, const QString& text)
{
    const auto reference = [&out](char32_t code) {
        out += "&#";
        out += QByteArray::number(static_cast<uint>(code));
        out += ';';
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        switch (u) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        default: break;
        }
        if (u >= 32 && u < 0x80) {
            out += static_cast<char>(u);
        } else if (u >= 0xA0 && u <= 0xFF) {
            out += static_cast<char>(u);
        } else if (u < 32) {
            reference(u);
        } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            reference(QChar::surrogateToUcs4(u, text.at(i + 1).unicode()));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            reference(0xFFFD);
        } else {
            const QByteArray byte = toWindows1252(QString(QChar(u)));
            if (byte == "?")
                reference(u);
            else
                out += byte;
        }
    }
}

void appendCell(QByteArray& out, const QString& typed, CellType type)
{
    const QString text = trimControl(typed);
    QByteArray value;
    if (type != CellType::Text && numberValue(text, value))
        appendNumberCell(out, type, value);
    else
        out += kTextCell;
    appendEscaped(out, text);
    out += kCellEnd;
}

// What each stored byte becomes in the file: the same as decoding the field
// and escaping the text, one byte at a time, so a text cell that the user did
// not edit goes from the record to the file without a detour through text.
struct ByteEscapes
{
    std::array<QByteArray, 256> escaped;
    std::array<bool, 256> plain{}; // the byte goes into the file as it is

    ByteEscapes()
    {
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            QByteArray out;
            appendEscaped(out, fromWindows1252(&byte, 1));
            plain[b] = out.size() == 1 && out.at(0) == byte;
            escaped[b] = std::move(out);
        }
    }
};

const ByteEscapes& byteEscapes()
{
    static const ByteEscapes table;
    return table;
}

// A stored short string trimmed of bytes of code 32 or less at both ends
// (which decode to the same characters).
std::string_view storedBytes(const char* field, int capacity)
{
    int end = std::min(static_cast<int>(static_cast<unsigned char>(field[0])), capacity) + 1;
    int begin = 1;
    while (begin < end && static_cast<unsigned char>(field[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(field[end - 1]) <= 32)
        --end;
    return {field + begin, static_cast<std::size_t>(end - begin)};
}

// The longest markup a stored byte becomes.
std::size_t longestByteEscape()
{
    std::size_t longest = 1;
    for (const QByteArray& escaped : byteEscapes().escaped)
        longest = std::max(longest, static_cast<std::size_t>(escaped.size()));
    return longest;
}

#if defined(__SSE2__)
// A bit for each of the 16 bytes at `p` that may not go into the file as it
// is: below 32, from 0x80 up (the table decides those: most are letters that
// go in as they are) and & < > ". Every byte the table escapes is among them.
unsigned suspectBytes(const char* p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i suspect = _mm_cmplt_epi8(v, _mm_set1_epi8(32)); // signed: also 0x80 and up
    suspect = _mm_or_si128(suspect, _mm_cmpeq_epi8(v, _mm_set1_epi8('&')));
    suspect = _mm_or_si128(suspect, _mm_cmpeq_epi8(v, _mm_set1_epi8('<')));
    suspect = _mm_or_si128(suspect, _mm_cmpeq_epi8(v, _mm_set1_epi8('>')));
    suspect = _mm_or_si128(suspect, _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
    return static_cast<unsigned>(_mm_movemask_epi8(suspect));
}
#endif

// Appends stored bytes escaped for the markup. Most bytes of a record go in
// as they are, so they are looked at 16 at a time where the record holds
// 16 bytes from that point on (`readableEnd` is the record's end): the
// bytes past the text are read but left out.
void appendEscapedBytes(Piece& out, const ByteEscapes& table, std::string_view bytes, const char* readableEnd)
{
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t run = 0;
    const auto escapeAt = [&](std::size_t at) {
        const auto b = static_cast<unsigned char>(data[at]);
        if (table.plain[b])
            return;
        out.put(data + run, at - run);
        out.put(table.escaped[b].constData(), static_cast<std::size_t>(table.escaped[b].size()));
        run = at + 1;
    };
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i < size && readableEnd - (data + i) >= 16; i += 16) {
        unsigned suspect = suspectBytes(data + i);
        if (size - i < 16)
            suspect &= (1u << (size - i)) - 1;
        for (; suspect != 0; suspect &= suspect - 1)
            escapeAt(i + static_cast<std::size_t>(__builtin_ctz(suspect)));
    }
    i = std::min(i, size);
#else
    Q_UNUSED(readableEnd);
#endif
    for (; i < size; ++i)
        escapeAt(i);
    out.put(data + run, size - run);
}

// A stored short string as a text cell, escaped byte by byte.
void appendStoredText(Piece& out, const ByteEscapes& table, const char* field, int capacity, const char* recordEnd)
{
    out.put(kTextCell);
    appendEscapedBytes(out, table, storedBytes(field, capacity), recordEnd);
    out.put(kCellEnd);
}

// A stored short string in a price or stock column: the same cell as the
// decoded text would give, read from the bytes (a number is plain ASCII).
// `value` is the caller's buffer, kept from cell to cell.
void appendStoredNumber(Piece& out, const ByteEscapes& table, const char* field, int capacity, const char* recordEnd,
                        CellType type, QByteArray& value)
{
    const std::string_view bytes = storedBytes(field, capacity);
    if (numberValue(bytes, value))
        appendNumberCell(out, type, value);
    else
        out.put(kTextCell);
    appendEscapedBytes(out, table, bytes, recordEnd);
    out.put(kCellEnd);
}

void appendHead(QByteArray& out, const ExportSheet& sheet)
{
    out += "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""
           " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
           " xmlns=\"http://www.w3.org/TR/REC-html40\">"
           "<head>"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";
    out += kStyles;
    out += "<!--[if gte mso 9]><xml>"
           "<x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
           "<x:Name>";
    appendEscaped(out, sheet.kind().exporting.worksheet);
    out += "</x:Name>"
           "<x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
           "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes>"
           "<x:ProtectContents>False</x:ProtectContents><x:ProtectObjects>False</x:ProtectObjects>"
           "<x:ProtectScenarios>False</x:ProtectScenarios>"
           "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook>"
           "</xml><![endif]-->"
           "</head><body><table x:str>";

    out += "<tr>";
    for (const FieldFacts& column : sheet.columns()) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += QByteArray::number(column.fileWidth);
        out += '>';
        appendEscaped(out, column.title());
        out += "</td>";
    }
    out += "</tr>";
}

// The most a number cell's markup adds to its escaped text: the longest
// opening and closing, and its value twice (at most 15 digits, or the general
// notation of a double).
constexpr std::size_t kNumberCellMarkup = 160;

// Produces the file in pieces of about 512 KiB (few, large writes: each
// system call is costly), each handed to `flush` (false stops the writing). Rows of records are read from the archive in
// one pass, the user's edits taken in the same order. This loop writes every
// byte of the file: each cell is written straight into the piece, whose room
// is checked once per cell against the most that cell can take.
bool produceSheet(const ExportSheet& sheet, const std::function<bool(const char*, qint64)>& flush)
{
    const RecordLayout& layout = *sheet.kind().layout;
    std::vector<const RecordLayout::Field*> fields;
    std::vector<std::size_t> cellRoom;
    std::size_t widestCell = 0;
    for (int index : sheet.fieldIndexes()) {
        fields.push_back(&layout.field(index));
        cellRoom.push_back(static_cast<std::size_t>(layout.field(index).capacity) * longestByteEscape()
                           + kNumberCellMarkup);
        widestCell = std::max(widestCell, cellRoom.back());
    }
    Piece out(static_cast<std::size_t>(kFlushBytes) + widestCell + 64);
    const auto flushPiece = [&] {
        const bool ok = flush(out.data(), static_cast<qint64>(out.size()));
        out.clear();
        return ok;
    };
    // Text that may be longer than the piece: the user's own edits, the head.
    const auto putLong = [&](const QByteArray& bytes) {
        const auto size = static_cast<std::size_t>(bytes.size());
        if (out.room() < size && !flushPiece())
            return false;
        if (out.room() < size)
            return flush(bytes.constData(), bytes.size());
        out.put(bytes.constData(), size);
        return true;
    };
    {
        QByteArray head;
        appendHead(head, sheet);
        if (!putLong(head))
            return false;
    }

    const QList<FieldFacts>& columns = sheet.columns();
    const auto columnCount = static_cast<int>(columns.size());
    ExportSheet::Edits::const_iterator edit = sheet.edits().begin();
    const ExportSheet::Edits::const_iterator noMoreEdits = sheet.edits().end();
    const auto editAt = [&](int row, int column) -> const QString* {
        const std::pair cellAt{row, column};
        while (edit != noMoreEdits && edit->first < cellAt)
            ++edit;
        if (edit != noMoreEdits && edit->first == cellAt)
            return &(edit++)->second;
        return nullptr;
    };

    try {
        std::optional<RecordArchive> archive;
        if (sheet.holdsRecords())
            archive.emplace(sheet.kind().archivePath(), layout, RecordArchive::Access::Read);
        QByteArray record;
        QByteArray value;
        const ByteEscapes& escapes = byteEscapes();
        for (int row = 0; row < sheet.rowCount(); ++row) {
            if (archive && !archive->readNextInPlace(record))
                return false;
            const char* const recordEnd = record.constData() + record.size();
            out.put("<tr>");
            for (int c = 0; c < columnCount; ++c) {
                if (const QString* edited = editAt(row, c)) {
                    if (!putLong(exportCell(*edited, columns.at(c).cell)))
                        return false;
                    continue;
                }
                if (out.room() < cellRoom[c] && !flushPiece())
                    return false;
                if (!archive) {
                    out.put(kTextCell);
                    out.put(kCellEnd);
                } else if (columns.at(c).cell == CellType::Text) {
                    appendStoredText(out, escapes, record.constData() + fields[c]->offset, fields[c]->capacity,
                                     recordEnd);
                } else {
                    appendStoredNumber(out, escapes, record.constData() + fields[c]->offset, fields[c]->capacity,
                                       recordEnd, columns.at(c).cell, value);
                }
            }
            if (out.room() < 64 && !flushPiece())
                return false;
            out.put("</tr>");
            if (out.size() >= static_cast<std::size_t>(kFlushBytes) && !flushPiece())
                return false;
        }
    } catch (const ArchiveError&) {
        return false;
    }
    if (out.room() < 64 && !flushPiece())
        return false;
    out.put("</table></body></html>");
    return flushPiece();
}

} // namespace

ExportSheet::ExportSheet(const RecordKind& kind)
    : m_kind(kind), m_columns(kind.exportColumns()), m_blocks(kCachedBlocks)
{
    for (const FieldFacts& column : m_columns)
        m_fields.push_back(kind.field(column.field));
    try {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Read);
        m_records = archive.count();
    } catch (const ArchiveError&) {
        // Loading is not reported: the grid keeps its empty rows.
    }
}

const QByteArray* ExportSheet::block(int index) const
{
    if (const QByteArray* cached = m_blocks.object(index))
        return cached;
    auto records = std::make_unique<QByteArray>();
    const qint64 first = qint64(index) * kBlockRecords;
    const qint64 count = std::min<qint64>(kBlockRecords, m_records - first);
    const int size = m_kind.layout->recordSize();
    try {
        RecordArchive archive(m_kind.archivePath(), *m_kind.layout, RecordArchive::Access::Read);
        records->reserve(count * size);
        QByteArray record;
        for (qint64 i = 0; i < count; ++i) {
            archive.readAt(first + i + 1, record);
            records->append(record);
        }
    } catch (const ArchiveError&) {
        // The rows that cannot be read show empty; the export reports them.
        records->resize(count * size, '\0');
    }
    const QByteArray* kept = records.get();
    m_blocks.insert(index, records.release());
    return kept;
}

QString ExportSheet::cell(int row, int column) const
{
    if (const auto edit = m_edits.find({row, column}); edit != m_edits.end())
        return edit->second;
    if (!holdsRecords() || row < 0 || row >= m_records || column < 0 || column >= m_columns.size())
        return {};
    const QByteArray* records = block(row / kBlockRecords);
    const RecordLayout::Field& f = m_kind.layout->field(m_fields[static_cast<std::size_t>(column)]);
    const qsizetype offset = qsizetype(row % kBlockRecords) * m_kind.layout->recordSize() + f.offset;
    return decodeShortString(records->constData() + offset, f.capacity);
}

void ExportSheet::setCell(int row, int column, const QString& text)
{
    m_edits[{row, column}] = text;
}

QByteArray exportCell(const QString& text, CellType type)
{
    QByteArray out;
    appendCell(out, text, type);
    return out;
}

QByteArray spreadsheetBytes(const ExportSheet& sheet)
{
    QByteArray bytes;
    produceSheet(sheet, [&bytes](const char* piece, qint64 size) {
        bytes.append(piece, size);
        return true;
    });
    return bytes;
}

QString exportFilePath(const RecordKind& kind)
{
    return ProgramFolder() + kind.exporting.file;
}

bool writeSpreadsheet(const QString& path, const ExportSheet& sheet)
{
    AtomicFile file;
    if (!file.open(path))
        return false;
    if (!produceSheet(sheet, [&file](const char* piece, qint64 size) { return file.write(piece, size); }))
        return false;
    return file.commit();
}

} // namespace vinarca
