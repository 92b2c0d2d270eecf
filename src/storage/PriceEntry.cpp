#include "PriceEntry.h"

#include "ShortString.h"

#include <QtGlobal>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vinarca {

// Rounding to cents works on the binary value of the amount with a 64-bit
// mantissa: 2,675 is stored just below the half and stays 2,67, while 3,995
// lies just above it and becomes 4,00. A plain double product would round
// 267.4999… up to 267.5 first and give 2,68.
static_assert(std::numeric_limits<long double>::digits >= 64,
              "cent rounding needs a floating type with at least 64 bits of mantissa");

namespace {
const QString kZero = QStringLiteral("0,00");

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads the accepted form: blanks, an optional sign, digits, an optional
// comma with digits, an optional exponent, blanks. Returns the number as C
// text for the conversion, or an empty string when the text is not a number.
std::string numberText(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && text.at(i) == QLatin1Char(' '))
            ++i;
    };
    auto digits = [&] {
        std::string run;
        while (i < n && isDigit(text.at(i)))
            run += char(text.at(i++).unicode());
        return run;
    };

    skipBlanks();
    std::string c;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        if (text.at(i) == QLatin1Char('-'))
            c += '-'; // the conversion takes no plus sign
        ++i;
    }
    const std::string integer = digits();
    bool comma = false;
    std::string fraction;
    if (i < n && text.at(i) == QLatin1Char(',')) {
        comma = true;
        ++i;
        fraction = digits();
    }
    // A lone comma is a number (zero); a lone sign is not.
    if (integer.empty() && !comma)
        return {};
    c += integer.empty() ? "0" : integer;
    if (!fraction.empty())
        c += '.' + fraction;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        std::string exponent;
        if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            exponent += char(text.at(i++).unicode());
        const std::string run = digits();
        if (!run.empty())
            c += 'e' + exponent + run;
    }
    skipBlanks();
    return i == n ? c : std::string();
}

// Plain decimal notation of r rounded to 15 significant digits, with the
// comma as separator and no trailing zeros in the decimals.
QString plainText(double r)
{
    const QString general = QString::number(r, 'g', 15);
    if (!general.contains(QLatin1Char('e')))
        return QString(general).replace(QLatin1Char('.'), QLatin1Char(','));
    // 10^15 and beyond: the 15 significant digits followed by zeros.
    const QString scientific = QString::number(r, 'e', 14); // "-1.23456789012346e+15"
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    const int exponent = scientific.mid(e + 1).toInt();
    QString mantissa = scientific.left(e);
    const bool negative = mantissa.startsWith(QLatin1Char('-'));
    mantissa.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    QString digits = mantissa.leftJustified(exponent + 1, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + digits : digits;
}
} // namespace

bool IsPriceKey(int key, QStringView typed)
{
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Left || key == Qt::Key_Right)
        return true;
    return typed.size() == 1 && (isDigit(typed.front()) || typed.front() == QLatin1Char(','));
}

QString NormalizePrice(const QString& text)
{
    if (trimControl(text).isEmpty())
        return kZero;
    const std::string c = numberText(text);
    if (c.empty())
        return kZero;
    double v = 0;
    const auto [end, error] = std::from_chars(c.data(), c.data() + c.size(), v);
    if (error != std::errc() || end != c.data() + c.size() || !std::isfinite(v))
        return kZero;

    // Half a cent rounds away from zero; amounts below zero can only be
    // pasted, and are rounded like their positive counterparts.
    const long double magnitude = std::fabs(static_cast<long double>(v));
    const long double cents = std::trunc(magnitude * 100.0L + 0.5L);
    if (cents == 0)
        return kZero;
    const double r = static_cast<double>((v < 0 ? -cents : cents) / 100.0L);

    QString result = plainText(r);
    if (!result.contains(QLatin1Char(',')))
        result += QStringLiteral(",00");
    if (result.size() >= 2 && result.at(result.size() - 2) == QLatin1Char(','))
        result += QLatin1Char('0');
    return result;
}

QString NormalizePriceToFit(const QString& text, int capacity)
{
    const QString canonical = NormalizePrice(text);
    return canonical.size() <= capacity ? canonical : text;
}

} // namespace vinarca
