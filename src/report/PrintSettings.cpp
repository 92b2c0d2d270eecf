#include "PrintSettings.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"
#include "ShortString.h"

#include <QFile>
#include <QStringDecoder>

#include <cmath>

namespace vinarca {

namespace {

// The header of a document's section, and of a printer's.
QString documentSection(const QString& document)
{
    return QStringLiteral("Documento ") + document;
}

const QString kPrinterPrefix = QStringLiteral("Stampante ");
const QString kPdfSection = QStringLiteral("File PDF");

struct ModeName
{
    PrintMode mode;
    const char* name;
};

constexpr ModeName kModeNames[] = {
    {PrintMode::Default, "Default"},
    {PrintMode::SplitBigPages, "SplitBigPages"},
    {PrintMode::JoinSmallPages, "JoinSmallPages"},
    {PrintMode::Scale, "Scale"},
    {PrintMode::PrintOnSheet, "PrintOnSheet"},
};

// "[name]" gives name; anything else is not a header. Blanks around the
// brackets do not count; inside them they are part of the name.
bool headerName(const QString& line, QString& name)
{
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return false;
    name = unescapeIniName(trimmed.mid(1, trimmed.size() - 2));
    return true;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// The code of the %XX escape starting at `at`, or -1.
int escapeAt(const QString& text, qsizetype at)
{
    if (at + 2 >= text.size() || text.at(at) != QLatin1Char('%'))
        return -1;
    const int high = hexDigit(text.at(at + 1)), low = hexDigit(text.at(at + 2));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder(bytes);
    return !decoder.hasError();
}

bool fitsWindows1252(const QString& text)
{
    return fromWindows1252(toWindows1252(text)) == text;
}

// The key of a "key=value" line; empty for anything else.
QString keyOf(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals > 0 ? line.left(equals).trimmed() : QString();
}

QString number(double value)
{
    // Enough digits for a hundredth of a millimetre and a scale to 1/100000,
    // without the noise of binary fractions.
    QString text = QString::number(value, 'f', 5);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// A number read back within [low, high], or `fallback` when missing,
// unreadable or out of range. A decimal comma, as an Italian user would
// type it by hand, counts as a point.
double readNumber(const IniText& ini, const QString& section, const QString& key, double low, double high,
                  double fallback)
{
    bool ok = false;
    const double value = ini.value(section, key).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && std::isfinite(value) && value >= low && value <= high ? value : fallback;
}

IniText readSettingsFile()
{
    QFile file(printSettingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniText::parse(file.readAll());
}

bool writeSettingsFile(const IniText& ini)
{
    // Printing with the choices of the last time is the common case: the
    // file already holds them and is left as it is, not written and forced
    // to the disk again while the user waits for the print.
    const QByteArray bytes = ini.toBytes();
    QFile current(printSettingsPath());
    if (current.open(QIODevice::ReadOnly) && current.size() == bytes.size() && current.readAll() == bytes)
        return true;
    return saveWholeFile(printSettingsPath(), bytes);
}

} // namespace

QString printSettingsPath()
{
    return ProgramFolder() + QString::fromLatin1(kPrintSettingsFileName);
}

QString escapeIniName(const QString& name)
{
    qsizetype first = 0, last = name.size();
    while (first < last && name.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && name.at(last - 1) == QLatin1Char(' '))
        --last;
    QString text;
    text.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool endBlank = c == QLatin1Char(' ') && (i < first || i >= last);
        const bool special = c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('[')
            || c == QLatin1Char(']') || (c == QLatin1Char('%') && escapeAt(name, i) >= 0);
        if (endBlank || special)
            text += QLatin1Char('%') + QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            text += c;
    }
    return text;
}

QString unescapeIniName(const QString& text)
{
    QString name;
    name.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = escapeAt(text, i);
        if (code < 0) {
            name += text.at(i);
        } else {
            name += QChar(char16_t(code));
            i += 2;
        }
    }
    return name;
}

IniText IniText::parse(const QByteArray& bytes)
{
    IniText ini;
    ini.m_sections.append(Section{});
    QByteArray body = bytes;
    ini.m_windows1252 = !isUtf8(body);
    if (!ini.m_windows1252 && body.startsWith("\xEF\xBB\xBF")) {
        ini.m_bom = body.left(3);
        body.remove(0, 3);
    }
    qsizetype start = 0;
    bool newlineSeen = false;
    while (start < body.size()) {
        const qsizetype end = body.indexOf('\n', start);
        Line line;
        if (end < 0) {
            line.raw = body.mid(start);
            start = body.size();
        } else {
            const bool crlf = end > start && body.at(end - 1) == '\r';
            line.raw = body.mid(start, end - start - (crlf ? 1 : 0));
            line.ending = crlf ? QByteArray("\r\n") : QByteArray("\n");
            if (!newlineSeen)
                ini.m_newline = line.ending;
            newlineSeen = true;
            start = end + 1;
        }
        if (line.raw.isNull())
            line.raw = QByteArray("");
        line.text = ini.m_windows1252 ? fromWindows1252(line.raw) : QString::fromUtf8(line.raw);
        QString name;
        if (headerName(line.text, name))
            ini.m_sections.append({name, line, {}});
        else
            ini.m_sections.last().lines << line;
    }
    return ini;
}

QByteArray IniText::toBytes() const
{
    QList<const Line*> lines;
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        if (i > 0)
            lines << &m_sections.at(i).header;
        for (const Line& line : m_sections.at(i).lines)
            lines << &line;
    }
    // A Windows-1252 file stays one while it holds what the program writes.
    bool asRead = true;
    if (m_windows1252)
        for (const Line* line : lines)
            if (line->raw.isNull() && !fitsWindows1252(line->text))
                asRead = false;
    QByteArray out = m_bom;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& line = *lines.at(i);
        if (!line.raw.isNull() && asRead)
            out += line.raw;
        else if (m_windows1252 && asRead)
            out += toWindows1252(line.text);
        else
            out += line.text.toUtf8();
        // A last line read without a line ending gets one when lines follow it.
        out += !line.ending.isEmpty() || (i == lines.size() - 1 && !line.raw.isNull()) ? line.ending : m_newline;
    }
    return out;
}

