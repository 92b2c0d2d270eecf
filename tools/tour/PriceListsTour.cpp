#include "PriceListsTour.h"

#include "ApriCatalogo.h"
#include "CreaCatalogo.h"
#include "HighlightEdit.h"
#include "ListinoPrezzi.h"
#include "PriceListWindows.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "PictureBox.h"
#include "PriceListFiles.h"
#include "SampleData.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>

#include <cstdio>

using namespace vinarca;

namespace {
const QSize kScreen(1280, 800);

bool shoot(const QString& out, const QString& name, QWidget& window, QSize size = kScreen)
{
    window.resize(size);
    window.show();
    QCoreApplication::processEvents();
    const QString path = out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void fillPage(TfrmListinoPrezzi& editor)
{
    const char* names[] = {"Barolo DOCG", "Barbaresco DOCG", "Barbera d'Asti", "Dolcetto d'Alba",
                           "Nebbiolo Langhe", "Roero Arneis", "Moscato d'Asti", "Gavi di Gavi"};
    for (int slot = 0; slot < 8; ++slot) {
        TfrmListinoPrezzi::Slot& s = editor.slotControls.at(static_cast<std::size_t>(slot));
        s.txtNome->setText(QString::fromUtf8(names[slot]));
        s.txtUM->setText(QStringLiteral("Bottiglia da 0,75 l"));
        s.txtCaratteristiche->setText(QStringLiteral("Rosso rubino, profumo intenso, vendemmia 2019"));
        s.txtCodice->setText(QStringLiteral("VR-%1").arg(101 + slot));
        s.txtPrezzo->setText(QStringLiteral("%1,50").arg(12 + 3 * slot));
        s.imgFoto->setImage(tour::samplePhoto({600, 800}));
    }
}
} // namespace

int tourPriceLists(const QString& out)
{
    int failures = 0;
    CreatePriceListFile(PriceListPath(QStringLiteral("Vini rossi")));
    CreatePriceListFile(PriceListPath(QStringLiteral("Bollicine e spumanti")));
    CreatePriceListFile(PriceListPath(QStringLiteral("Vini bianchi 2024")));

    TfrmMenuListini menu;
    failures += !shoot(out, QStringLiteral("listini_menu"), menu);
    menu.hide();
    TfrmCreaCatalogo create;
    failures += !shoot(out, QStringLiteral("listini_crea"), create);
    create.txtFile->setText(QStringLiteral("Vini rossi"));
    create.hide();
    TfrmApriCatalogo open;
    failures += !shoot(out, QStringLiteral("listini_apri"), open);
    open.lstFiles->setCurrentRow(1);
    failures += !shoot(out, QStringLiteral("listini_apri_selezione"), open);
    open.hide();

    TfrmListinoPrezzi editor;
    editor.lblFile->setText(PriceListPath(QStringLiteral("Vini rossi")));
    editor.lblNome->setText(QStringLiteral("Vini rossi"));
    failures += !shoot(out, QStringLiteral("listino_nuova_pagina"), editor);
    fillPage(editor);
    failures += !shoot(out, QStringLiteral("listino_pagina_piena"), editor);
    editor.impProdottoClick(2);
    failures += !shoot(out, QStringLiteral("listino_slot_svuotato"), editor);

    // The print and preview windows, the preview window and the printed page.
    editor.preparePreview();
    const PricePageInput input = editor.pageInput();
    TfrmStampaProdotto print(input);
    failures += !shoot(out, QStringLiteral("listino_stampa"), print, print.size());
    TfrmAnteprimaProdotto preview(input);
    failures += !shoot(out, QStringLiteral("listino_anteprima"), preview, preview.size());
    auto page = loadPricePageLayout();
    fillPricePage(*page, input);
    page->prepareReport();
    ReportPreview window(page->prepared());
    failures += !shoot(out, QStringLiteral("anteprima_report_listino"), window);
    const QString pagePath = out + QStringLiteral("/pagina_listino.png");
    if (renderPageImage(*page->prepared(), 0, 96).save(pagePath))
        std::printf("%s\n", qPrintable(pagePath));
    else
        ++failures;
    editor.hide();
    return failures;
}
