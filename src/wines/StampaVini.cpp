#include "StampaVini.h"

TfrmStampaVini::TfrmStampaVini(const vinarca::WineSheetInput& input, QWidget* parent)
    : SchedaVinoWindow(vinarca::SheetAction::Print, input, parent)
{
}
