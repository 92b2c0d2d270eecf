#pragma once

#include <QByteArray>
#include <QString>

namespace vinarca {

// Removes every character of code 32 or less (blanks and control characters)
// from both ends. Applied whenever text moves between a control and a record.
QString trimControl(const QString& text);

// Windows-1252, one byte per character. Characters the code page cannot
// represent become '?'.
QByteArray toWindows1252(const QString& text);
QString fromWindows1252(const char* bytes, qsizetype length);
inline QString fromWindows1252(const QByteArray& bytes) { return fromWindows1252(bytes.constData(), bytes.size()); }

// A short string field of capacity N occupies N + 1 bytes at `field`: a
// length byte, then N characters. Encoding trims, converts and cuts to N; the
// bytes after the text are zeroed so no earlier value leaks through.
void encodeShortString(char* field, int capacity, const QString& text);
// Decoding reads a length byte above N as N, converts and trims.
QString decodeShortString(const char* field, int capacity);

} // namespace vinarca
