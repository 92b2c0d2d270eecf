#pragma once

#include "LabelRecord.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vinarca {

class LabelRun;

// The run of label stock of one kind: its labels in printing order with
// their copies, the sheets they take, and the buttons that arrange, preview
// and print it.
class LabelRunWindow : public QDialog
{
    Q_OBJECT
public:
    LabelRunWindow(const LabelKind& kind, QWidget* owner = nullptr);

    QTableWidget* grdSerie = nullptr;
    QLineEdit* txtCopie = nullptr;
    QPushButton *btnCopie = nullptr, *btnSu = nullptr, *btnGiu = nullptr, *btnTogli = nullptr, *btnSvuota = nullptr,
                *btnAnteprima = nullptr, *btnStampa = nullptr, *btnChiudi = nullptr;
    QLabel* lblFogli = nullptr;
    QLabel* panInfo = nullptr;

    void btnCopieClick();
    void moveClick(int step);
    void btnTogliClick();
    void btnSvuotaClick();
    void btnAnteprimaClick();
    void btnStampaClick();

    // Shows the run as it is now, keeping the row in sight.
    void showRun(int row = 0);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void rowChanged();

    const LabelKind& m_kind;
    LabelRun& m_run;
};

// Opens the run window of a kind, modally.
void openLabelRun(QWidget* owner, const LabelKind& kind);

} // namespace vinarca
