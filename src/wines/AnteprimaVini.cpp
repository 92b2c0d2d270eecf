#include "AnteprimaVini.h"

TfrmAnteprimaVini::TfrmAnteprimaVini(const vinarca::WineSheetInput& input, QWidget* parent)
    : SchedaVinoWindow(vinarca::SheetAction::Preview, input, parent)
{
}
