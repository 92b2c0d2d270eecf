#pragma once

#include "Shapes.h"

class QPushButton;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// The main menu, the hub of the program: the three application tiles,
// information, help, credits, the maker's web site and the way out.
class TfrmAvvio : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    enum class App { Wines, PriceLists, Labels };

    explicit TfrmAvvio(QWidget* parent = nullptr);

    vinarca::PictureButton *imgInfo, *imgGuida, *imgCopyright, *imgSito, *imgEsci;
    vinarca::PictureBox *icoTitoloApp, *icoUva_01, *icoUva_02, *imgSottotitolo;
    vinarca::PictureButton *imgApp01, *imgApp02, *imgApp03;
    QPushButton *btnApp01, *btnApp02, *btnApp03;

    void imgApp01Click();
    void imgApp02Click();
    void imgApp03Click();

signals:
    void appChosen(TfrmAvvio::App app);
    void terminateRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};

extern TfrmAvvio* frmAvvio;
