#include "AnteprimaVini.h"

TfrmAnteprimaVini::TfrmAnteprimaVini(const vinarca::WineSheetInput& input, QWidget* parent)
    : DocumentWindow(vinarca::wineSheetSpec(vinarca::DocumentAction::Preview), input.photo,
                     [fields = input.fields](vinarca::TReport& sheet) { vinarca::fillWineSheetTexts(sheet, fields); },
                     parent)
{
}
