#pragma once

#include "PrintChoices.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;
class QSpinBox;
class QPrintDialog;
class QPrinter;

namespace vinarca {

// The "Print mode" tab of the print dialog: the five modes, the paper that
// "Print on sheet" prints on and the label stock of "Join small pages"
// (each offered only with its mode), and the button that opens the printer
// calibration for `printerName`.
class PrintModeTab final : public QWidget
{
    Q_OBJECT

public:
    explicit PrintModeTab(QWidget* parent = nullptr, const QString& printerName = {});

    QDoubleSpinBox* spnFirstLeft = nullptr;
    QDoubleSpinBox* spnFirstTop = nullptr;
    QDoubleSpinBox* spnGapX = nullptr;
    QDoubleSpinBox* spnGapY = nullptr;
    QSpinBox* spnStartAt = nullptr;
    QCheckBox* chkCropMarks = nullptr;
    QPushButton* btnCalibration = nullptr;

    PrintChoices choices() const;
    void setChoices(const PrintChoices& choices);

    // The papers "Print on sheet" offers, in the order of the list.
    static QList<QPageSize::PageSizeId> sheetSizes();

private:
    void updateSheetChoice();
    void calibrate();

    QButtonGroup* m_modes;
    QComboBox* m_sheet;
    QGroupBox* m_stock = nullptr;
    QString m_printerName;
    Calibrations m_calibrations;
};

// Qt's print dialog set up for `pageCount` pages (printer, print to file,
// page range with the current page, copies and collate, paper size) with the
// print mode tab added and showing `choices`.
std::unique_ptr<QPrintDialog> createPrintDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                                const PrintChoices& choices);
PrintModeTab* printModeTabOf(QPrintDialog& dialog);
// What the user chose in the dialog, closed `accepted` or not: all of it
// when accepted, only the printer calibrations when cancelled (a
// calibration is made for later prints, whatever happens to this one).
void takePrintChoices(QPrintDialog& dialog, bool accepted, PrintChoices& choices);

} // namespace vinarca
