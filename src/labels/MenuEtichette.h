#pragma once

#include "Shapes.h"

class QLabel;
class QPushButton;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// The labels menu: the user picks the vertical or the horizontal labels.
// The hidden lblMemory remembers the choice until the menu closes, and the
// close, however it happens, hands over by it.
class TfrmMenuEtichette : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    enum class Route { MainMenu, Horizontal, Vertical };

    explicit TfrmMenuEtichette(QWidget* parent = nullptr);

    vinarca::PictureBox *icoTitolo, *icoUva, *icoIstruzioni, *icoEtichette;
    QPushButton *btnOrizzontali, *btnVerticali;
    vinarca::PictureButton *imgGuida, *imgEsci;
    QLabel* lblMemory;

    void btnOrizzontaliClick();
    void btnVerticaliClick();

    // Where the routing marker leads: "avvio" and anything unknown go back
    // to the main menu.
    static Route routeOf(const QString& marker);

signals:
    // The menu was closed (any way); the window set shows where it leads.
    void closed(TfrmMenuEtichette::Route route);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

extern TfrmMenuEtichette* frmMenuEtichette;