QString IniText::value(const QString& section, const QString& key) const
{
    for (qsizetype i = 1; i < m_sections.size(); ++i) {
        if (m_sections.at(i).name != section)
            continue;
        for (const Line& line : m_sections.at(i).lines)
            if (keyOf(line.text) == key)
                return line.text.mid(line.text.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return {};
}

bool IniText::contains(const QString& section, const QString& key) const
{
    for (qsizetype i = 1; i < m_sections.size(); ++i)
        if (m_sections.at(i).name == section)
            for (const Line& line : m_sections.at(i).lines)
                if (keyOf(line.text) == key)
                    return true;
    return false;
}

void IniText::setValue(const QString& section, const QString& key, const QString& value)
{
    if (m_sections.isEmpty())
        m_sections.append(Section{});
    Section* target = nullptr;
    for (qsizetype i = 1; i < m_sections.size() && !target; ++i)
        if (m_sections[i].name == section)
            target = &m_sections[i];
    if (!target) {
        Line header;
        header.text = QLatin1Char('[') + escapeIniName(section) + QLatin1Char(']');
        m_sections.append({section, header, {}});
        target = &m_sections.last();
    }
    const QString text = key + QLatin1Char('=') + value;
    for (Line& existing : target->lines)
        if (keyOf(existing.text) == key) {
            if (existing.text.mid(existing.text.indexOf(QLatin1Char('=')) + 1).trimmed() != value) {
                existing.text = text;
                existing.raw = QByteArray();
            }
            return;
        }
    // After the section's last setting, before the blank lines that part it
    // from the next section.
    qsizetype at = target->lines.size();
    while (at > 0 && target->lines.at(at - 1).text.trimmed().isEmpty())
        --at;
    Line line;
    line.text = text;
    target->lines.insert(at, line);
}

QStringList IniText::sections() const
{
    QStringList names;
    for (qsizetype i = 1; i < m_sections.size(); ++i)
        names << m_sections.at(i).name;
    return names;
}

DocumentPrintSettings loadDocumentPrintSettings(const QString& document)
{
    const IniText ini = readSettingsFile();
    const QString section = documentSection(document);
    DocumentPrintSettings settings;
    const QString mode = ini.value(section, QStringLiteral("Modalita"));
    for (const ModeName& m : kModeNames)
        if (mode == QLatin1String(m.name))
            settings.choices.mode = m.mode;
    settings.copies = int(readNumber(ini, section, QStringLiteral("Copie"), 1, 9999, 1));
    const QString sheet = ini.value(section, QStringLiteral("Foglio"));
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id)
        if (!sheet.isEmpty() && QPageSize::key(QPageSize::PageSizeId(id)) == sheet)
            settings.choices.sheet = QPageSize(QPageSize::PageSizeId(id));
    LabelStock& stock = settings.choices.stock;
    const LabelStock plain;
    stock.firstMm.setX(readNumber(ini, section, QStringLiteral("PrimaEtichettaDaSinistra"), 0, 1000, plain.firstMm.x()));
    stock.firstMm.setY(readNumber(ini, section, QStringLiteral("PrimaEtichettaDallAlto"), 0, 1000, plain.firstMm.y()));
    stock.gapXMm = readNumber(ini, section, QStringLiteral("SpazioOrizzontale"), 0, 1000, plain.gapXMm);
    stock.gapYMm = readNumber(ini, section, QStringLiteral("SpazioVerticale"), 0, 1000, plain.gapYMm);
    stock.startAt = int(readNumber(ini, section, QStringLiteral("IniziaDallEtichetta"), 1, 999, plain.startAt));
    stock.cropMarks = ini.value(section, QStringLiteral("Crocini")) == QLatin1String("1");
    return settings;
}

bool saveDocumentPrintSettings(const QString& document, const DocumentPrintSettings& settings)
{
    IniText ini = readSettingsFile();
    const QString section = documentSection(document);
    for (const ModeName& m : kModeNames)
        if (settings.choices.mode == m.mode)
            ini.setValue(section, QStringLiteral("Modalita"), QString::fromLatin1(m.name));
    ini.setValue(section, QStringLiteral("Copie"), QString::number(std::max(1, settings.copies)));
    ini.setValue(section, QStringLiteral("Foglio"), QPageSize::key(settings.choices.sheet.id()));
    const LabelStock& stock = settings.choices.stock;
    ini.setValue(section, QStringLiteral("PrimaEtichettaDaSinistra"), number(stock.firstMm.x()));
    ini.setValue(section, QStringLiteral("PrimaEtichettaDallAlto"), number(stock.firstMm.y()));
    ini.setValue(section, QStringLiteral("SpazioOrizzontale"), number(stock.gapXMm));
    ini.setValue(section, QStringLiteral("SpazioVerticale"), number(stock.gapYMm));
    ini.setValue(section, QStringLiteral("IniziaDallEtichetta"), QString::number(stock.startAt));
    ini.setValue(section, QStringLiteral("Crocini"), stock.cropMarks ? QStringLiteral("1") : QStringLiteral("0"));
    return writeSettingsFile(ini);
}

namespace {

Calibrations calibrationsIn(const IniText& ini)
{
    Calibrations calibrations;
    const PrinterCalibration identity;
    for (const QString& section : ini.sections()) {
        if (!section.startsWith(kPrinterPrefix))
            continue;
        PrinterCalibration c;
        c.offsetXMm = readNumber(ini, section, QStringLiteral("SpostamentoOrizzontale"), -50, 50, identity.offsetXMm);
        c.offsetYMm = readNumber(ini, section, QStringLiteral("SpostamentoVerticale"), -50, 50, identity.offsetYMm);
        c.scaleX = readNumber(ini, section, QStringLiteral("ScalaOrizzontale"), 0.8, 1.2, identity.scaleX);
        c.scaleY = readNumber(ini, section, QStringLiteral("ScalaVerticale"), 0.8, 1.2, identity.scaleY);
        calibrations.byPrinter.insert(section.mid(kPrinterPrefix.size()), c);
    }
    calibrations.forPdf = unescapeIniName(ini.value(kPdfSection, QStringLiteral("TaraturaDellaStampante")));
    return calibrations;
}

} // namespace

Calibrations loadCalibrations()
{
    return calibrationsIn(readSettingsFile());
}

bool saveCalibrations(const Calibrations& calibrations)
{
    IniText ini = readSettingsFile();
    // A printer whose values the file already holds keeps its lines as they
    // are, as the user may have typed them ("1,5").
    const Calibrations before = calibrationsIn(ini);
    for (auto it = calibrations.byPrinter.cbegin(); it != calibrations.byPrinter.cend(); ++it) {
        if (before.byPrinter.contains(it.key()) && before.byPrinter.value(it.key()) == *it)
            continue;
        const QString section = kPrinterPrefix + it.key();
        ini.setValue(section, QStringLiteral("SpostamentoOrizzontale"), number(it->offsetXMm));
        ini.setValue(section, QStringLiteral("SpostamentoVerticale"), number(it->offsetYMm));
        ini.setValue(section, QStringLiteral("ScalaOrizzontale"), number(it->scaleX));
        ini.setValue(section, QStringLiteral("ScalaVerticale"), number(it->scaleY));
    }
    if (!calibrations.forPdf.isEmpty() || ini.contains(kPdfSection, QStringLiteral("TaraturaDellaStampante")))
        ini.setValue(kPdfSection, QStringLiteral("TaraturaDellaStampante"), escapeIniName(calibrations.forPdf));
    return writeSettingsFile(ini);
}

} // namespace vinarca
