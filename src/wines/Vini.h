#pragma once

#include "RecordEditor.h"

namespace vinarca {
enum class DocumentAction;
class HighlightEdit;
}

// The wine catalogue editor: one wine at a time, browsed, created, duplicated
// and saved in "Catalogo_Vini.pro". Its state is its controls plus
// lblPosizione (empty: a new record not yet stored).
class TfrmVini : public vinarca::RecordEditor
{
    Q_OBJECT
public:
    explicit TfrmVini(QWidget* parent = nullptr);

    // Edit boxes of fields 1 to 26, in record order.
    vinarca::HighlightEdit *txtNome, *txtProduttore, *txtDesignazione, *txtNazione, *txtRegione, *txtZona,
        *txtCantina, *txtAnnata, *txtInvecchiamento, *txtMaturazione, *txtColore, *txtProfumo, *txtGusto,
        *txtRetrogusto, *txtGrado, *txtAcidita, *txtSapidita, *txtAccostamenti, *txtAstringenza,
        *txtTemperatura, *txtFornitore, *txtTel, *txtPrezzo, *txtConservazione, *txtConsumo, *txtNote;

    vinarca::PictureButton *cmdTrova = nullptr, *cmdFile = nullptr, *cmdAnteprima = nullptr, *cmdStampa = nullptr,
                           *cmdEsporta = nullptr, *cmdSlideshow = nullptr, *cmdGuida = nullptr, *cmdEsci = nullptr;
    vinarca::PictureButton* btnWebcam = nullptr;

protected:
    void clearRecord() override;
    void showEvent(QShowEvent* event) override;

private:
    void openSheet(vinarca::DocumentAction action);
    void buildToolbar(QWidget* panel, vinarca::StatusHints& hints);
    void buildPhotoBox(QWidget* panel, vinarca::StatusHints& hints);
    void buildFields(QWidget* panel, vinarca::StatusHints& hints);
};

extern TfrmVini* frmVini;
