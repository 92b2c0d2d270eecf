#include "PrintSettings.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"

#include <QFile>

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

// "[name]" gives name; anything else is not a header.
bool headerName(const QString& line, QString& name)
{
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return false;
    name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return true;
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

IniText IniText::parse(const QByteArray& bytes)
{
    IniText ini;
    ini.m_sections.append(Section{});
    QString text = QString::fromUtf8(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (const QString& line : lines) {
        QString name;
        if (headerName(line, name))
            ini.m_sections.append({name, {}});
        else
            ini.m_sections.last().lines << line;
    }
    return ini;
}

QByteArray IniText::toBytes() const
{
    QString text;
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        const Section& section = m_sections.at(i);
        if (i > 0)
            text += QLatin1Char('[') + section.name + QLatin1String("]\n");
        for (const QString& line : section.lines)
            text += line + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString IniText::value(const QString& section, const QString& key) const
{
    for (qsizetype i = 1; i < m_sections.size(); ++i) {
        if (m_sections.at(i).name != section)
            continue;
        for (const QString& line : m_sections.at(i).lines)
            if (keyOf(line) == key)
                return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return {};
}

bool IniText::contains(const QString& section, const QString& key) const
{
    for (qsizetype i = 1; i < m_sections.size(); ++i)
        if (m_sections.at(i).name == section)
            for (const QString& line : m_sections.at(i).lines)
                if (keyOf(line) == key)
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
        m_sections.append({section, {}});
        target = &m_sections.last();
    }
    const QString line = key + QLatin1Char('=') + value;
    for (QString& existing : target->lines)
        if (keyOf(existing) == key) {
            existing = line;
            return;
        }
    // After the section's last setting, before the blank lines that part it
    // from the next section.
    qsizetype at = target->lines.size();
    while (at > 0 && target->lines.at(at - 1).trimmed().isEmpty())
        --at;
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

Calibrations loadCalibrations()
{
    const IniText ini = readSettingsFile();
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
    calibrations.forPdf = ini.value(kPdfSection, QStringLiteral("TaraturaDellaStampante"));
    return calibrations;
}

bool saveCalibrations(const Calibrations& calibrations)
{
    IniText ini = readSettingsFile();
    for (auto it = calibrations.byPrinter.cbegin(); it != calibrations.byPrinter.cend(); ++it) {
        const QString section = kPrinterPrefix + it.key();
        ini.setValue(section, QStringLiteral("SpostamentoOrizzontale"), number(it->offsetXMm));
        ini.setValue(section, QStringLiteral("SpostamentoVerticale"), number(it->offsetYMm));
        ini.setValue(section, QStringLiteral("ScalaOrizzontale"), number(it->scaleX));
        ini.setValue(section, QStringLiteral("ScalaVerticale"), number(it->scaleY));
    }
    if (!calibrations.forPdf.isEmpty() || ini.contains(kPdfSection, QStringLiteral("TaraturaDellaStampante")))
        ini.setValue(kPdfSection, QStringLiteral("TaraturaDellaStampante"), calibrations.forPdf);
    return writeSettingsFile(ini);
}

} // namespace vinarca
