#pragma once

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QString>

#include <memory>

class QPushButton;

namespace vinarca {
class PictureBox;
class TReport;

// What the wine sheet prints, as the editor shows it: the texts of its edit
// boxes by control name ("txtNome", "txtTel", ...) and the picture of its
// photo box (null when the box is empty).
struct WineSheetInput
{
    QHash<QString, QString> fields;
    QImage photo;
};

enum class SheetAction { Preview, Print };

// The print and preview windows of the wine sheet are this one window: they
// differ in caption, instruction texts, button label, failure message and
// whether the filled sheet goes to the preview or to the print dialog.
class SchedaVinoWindow : public QDialog
{
    Q_OBJECT
public:
    ~SchedaVinoWindow() override;

    QPushButton* btnAnnulla = nullptr;
    QPushButton* btnStampa = nullptr;
    PictureBox* imgLogo = nullptr; // hidden: the photo to print
    PictureBox* imgTemp = nullptr; // hidden: the stand-by picture

    SheetAction action() const { return m_action; }
    // The sheet layout this window fills (null if it could not be read).
    TReport* repDocumento() const { return m_report.get(); }

    void FormShow();
    void btnAnnullaClick();
    // Fills the sheet from the editor's texts and photo, prepares it and shows
    // or prints it; any failure ends in the window's warning. Then closes.
    void btnStampaClick();

protected:
    SchedaVinoWindow(SheetAction action, WineSheetInput input, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fillAndOutput();

    SheetAction m_action;
    WineSheetInput m_input;
    std::unique_ptr<TReport> m_report;
    QString m_layoutError;
};

// The layout text boxes the sheet fills, in filling order, each with the
// editor field it takes its text from.
struct SheetField
{
    const char* layoutName;
    const char* editorField;
};
extern const SheetField kSheetFields[22];

// The sheet layout as delivered, and the sheet filled from the editor's
// texts (trimmed) and photo, ready to prepare. Throw ReportError on a fault.
std::unique_ptr<TReport> loadWineSheet();
void fillWineSheet(TReport& sheet, const WineSheetInput& input);

// Opens the print or preview window of the sheet, owned by `owner`, modally
// through the platform seam, and destroys it when it closes.
void openWineSheet(QWidget* owner, const WineSheetInput& input, SheetAction action);

// The failure warnings of the two windows.
QString sheetFailureMessage(SheetAction action);

} // namespace vinarca
