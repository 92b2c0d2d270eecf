#pragma once

#include <QString>

#include <stdexcept>

// The access password, kept enciphered in "unins000.dll" (an INI text) in the
// program folder, section Accesso, key Valore.
namespace vinarca {

class StoreWriteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

QString passwordStorePath();

// Upper-cases the ASCII letters a-z only, then trims characters of code 32
// or less at both ends.
QString NormalizePassword(const QString& typed);

// The deciphered, trimmed stored password; empty when the file, section or
// key is missing. Throws Crypt::ConversionError for a damaged value.
QString ReadStoredPassword();

// Enciphers and writes the password as Valore of section Accesso, keeping the
// rest of the file. The file is replaced atomically: a failure leaves the old
// password valid. Throws StoreWriteError.
void StorePassword(const QString& normalized);

// Whether the cipher can carry the password exactly: at most 255 characters,
// all in U+0000..U+00FF. Any other password would never match once stored.
bool isStorablePassword(const QString& normalized);

// INI helpers, exposed for the delivered store and for tests.
QString iniValue(const QByteArray& content, const QString& section, const QString& key);
QByteArray iniWithValue(const QByteArray& content, const QString& section, const QString& key, const QString& value);

} // namespace vinarca
