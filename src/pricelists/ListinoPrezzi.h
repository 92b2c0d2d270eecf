#pragma once

#include "RecordEditor.h"

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
// H, browsed, cleared and saved as records of the list file named by lblFile,
// through the editing flow every record editor shares. Each slot's photo is a
// file of its own in the photo folder.
class TfrmListinoPrezzi : public vinarca::RecordEditor
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

    vinarca::PictureButton *cmdAnteprima, *cmdStampa, *cmdGuida, *cmdEsci;
    QLabel *lblNome, *lblFile;
    vinarca::PictureBox* imgGomma; // never shown: the blank slot picture

    // Opens the list file at `path`, titled `title`, on a new page.
    void openList(const QString& path, const QString& title);

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

    // The opened list file.
    vinarca::ArchiveRef archive() const override;
    // The eight slot photo files of a page.
    QStringList pictureFiles(qint64 position) const override;

protected:
    void clearRecord() override;
    void showPictures() override;
    void storePictures(qint64 position, bool all) override;
    void clearPictures() override;
    bool picturesChanged() const override;
    void forgetPictureChanges() override;

private:
    void setSlotPicture(int slot, const QImage& picture);
    QString listTitle() const;

    // The slots whose photo file is there but could not be read: their
    // placeholder is on show and saving must leave that file for the user to
    // recover. Any new picture in the slot clears the mark.
    std::array<bool, 8> m_unreadablePicture{};
    // The slots whose picture the user changed since the page was shown:
    // only those are written when the page is saved in place.
    std::array<bool, 8> m_changedPicture{};
    std::array<qint64, 8> m_shownPictureKeys{};
    bool slotChanged(int slot) const;
};

extern TfrmListinoPrezzi* frmListinoPrezzi;
