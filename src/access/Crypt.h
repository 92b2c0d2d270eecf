#pragma once

#include <QString>

#include <stdexcept>

// The cipher of the password store: a byte stream with ciphertext feedback,
// written as upper-case hexadecimal text, two digits per byte.
namespace Crypt {

class ConversionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The three constants of the cipher; a store can only be read with the
// constants that wrote it.
inline constexpr quint16 kStartKey = 0xB3A1;
inline constexpr quint16 kMultiplier = 0x4E6D;
inline constexpr quint16 kAddend = 0x2F95;

// The longest text the cipher carries (its counter has eight bits).
inline constexpr int kMaxLength = 255;

// Enciphers the low 8 bits of each character. Never fails.
QString EncryptToHex(const QString& plain);
// Deciphers pairs of hex digits (either case); a last odd digit is ignored.
// Throws ConversionError for a pair that is not hexadecimal, and for a text of
// more than 255 pairs, which no store ever holds.
QString DecryptFromHex(const QString& hex);

} // namespace Crypt
