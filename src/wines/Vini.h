#pragma once

#include "Shapes.h"

#include <QByteArray>

#include <functional>

class QLabel;
class QPushButton;

namespace vinarca {
enum class SheetAction;
class HighlightEdit;
class PictureBox;
class PictureButton;
class StatusHints;
}

// The wine catalogue editor: one wine at a time, browsed, created, duplicated
// and saved in "Catalogo_Vini.pro". Its state is its controls plus
// lblPosizione (empty: a new record not yet stored).
class TfrmVini : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    explicit TfrmVini(QWidget* parent = nullptr);

    // Edit boxes of fields 1 to 26, in record order.
    vinarca::HighlightEdit *txtNome, *txtProduttore, *txtDesignazione, *txtNazione, *txtRegione, *txtZona,
        *txtCantina, *txtAnnata, *txtInvecchiamento, *txtMaturazione, *txtColore, *txtProfumo, *txtGusto,
        *txtRetrogusto, *txtGrado, *txtAcidita, *txtSapidita, *txtAccostamenti, *txtAstringenza,
        *txtTemperatura, *txtFornitore, *txtTel, *txtPrezzo, *txtConservazione, *txtConsumo, *txtNote;
    // Hidden attachment labels, fields 27 to 32.
    QLabel *lblFile01, *lblFile02, *lblFile03, *lblDesc01, *lblDesc02, *lblDesc03;
    QLabel* lblPosizione;
    QLabel* panInfo;

    vinarca::PictureButton *cmdNuovo, *cmdDuplica, *cmdSalva, *cmdTrova, *cmdFile, *cmdAnteprima, *cmdStampa,
        *cmdPrimo, *cmdIndietro, *cmdAvanti, *cmdUltimo, *cmdEsporta, *cmdSlideshow, *cmdGuida, *cmdEsci;
    vinarca::PictureButton *btnCaricaFoto, *btnSalvaFoto, *btnWebcam, *btnZoomFoto;
    vinarca::PictureBox* imgFoto;
    vinarca::PictureBox* imgBianco;
    QPushButton* btnFocus;

    // The 26 edit boxes and six labels in record order.
    QList<vinarca::HighlightEdit*> editBoxes() const;
    QList<QLabel*> attachmentLabels() const;

    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void btnCaricaFotoClick();
    void btnSalvaFotoClick();

    // Fills the editor from a record read elsewhere (the search window) and
    // shows the record's photo.
    void showRecord(const QByteArray& record, qint64 position);
    // Reads the photo of the shown position into imgFoto, or the placeholder.
    void loadPhoto();

signals:
    // The window was closed (any way): the window set hands over to the main menu.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Step { First, Previous, Next, Last };
    void navigate(Step step);
    void resetToNewRecord();
    void openSheet(vinarca::SheetAction action);
    void showPlaceholder();
    void writePhoto(qint64 position);
    void buildToolbar(QWidget* panel, vinarca::StatusHints& hints);
    void buildPhotoBox(QWidget* panel, vinarca::StatusHints& hints);
    void buildFields(QWidget* panel, vinarca::StatusHints& hints);

    QByteArray m_record; // the editor's record buffer
    std::function<void(QWidget*, const QStringList&)> m_listPrinter;
};

extern TfrmVini* frmVini;

namespace vinarca {
struct SaveFileRequest;
// The save dialog of a wine photo, shared by the editor and the webcam window.
SaveFileRequest photoSaveRequest();
} // namespace vinarca
