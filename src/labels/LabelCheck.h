#pragma once

#include "LabelRecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <span>

namespace vinarca {

struct LabelGeometry;

// The check of a bottle label against the compulsory particulars of wine
// labels in the European Union and their minimum sizes. It only warns: it
// never refuses a label and never changes a text; the winery decides.

enum class LabelRule {
    Alcohol,       // actual alcoholic strength, in whole or half units, "% vol"
    Volume,        // nominal volume present
    VolumeFigures, // height of the nominal volume's figures
    Sulphites,     // "contiene solfiti"
    Lot,           // lot mark
    Bottler,       // "imbottigliato da"
    Designation,   // category or protected designation
    Provenance,    // country of provenance
    XHeight,       // x-height of the lines carrying a particular
    Energy,        // energy value, or the mention that nutrition and ingredients are given elsewhere
    Cut,           // a line wider than its place: its end does not print
};

// One rule as the check knows it: its name, its source, the date it applies
// from and what it asks for, in the words the help and the findings use.
struct LabelRuleFacts
{
    LabelRule rule;
    const char* title;       // "Titolo alcolometrico"
    const char* reference;   // "Reg. (UE) 2019/33, art. 44"
    QDate since;             // the date the rule applies from
    const char* requirement; // what the label must carry
};

// The rules in the order the findings and the help list them; the date the
// table was last reviewed against the texts of the rules.
std::span<const LabelRuleFacts> labelRules();
const LabelRuleFacts& labelRuleFacts(LabelRule rule);
QDate labelRulesReviewed();

// The size of one line as it prints, from the font its printed text box
// draws it with, in millimetres on paper.
struct LabelLineSize
{
    double xHeightMm = 0;      // height of a small "x"
    double figureHeightMm = 0; // height of the figures "0" to "9"
};

// What one line of the label will print: the text trimmed as the print trims
// it, and cut where it passes its box.
struct PrintedLine
{
    QString text;    // what prints
    QString lost;    // the end that passes the box and does not print
    LabelLineSize size;
};

struct LabelFinding
{
    LabelRule rule;
    int line = -1;          // label line (0 = top), -1: the label as a whole
    bool toVerify = false;  // a reminder to check, not a fault found
    QString text;           // names the rule, the line and what was expected
};

// The label's nine lines (label order) as they will print with the kind's layout.
QList<PrintedLine> printedLines(const LabelGeometry& geometry, const QStringList& lines);

// The findings for lines as they print; `today` decides which rules apply
// yet. An empty list: the label passes what the check knows.
QList<LabelFinding> checkPrintedLines(const QList<PrintedLine>& lines, const QDate& today);
QList<LabelFinding> checkLabel(const LabelKind& kind, const QStringList& lines,
                               const QDate& today = QDate::currentDate());

// "Rigo 3" for a line, "Etichetta" for the label as a whole.
QString labelLinePlace(int line);

} // namespace vinarca
