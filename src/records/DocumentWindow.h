#pragma once

#include "Platform.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <functional>
#include <future>
#include <memory>

class QPushButton;

namespace vinarca {

class PictureBox;
class TReport;

enum class DocumentAction { Preview, Print };

// What one print or preview window of a document shows and does. The print
// and the preview window of a document differ only here.
struct DocumentWindowSpec
{
    DocumentAction action = DocumentAction::Print;
    QString objectName;  // the window's global reference name
    QString caption;
    QString heading;     // the three instruction texts
    QString what;
    QString how;
    QString icon;        // artwork beside the heading
    QString howIcon;     // artwork beside the last instruction
    QString button;      // label of btnStampa
    QString failure;     // the warning when filling or output fails
    QString layout;      // path of the document's layout
    QString pictureView; // picture of the layout that receives the window's picture ("" for none)
    QString standBy;     // SVG of the stand-by picture that replaces a picture that cannot be taken
};

// What every document's print and preview windows share: the action, the
// printer or the magnified page beside the heading, the picture "guida" of
// `artFolder` beside the last instruction, the print window's last instruction
// and button, and the preview window's caption, heading and button.
DocumentWindowSpec documentSetup(DocumentAction action, const QString& artFolder);

// The print/preview window core: a small fixed window with instructions,
// Annulla and Stampa. Stampa puts the window's picture into the layout, lets
// the opener's fill function put in the texts, prepares the document and
// previews or prints it; any failure ends in the window's warning. Either
// way the window then closes.
class DocumentWindow : public QDialog
{
    Q_OBJECT
public:
    // Fills the layout's named objects; throws ReportError (or any
    // std::exception) for a name the layout or the record does not have.
    using Fill = std::function<void(TReport&)>;

    DocumentWindow(DocumentWindowSpec setup, QImage picture, Fill fill, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    // The picture to print is still being made on another thread (a photo
    // decoded for paper): it takes the place of the one given to the
    // constructor and is waited for only when the page is drawn, so the
    // window and the print dialog are on screen meanwhile.
    void setComingPicture(std::shared_future<QImage> picture) { m_comingPicture = std::move(picture); }

    // Takes the place of filling and outputting the window's layout, for a
    // document of several records (a run of labels); throws as a fill does.
    using Output = std::function<void(DocumentWindow&)>;
    void setOutput(Output output) { m_output = std::move(output); }

    QPushButton* btnAnnulla = nullptr;
    QPushButton* btnStampa = nullptr;
    PictureBox* imgLogo = nullptr; // hidden: the picture to print
    PictureBox* imgTemp = nullptr; // hidden: the stand-by picture

    DocumentAction action() const { return m_setup.action; }
    const DocumentWindowSpec& setup() const { return m_setup; }
    // The layout this window fills (null if it could not be read).
    TReport* report() const { return m_report.get(); }

    void FormShow();
    void btnAnnullaClick();
    void btnStampaClick();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fillAndOutput();

    DocumentWindowSpec m_setup;
    QImage m_picture;
    std::shared_future<QImage> m_comingPicture;
    Fill m_fill;
    Output m_output;
    std::unique_ptr<TReport> m_report;
    QString m_layoutError;
};

// Opens the print or the preview window of a document, owned by `owner`,
// modally through the platform seam, and destroys it when it closes.
template <typename PrintWindow, typename PreviewWindow, typename Input>
void openDocumentWindow(QWidget* owner, const Input& input, DocumentAction action)
{
    std::unique_ptr<DocumentWindow> window;
    if (action == DocumentAction::Print)
        window = std::make_unique<PrintWindow>(input, owner);
    else
        window = std::make_unique<PreviewWindow>(input, owner);
    platform().execDialog(*window);
}

} // namespace vinarca
