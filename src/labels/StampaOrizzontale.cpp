#include "StampaOrizzontale.h"

TfrmStampaOrizzontale::TfrmStampaOrizzontale(const vinarca::LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(vinarca::labelDocumentSpec(vinarca::horizontalLabelKind(), vinarca::DocumentAction::Print), input.logo,
                     [lines = input.lines](vinarca::TReport& label) { vinarca::fillLabelTexts(label, lines); }, parent)
{
}
