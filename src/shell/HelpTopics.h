#pragma once

#include <QList>
#include <QString>

namespace vinarca {

enum class HelpTopic { Overview, Wines, PriceLists, Labels, WineExport, LabelExport };

struct HelpText
{
    QString title;
    QString body; // paragraphs separated by one empty line (CR LF CR LF)
};

// The help texts delivered with the program. The overview is built from an
// introduction, the three application bodies and four closing paragraphs, so
// the texts never drift apart.
HelpText helpText(HelpTopic topic);

// The chapters of the user manual (Guida.pdf): the program as a whole
// (introduction and closing paragraphs), starting it on Linux, then each
// application, printing labels on sheets after the labels, and the exports.
QList<HelpText> manualChapters();

} // namespace vinarca
