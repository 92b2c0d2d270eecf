#include "LabelWindows.h"

#include "ExportWindow.h"
#include "Palette.h"

using namespace vinarca;

TfrmMenuEtichette* frmMenuEtichette = nullptr;
TfrmVerticali* frmVerticali = nullptr;
TfrmOrizzontali* frmOrizzontali = nullptr;

TfrmMenuEtichette::TfrmMenuEtichette(QWidget* parent)
    : ChoiceMenu({QStringLiteral("frmMenuEtichette"), QStringLiteral(" Vinarca - Etichette Bottiglie"),
                  palette::WindowBlue, QStringLiteral(":/labels"), QStringLiteral("etichette_menu"),
                  QStringLiteral("Etichette orizzontali"), QStringLiteral("Etichette verticali"),
                  QStringLiteral("orizzontali"), QStringLiteral("verticali"), HelpTopic::Labels, QPoint(355, 560),
                  QPoint(515, 560)},
                 parent)
{
}

TfrmVerticali::TfrmVerticali(QWidget* parent) : LabelEditor(verticalLabelKind(), parent) {}
TfrmOrizzontali::TfrmOrizzontali(QWidget* parent) : LabelEditor(horizontalLabelKind(), parent) {}

TfrmStampaVerticale::TfrmStampaVerticale(const LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(labelDocumentSpec(verticalLabelKind(), DocumentAction::Print), input.logo,
                     labelTextsFill(input), parent)
{
}

TfrmAnteprimaVerticale::TfrmAnteprimaVerticale(const LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(labelDocumentSpec(verticalLabelKind(), DocumentAction::Preview), input.logo,
                     labelTextsFill(input), parent)
{
}

TfrmStampaOrizzontale::TfrmStampaOrizzontale(const LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(labelDocumentSpec(horizontalLabelKind(), DocumentAction::Print), input.logo,
                     labelTextsFill(input), parent)
{
}

TfrmAnteprimaOrizzontale::TfrmAnteprimaOrizzontale(const LabelPrintInput& input, QWidget* parent)
    : DocumentWindow(labelDocumentSpec(horizontalLabelKind(), DocumentAction::Preview), input.logo,
                     labelTextsFill(input), parent)
{
}

TfrmTrovaEtichetteVer::TfrmTrovaEtichetteVer(QWidget* owner) : LabelSearchWindow(verticalLabelKind(), owner) {}
TfrmTrovaEtichetteOri::TfrmTrovaEtichetteOri(QWidget* owner) : LabelSearchWindow(horizontalLabelKind(), owner) {}

namespace vinarca {

// How each kind makes its windows: the named classes above.
template<typename Print, typename Preview, typename Search, typename Export, const LabelKind& (*kindOf)()>
static const LabelWindowMakers& makers()
{
    static const LabelWindowMakers m{
        [](const LabelPrintInput& input, DocumentAction action, QWidget* owner) -> std::unique_ptr<DocumentWindow> {
            if (action == DocumentAction::Print)
                return std::make_unique<Print>(input, owner);
            return std::make_unique<Preview>(input, owner);
        },
        [](QWidget* owner) -> std::unique_ptr<LabelSearchWindow> { return std::make_unique<Search>(owner); },
        [](QWidget* owner) -> std::unique_ptr<QDialog> { return std::make_unique<Export>(kindOf().record, owner); },
    };
    return m;
}

const LabelWindowMakers& verticalLabelWindows()
{
    return makers<TfrmStampaVerticale, TfrmAnteprimaVerticale, TfrmTrovaEtichetteVer, TfrmExpVerticali, &verticalLabelKind>();
}

const LabelWindowMakers& horizontalLabelWindows()
{
    return makers<TfrmStampaOrizzontale, TfrmAnteprimaOrizzontale, TfrmTrovaEtichetteOri, TfrmExpOrizzontali, &horizontalLabelKind>();
}

} // namespace vinarca
