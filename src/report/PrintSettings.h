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
// was, byte for byte: its line ending and its code page included. A file
// that is not UTF-8 is read as Windows-1252, as an editor on Windows saves
// it. Section names are given and returned as they are; in the file, the
// characters a header line cannot hold are written as %XX (see
// escapeIniName), so any name comes back as it went in.
class IniText
{
public:
    static IniText parse(const QByteArray& bytes);
    // Lines read come back as read; lines the program wrote end as the
    // file's lines do and are in the file's code page when it holds them
    // all, else the whole file is written as UTF-8.
    QByteArray toBytes() const;

    // The value of `key` in `section`; empty when either is missing.
    QString value(const QString& section, const QString& key) const;
    bool contains(const QString& section, const QString& key) const;
    // Sets the key, adding the section or the key at its end when missing;
    // a key that already holds the value is left untouched.
    void setValue(const QString& section, const QString& key, const QString& value);
    QStringList sections() const;

private:
    struct Line
    {
        QString text;      // without its line ending
        QByteArray raw;    // the bytes as read; null for a line the program wrote
        QByteArray ending; // "\n", "\r\n", or nothing for a last line without one
    };
    struct Section
    {
        QString name;
        Line header; // unused in the first section
        QList<Line> lines;
    };
    QList<Section> m_sections; // the first one, unnamed, holds what comes before any header
    QByteArray m_bom;          // a UTF-8 file's byte order mark, kept
    QByteArray m_newline = "\n";
    bool m_windows1252 = false;
};

// A name for a section header or a value: control characters (line breaks
// among them), '[' and ']', blanks at either end, and a '%' that would read
// as an escape become %XX; every other name, non-ASCII letters included, is
// written as it is. unescapeIniName turns %XX back and leaves any other '%'.
QString escapeIniName(const QString& name);
QString unescapeIniName(const QString& text);

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
