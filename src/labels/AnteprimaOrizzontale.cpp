#include "AnteprimaOrizzontale.h"

TfrmAnteprimaOrizzontale::TfrmAnteprimaOrizzontale(const vinarca::LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(vinarca::labelDocumentSpec(vinarca::horizontalLabelKind(), vinarca::DocumentAction::Preview), input.logo,
                     [lines = input.lines](vinarca::TReport& label) { vinarca::fillLabelTexts(label, lines); }, parent)
{
}
