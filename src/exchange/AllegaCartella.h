#pragma once

#include "Attachments.h"

#include <QDialog>

#include <array>
#include <chrono>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// The attachments window: three slots of a file name and a description. A
// chosen file is copied into the attachment folder at once; "Applica e
// chiudi" hands the six values to the opener, which stores them with the
// record at its next save.
class TfrmAllegaCartella : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(QWidget* owner = nullptr);

    vinarca::PictureBox* imgIstruzioni = nullptr;
    std::array<QLabel*, 6> lblCampo{};          // lblCampo01..06: name, description, name, ...
    std::array<QLineEdit*, 3> txtFile{};        // txtFile01..03
    std::array<QPushButton*, 3> btnSfoglia{};
    std::array<QPushButton*, 3> btnApri{};
    std::array<vinarca::PictureButton*, 3> imgCancella{};
    std::array<QLineEdit*, 3> txtDesc{};
    QPushButton* btnApplica = nullptr;
    QPushButton* btnAnnulla = nullptr;
    QLabel* lblMemory = nullptr; // the tag of the opening editor

    // How long a copy runs before its progress window ("dlgCopia", with
    // "Annulla") shows; tests shorten it.
    std::chrono::milliseconds copyProgressDelay{500};

    // Receives the trimmed values when the user applies.
    using Apply = std::function<void(const vinarca::AttachmentSlots&)>;
    void fill(const QString& tag, const vinarca::AttachmentSlots& values, Apply apply);

    void btnSfogliaClick(int slot);
    void btnApriClick(int slot);
    void imgCancellaClick(int slot);
    void btnApplicaClick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    vinarca::CopyOutcome copyWithProgress(const QString& source, const QString& name);

    Apply m_apply;
};

namespace vinarca {

// The opener's hidden labels lblFile01..03 and lblDesc01..03.
struct AttachmentLabels
{
    std::array<QLabel*, 3> files;
    std::array<QLabel*, 3> descriptions;
};

// Opens a fresh attachments window owned by `owner` with the labels' texts,
// modal; applying writes the values back into the labels. Destroyed on close.
void openAttachments(QWidget* owner, const QString& tag, const AttachmentLabels& labels);

// The message of an attachment that could not be copied or opened.
QString attachmentCopyFailureMessage();
QString attachmentNameRefusedMessage();

} // namespace vinarca
