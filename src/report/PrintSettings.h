#pragma once

#include "PrintChoices.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vinarca {

// The file in the program folder that keeps what the user chose in the
// print dialog, for each kind of document, and the calibration of each
// printer: plain INI text the user may read, copy or delete. Deleting it
// brings back the first-run choices.
inline constexpr char kPrintSettingsFileName[] = "Impostazioni_Stampa.ini";
QString printSettingsPath();

// An INI text kept line by line, so that writing one section leaves every
// other line of the file, even one the program does not understand, as it
// was.
class IniText
{
public:
    static IniText parse(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The value of `key` in `section`; empty when either is missing.
    QString value(const QString& section, const QString& key) const;
    bool contains(const QString& section, const QString& key) const;
    // Sets the key, adding the section or the key at its end when missing.
    void setValue(const QString& section, const QString& key, const QString& value);
    QStringList sections() const;

private:
    struct Section
    {
        QString name;
        QStringList lines; // the section's lines after its header, as read
    };
    QList<Section> m_sections; // the first one, unnamed, holds what comes before any header
};

// What the print dialog offers first for a kind of document: what was
// chosen the last time one was printed, or the first-run choices when the
// file, the section or a value is missing or damaged.
struct DocumentPrintSettings
{
    PrintChoices choices; // mode, sheet and label stock; the calibrations are kept apart
    int copies = 1;
};

DocumentPrintSettings loadDocumentPrintSettings(const QString& document);
// Writes one document's settings, keeping the rest of the file; false when
// the file cannot be written (the earlier file then stays as it was).
bool saveDocumentPrintSettings(const QString& document, const DocumentPrintSettings& settings);

Calibrations loadCalibrations();
bool saveCalibrations(const Calibrations& calibrations);

} // namespace vinarca
