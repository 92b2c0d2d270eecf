#pragma once

#include "Shapes.h"

#include <QImage>
#include <QStringList>

#include <array>

class QLabel;

namespace vinarca {
struct PricePageInput;
class HighlightEdit;
class PictureBox;
class PictureButton;
}

// The page editor of one price list: one page of eight product slots, A to
// H, browsed, cleared and saved as records of the list file named by lblFile;
// each slot's photo is a file of its own in the photo folder.
class TfrmListinoPrezzi : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    explicit TfrmListinoPrezzi(QWidget* parent = nullptr);

    // The controls of one slot, the same for the eight slotControls.
    struct Slot
    {
        QWidget* bkgProdotto = nullptr;
        vinarca::PictureBox* imgFoto = nullptr;
        vinarca::HighlightEdit *txtNome = nullptr, *txtUM = nullptr, *txtCaratteristiche = nullptr,
                               *txtCodice = nullptr, *txtPrezzo = nullptr;
        vinarca::PictureButton* impProdotto = nullptr;
    };
    std::array<Slot, 8> slotControls;

    vinarca::PictureButton *cmdNuovo, *cmdSalva, *cmdAnteprima, *cmdStampa, *cmdPrimo, *cmdIndietro, *cmdAvanti,
        *cmdUltimo, *cmdGuida, *cmdEsci;
    QLabel *lblPosizione, *lblNome, *lblFile, *panInfo;
    vinarca::PictureBox *imgBianco, *imgGomma; // never shown: the placeholder and the blank slot picture

    void cmdNuovoClick();
    void cmdSalvaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void imgFotoClick(int slot);
    void impProdottoClick(int slot);
    void cmdAnteprimaClick();
    void cmdStampaClick();
    // Writes the eight slot pictures as the list's preview photos and shows
    // them back in the slots, ready for the page document.
    void preparePreview();

    // What the printed page shows: the editor's texts and slot pictures.
    vinarca::PricePageInput pageInput() const;
    // The forty texts of the page in record order, each trimmed.
    QStringList pageTexts() const;
    // The edit box of a slot's field ("Nome", "Prezzo", ...).
    vinarca::HighlightEdit* box(int slot, const QString& field) const;

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void clearPage();
    void navigate(int step);
    void showPage(int page);
    void setSlotPicture(int slot, const QImage& picture);
    QString listTitle() const;

    // The slots whose photo file is there but could not be read: their
    // placeholder is on show and saving must leave that file for the user to
    // recover. Any new picture in the slot clears the mark.
    std::array<bool, 8> m_unreadablePicture{};
};

extern TfrmListinoPrezzi* frmListinoPrezzi;
