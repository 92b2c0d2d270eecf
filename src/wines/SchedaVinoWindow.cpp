#include "SchedaVinoWindow.h"

#include "WineWindows.h"
#include "Length.h"
#include "Platform.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ShortString.h"
#include "WineRecord.h"

#include <system_error>

namespace vinarca {

// The grid's right column in row 237 prints the stock (field Giacenza).
const SheetField kSheetFields[22] = {
    {"txtVino", "Nome"},
    {"txtProduttore", "Produttore"},
    {"txtDesignazione", "Designazione"},
    {"txtNazione", "Nazione"},
    {"txtRegione", "Regione"},
    {"txtZona", "Zona"},
    {"txtCantina", "Cantina"},
    {"txtAnnata", "Annata"},
    {"txtInvecchiamento", "Invecchiamento"},
    {"txtMaturazione", "Maturazione"},
    {"txtColore", "Colore"},
    {"txtProfumo", "Profumo"},
    {"txtGusto", "Gusto"},
    {"txtRetrogusto", "Retrogusto"},
    {"txtGrado", "Grado"},
    {"txtAcidita", "Acidita"},
    {"txtTemperatura", "Temperatura"},
    {"txtFornitore", "Fornitore"},
    {"txtTel", "Giacenza"},
    {"txtPrezzo", "Prezzo"},
    {"txtConservazione", "Conservazione"},
    {"txtNote", "Note"},
};

namespace {
const QString kLayout = QStringLiteral(":/wines/reports/scheda_vino.json");
const QString kStandBy = QStringLiteral(":/wines/reports/foto_attesa.svg");
} // namespace

QString sheetFailureMessage(DocumentAction action)
{
    return action == DocumentAction::Print
        ? QStringLiteral("Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
                         "Si consiglia di ridurre le dimensioni della foto.")
        : QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata a buon fine.\n\r\n\r"
                         "Si consiglia di ridurre le dimensioni della foto.");
}

DocumentWindowSpec wineSheetSpec(DocumentAction action)
{
    DocumentWindowSpec setup = documentSetup(action, QStringLiteral(":/wines"));
    setup.layout = kLayout;
    setup.pictureView = QStringLiteral("imgLogo");
    setup.standBy = kStandBy;
    setup.failure = sheetFailureMessage(action);
    if (action == DocumentAction::Print) {
        setup.objectName = QStringLiteral("frmStampaVini");
        setup.caption = QStringLiteral(" Stampa scheda");
        setup.heading = QStringLiteral("Stampa scheda");
        setup.what = QStringLiteral("Questa operazione provvederà a stampare la scheda corrente su carta con i dati "
                                   "immessi dall'utente.");
    } else {
        setup.objectName = QStringLiteral("frmAnteprimaVini");
        setup.what = QStringLiteral("Questa operazione consente di visualizzare in anteprima i dati che appariranno in "
                                   "stampa.");
        setup.how = QStringLiteral("Fare clic su Mostra anteprima per visualizzare il documento sullo schermo prima di "
                                  "eseguire la stampa su carta.");
    }
    return setup;
}

namespace {
// The sheet's photo area in pixels at `dotsPerInch`.
QSize photoAreaPixels(double dotsPerInch)
{
    static const QSizeF area = [] {
        const auto sheet = loadWineSheet();
        const auto* picture = sheet->find<TPictureView>(QStringLiteral("imgLogo"));
        return picture ? picture->geometry.size() : QSizeF();
    }();
    return (area * (dotsPerInch / kUnitsPerInch)).toSize();
}
} // namespace

namespace {
// A JPEG is reduced while it is decoded by a half, a quarter or an eighth,
// so asking for 200 dpi takes the first of those that reaches it: a 6000 x
// 4000 camera photo comes out at 1500 x 1000, some 240 dpi over the 106 mm
// height, decoded in much less time than at a half.
QSize sheetPhotoSize(const Photo& shown)
{
    return photoAreaPixels(shown.jpegBytes.isEmpty() ? 300 : 200);
}
} // namespace

QImage wineSheetPhoto(const Photo& shown)
{
    return photoImageAt(shown, sheetPhotoSize(shown));
}

std::shared_future<QImage> wineSheetPhotoAhead(const Photo& shown)
{
    const QSize size = sheetPhotoSize(shown);
    if (shown.jpegBytes.isEmpty() && shown.image.isNull()) {
        std::promise<QImage> none;
        none.set_value(QImage());
        return none.get_future().share();
    }
    // The copy of the photo shares its pixels and bytes with the editor's,
    // which neither side changes while the print window is open.
    const auto decode = [shown, size] { return photoImageAt(shown, size); };
    try {
        return std::async(std::launch::async, decode).share();
    } catch (const std::system_error&) {
        // No thread to spare: decoded where the sheet first needs it.
        return std::async(std::launch::deferred, decode).share();
    }
}

std::unique_ptr<TReport> loadWineSheet()
{
    return loadReportLayout(kLayout);
}

void fillWineSheetTexts(TReport& sheet, const QHash<QString, QString>& fields)
{
    const RecordLayout& record = wineLayout();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (record.indexOf(it.key()) < 0)
            throw ReportError("the wine record has no field " + it.key().toStdString());
    sheet.page().setOrientation(QPageLayout::Portrait);
    for (const SheetField& entry : kSheetFields) {
        const QString field = QString::fromLatin1(entry.field);
        const auto text = fields.find(field);
        if (text == fields.end())
            throw ReportError("the sheet was given no field " + field.toStdString());
        auto* memo = sheet.find<TMemoView>(QString::fromLatin1(entry.layoutName));
        if (!memo)
            throw ReportError(std::string("the sheet has no text box ") + entry.layoutName);
        memo->setText(trimControl(*text));
    }
}

void fillWineSheet(TReport& sheet, const WineSheetInput& input)
{
    auto* picture = sheet.find<TPictureView>(QStringLiteral("imgLogo"));
    if (!picture)
        throw ReportError("the sheet has no picture imgLogo");
    if (input.comingPhoto.valid())
        picture->setPicture(input.comingPhoto);
    else
        picture->setPicture(input.photo);
    fillWineSheetTexts(sheet, input.fields);
}

void openWineSheet(QWidget* owner, const WineSheetInput& input, DocumentAction action)
{
    openDocumentWindow<TfrmStampaVini, TfrmAnteprimaVini>(owner, input, action);
}

} // namespace vinarca
