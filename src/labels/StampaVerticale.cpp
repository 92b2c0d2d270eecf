#include "StampaVerticale.h"

TfrmStampaVerticale::TfrmStampaVerticale(const vinarca::LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(vinarca::labelDocumentSpec(vinarca::verticalLabelKind(), vinarca::DocumentAction::Print), input.logo,
                     [lines = input.lines](vinarca::TReport& label) { vinarca::fillLabelTexts(label, lines); }, parent)
{
}
