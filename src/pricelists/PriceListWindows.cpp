#include "PriceListWindows.h"

#include "Palette.h"

using namespace vinarca;

TfrmMenuListini* frmMenuListini = nullptr;

// Guida at the bottom left, Esci at the bottom right of the panel.
TfrmMenuListini::TfrmMenuListini(QWidget* parent)
    : ChoiceMenu({QStringLiteral("frmMenuListini"), QStringLiteral(" Vinarca - Listini Prezzi"), palette::SteelBlue,
                  QStringLiteral(":/pricelists"), QStringLiteral("listini_menu"), QStringLiteral("Crea nuovo listino"),
                  QStringLiteral("Apri listino esistente"), QStringLiteral("crea"), QStringLiteral("apri"),
                  HelpTopic::PriceLists, QPoint(67, 600), QPoint(808, 600)},
                 parent)
{
}

TfrmAnteprimaProdotto::TfrmAnteprimaProdotto(const vinarca::PricePageInput& input, QWidget* parent)
    : DocumentWindow(vinarca::pricePageSpec(vinarca::DocumentAction::Preview), QImage(),
                     [input](vinarca::TReport& page) { vinarca::fillPricePage(page, input); }, parent)
{
}

TfrmStampaProdotto::TfrmStampaProdotto(const vinarca::PricePageInput& input, QWidget* parent)
    : DocumentWindow(vinarca::pricePageSpec(vinarca::DocumentAction::Print), QImage(),
                     [input](vinarca::TReport& page) { vinarca::fillPricePage(page, input); }, parent)
{
}
