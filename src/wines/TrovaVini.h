#pragma once

#include "ListWindow.h"

class QLabel;
class QPushButton;

namespace vinarca {
class FramedEdit;
}

// Finds wines by up to ten criteria, lists them, finds a line in the list,
// prints the list and loads a wine into the editor on a double click.
class TfrmTrovaVini : public vinarca::RecordListWindow
{
    Q_OBJECT
public:
    explicit TfrmTrovaVini(QWidget* owner = nullptr);

    // Criteria panel.
    QWidget* panAvvio;
    vinarca::FramedEdit *txtNome, *txtProduttore, *txtDesignazione, *txtFornitore, *txtNazione, *txtRegione,
        *txtZona, *txtCantina, *txtAnnata, *txtNote;
    QPushButton* btnAnnulla;
    QPushButton* btnCerca;
    QLabel* lblAttendere;
    QLabel* lblConta;

    // Result panel (its list controls come from the list window core).
    QWidget* panContainer;

    void btnCercaClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void paintEvent(QPaintEvent* event) override;
};

namespace vinarca {
// Opens a fresh search window with routing marker "vini", modal.
void openWineSearch(QWidget* owner, TfrmTrovaVini::Loader loader);
} // namespace vinarca
