#pragma once

#include "Shapes.h"

class QKeyEvent;
class QLabel;

namespace vinarca {
class HighlightEdit;
class PictureBox;
class PictureButton;
}

// The creation window: makes a new, empty price-list file from a typed name.
// However it closes, it leads back to the main menu.
class TfrmCreaCatalogo : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    explicit TfrmCreaCatalogo(QWidget* parent = nullptr);

    vinarca::PictureBox* icoIstruzioni;
    vinarca::HighlightEdit* txtFile;
    vinarca::PictureButton *btnApplica, *btnAnnulla, *imgGuida;
    QLabel* lblFile;

    void btnApplicaClick();

    // The typing filter of the name box: false for the characters a file
    // name cannot hold on the program's systems.
    static bool txtFileKeyDown(const QKeyEvent& event);

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

extern TfrmCreaCatalogo* frmCreaCatalogo;
