#include "AnteprimaVerticale.h"

TfrmAnteprimaVerticale::TfrmAnteprimaVerticale(const vinarca::LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(vinarca::labelDocumentSpec(vinarca::verticalLabelKind(), vinarca::DocumentAction::Preview), input.logo,
                     [lines = input.lines](vinarca::TReport& label) { vinarca::fillLabelTexts(label, lines); }, parent)
{
}
