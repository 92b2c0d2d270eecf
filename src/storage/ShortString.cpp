#include "ShortString.h"

#include <QList>

#include <array>
#include <cstring>

namespace vinarca {

namespace {

// Code points of bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so they round-trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString trimControl(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

QByteArray toWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    // Iterating by code point turns a surrogate pair into one '?', not two.
    for (char32_t c : text.toUcs4())
        out.append(encodeChar(c));
    return out;
}

QString fromWindows1252(const char* bytes, qsizetype length)
{
    QString out(length, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return out;
}

void encodeShortString(char* field, int capacity, const QString& text)
{
    QByteArray bytes = toWindows1252(trimControl(text));
    const int length = static_cast<int>(std::min<qsizetype>({bytes.size(), qsizetype(255), qsizetype(capacity)}));
    field[0] = static_cast<char>(length);
    std::memcpy(field + 1, bytes.constData(), static_cast<std::size_t>(length));
    std::memset(field + 1 + length, 0, static_cast<std::size_t>(capacity - length));
}

QString decodeShortString(const char* field, int capacity)
{
    const int length = std::min(static_cast<int>(static_cast<unsigned char>(field[0])), capacity);
    return trimControl(fromWindows1252(field + 1, length));
}

} // namespace vinarca
