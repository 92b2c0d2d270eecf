#pragma once

#include "LabelCheck.h"

namespace vinarca {

// Labels the user chose to print without being asked again about their
// findings. They are kept beside the label archive, in a file of their own
// ("Etichette_Verticali.verificate"), so the archive keeps its format: one
// label a line, the SHA-1 print of its nine lines as they print, a tab and
// its first line for whoever reads the file. A mark holds for the texts it
// was given: a label changed since asks again.
QString labelMarksPath(const LabelKind& kind);
QString labelMarkKey(const QStringList& lines);
bool isLabelMarked(const LabelKind& kind, const QStringList& lines);
// Adds the marks (once each), rewriting the file whole through the atomic
// save; false when the file could not be written (the old one stays).
bool markLabels(const LabelKind& kind, const QList<QStringList>& labels);

// One label of a print: a name the findings window shows over its findings
// (the product, say) and its nine lines in label order.
struct LabelToPrint
{
    QString name;
    QStringList lines;
};

struct LabelCheckResult
{
    int index = 0; // in the list checked
    QString name;
    QStringList lines;
    QList<LabelFinding> findings;
};

// The labels of a print that have findings and are not marked, in the order
// given: what the question before the print shows. A print of many labels
// checks them all here and asks once.
QList<LabelCheckResult> labelsToConfirm(const LabelKind& kind, const QList<LabelToPrint>& labels,
                                        const QDate& today = QDate::currentDate());

} // namespace vinarca
