#include "WineWindows.h"

TfrmStampaVini::TfrmStampaVini(const vinarca::WineSheetInput& input, QWidget* parent)
    : DocumentWindow(vinarca::wineSheetSpec(vinarca::DocumentAction::Print), input.photo,
                     [fields = input.fields](vinarca::TReport& sheet) { vinarca::fillWineSheetTexts(sheet, fields); },
                     parent)
{
    if (input.comingPhoto.valid())
        setComingPicture(input.comingPhoto);
}

TfrmAnteprimaVini::TfrmAnteprimaVini(const vinarca::WineSheetInput& input, QWidget* parent)
    : DocumentWindow(vinarca::wineSheetSpec(vinarca::DocumentAction::Preview), input.photo,
                     [fields = input.fields](vinarca::TReport& sheet) { vinarca::fillWineSheetTexts(sheet, fields); },
                     parent)
{
    if (input.comingPhoto.valid())
        setComingPicture(input.comingPhoto);
}
