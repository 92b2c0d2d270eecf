#pragma once

#include "Shapes.h"

class QLabel;
class QPushButton;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// The price-list menu: create a new list or open an existing one. The hidden
// lblMemory remembers the choice until the menu closes, and the close,
// however it happens, hands over by it.
class TfrmMenuListini : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    enum class Route { MainMenu, Create, Open };

    explicit TfrmMenuListini(QWidget* parent = nullptr);

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
    void closed(TfrmMenuListini::Route route);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

extern TfrmMenuListini* frmMenuListini;
