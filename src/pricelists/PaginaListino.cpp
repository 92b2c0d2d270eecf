#include "PaginaListino.h"

#include "PriceListWindows.h"

#include "Platform.h"
#include "PricePage.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ShortString.h"

namespace vinarca {

namespace {
const QString kLayout = QStringLiteral(":/pricelists/reports/listino.json");

template<typename View>
View& viewOf(TReport& page, const QString& name)
{
    auto* view = page.find<View>(name);
    if (!view)
        throw ReportError("the price-list page has no object " + name.toStdString());
    return *view;
}
} // namespace

std::unique_ptr<TReport> loadPricePageLayout()
{
    return loadReportLayout(kLayout);
}

void fillPricePage(TReport& page, const PricePageInput& input)
{
    if (input.texts.size() != pricepage::layout().fieldCount())
        throw ReportError("the price-list page needs forty texts");
    page.page().setOrientation(QPageLayout::Portrait);
    viewOf<TMemoView>(page, QStringLiteral("txtNome")).setText(trimControl(input.title));
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        const QString letter = pricepage::slotLetters().at(slot);
        viewOf<TPictureView>(page, QStringLiteral("imgFoto_") + letter)
            .setPicture(input.pictures.at(static_cast<std::size_t>(slot)));
        for (const QString& field : pricepage::slotFields()) {
            QString text = trimControl(input.texts.at(pricepage::fieldIndex(slot, field)));
            if (field == QLatin1String("Prezzo"))
                text.prepend(QStringLiteral("€  "));
            viewOf<TMemoView>(page, QStringLiteral("txt") + field + QLatin1Char('_') + letter).setText(text);
        }
    }
    viewOf<TMemoView>(page, QStringLiteral("txtPagina")).setText(trimControl(input.page));
}

DocumentWindowSpec pricePageSpec(DocumentAction action)
{
    DocumentWindowSpec setup = documentSetup(action, QStringLiteral(":/pricelists"));
    setup.layout = kLayout;
    if (action == DocumentAction::Print) {
        setup.objectName = QStringLiteral("frmStampaProdotto");
        setup.caption = QStringLiteral(" Stampa scheda");
        setup.heading = QStringLiteral("Stampa documento");
        setup.what = QStringLiteral("Questa operazione provvederà a stampare su carta il documento con i dati immessi "
                                   "nei campi di testo.");
        setup.failure = QStringLiteral("Attenzione: la stampa non è andata a buon fine.");
    } else {
        setup.objectName = QStringLiteral("frmAnteprimaProdotto");
        setup.what = QStringLiteral("Questa operazione consente di visualizzare in anteprima i dati che appariranno in "
                                   "stampa.");
        setup.how = QStringLiteral("Fare clic su Mostra anteprima per visualizzare il documento sullo schermo prima di "
                                  "eseguire la stampa su carta.");
        setup.failure =
            QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata a buon fine.");
    }
    return setup;
}

void openPricePage(QWidget* owner, const PricePageInput& input, DocumentAction action)
{
    openDocumentWindow<TfrmStampaProdotto, TfrmAnteprimaProdotto>(owner, input, action);
}

} // namespace vinarca
