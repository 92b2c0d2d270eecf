#pragma once

#include "DocumentWindow.h"
#include "LabelRecord.h"

#include <QImage>
#include <QStringList>

#include <memory>

namespace vinarca {

// The logo decoded for paper: 300 dots per inch of the larger logo box at most.
inline constexpr QSize kPrintedLogoSize(1300, 1300);

class LabelEditor;
class TReport;

// What a printed label carries: the nine preview texts in label order, as
// the editor shows them, and the logo it displays.
struct LabelPrintInput
{
    QStringList lines = QStringList(kLabelLineCount);
    QImage logo;
};

// The print or preview window of a label of the given kind, as its named
// subclasses show it; its layout path and its failure warning among them.
DocumentWindowSpec labelDocumentSpec(const LabelKind& kind, DocumentAction action);
QString labelLayoutPath(const LabelKind& kind);
QString labelFailureMessage(DocumentAction action);

// The label layout of a kind as delivered, and filled with the texts
// (characters of code 32 or less trimmed at both ends), ready to prepare.
// A text wider than its box prints from the box's left edge and is cut at
// the right edge, as on the live label. A text box the layout lacks throws.
std::unique_ptr<TReport> loadLabelLayout(const LabelKind& kind);
void fillLabelTexts(TReport& label, const QStringList& lines);
void fillLabel(TReport& label, const LabelPrintInput& input);
// The print window's fill: the input's texts (its logo goes in as the window's picture).
DocumentWindow::Fill labelTextsFill(const LabelPrintInput& input);

// What the editor shows now, saved or not.
LabelPrintInput labelPrintInput(const LabelEditor& editor);

// Opens the print or preview window of the editor's kind, owned by the
// editor, modally through the platform seam, and destroys it when it closes.
void openLabelDocument(LabelEditor& editor, DocumentAction action);

} // namespace vinarca
