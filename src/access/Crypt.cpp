#include "Crypt.h"

#include <QList>

namespace Crypt {

namespace {
quint16 nextKey(quint16 key, quint8 cipherByte)
{
    return static_cast<quint16>((cipherByte + key) * kMultiplier + kAddend);
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}
} // namespace

QString EncryptToHex(const QString& plain)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(plain.size() * 2);
    quint16 key = kStartKey;
    for (QChar ch : plain) {
        const auto p = static_cast<quint8>(ch.unicode() & 0xFF);
        const auto c = static_cast<quint8>(p ^ (key >> 8));
        out.append(QLatin1Char(kDigits[c >> 4]));
        out.append(QLatin1Char(kDigits[c & 0x0F]));
        key = nextKey(key, c);
    }
    return out;
}

QString DecryptFromHex(const QString& hex)
{
    const qsizetype pairs = hex.size() / 2;
    if (pairs > kMaxLength)
        throw ConversionError("store value longer than the cipher allows");
    // Every pair is checked before anything is deciphered.
    QList<quint8> bytes;
    bytes.reserve(pairs);
    for (qsizetype i = 0; i < pairs; ++i) {
        const int high = hexDigit(hex.at(2 * i));
        const int low = hexDigit(hex.at(2 * i + 1));
        if (high < 0 || low < 0)
            throw ConversionError("not a hexadecimal number");
        bytes.append(static_cast<quint8>(high * 16 + low));
    }
    QString out;
    out.reserve(pairs);
    quint16 key = kStartKey;
    for (quint8 c : bytes) {
        out.append(QChar(static_cast<char16_t>(c ^ (key >> 8))));
        key = nextKey(key, c);
    }
    return out;
}

} // namespace Crypt
