#pragma once

#include "PrintChoices.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPainter;
class QPrinter;
class QPushButton;

namespace vinarca {

// The calibration sheet: millimetre rulers along the top and the left of the
// sheet with a mark at every millimetre and a number at every centimetre,
// counted from the sheet's top-left corner, a centimetre grid between them,
// and in Italian how to turn what the user measures into the calibration.
// Printed uncorrected, it shows how far off and how stretched the printer
// prints. Painted on `painter` in millimetres from the sheet's corner.
void paintCalibrationSheet(QPainter& painter, const QString& printerName);

// Prints the calibration sheet on a printer already set up (a printer or a
// PDF file), on A4 without correction; false when the printer refuses.
bool printCalibrationSheet(QPrinter& printer, const QString& printerName);

// The printer calibration dialog opened from the print dialog: for the
// chosen printer, the offsets in tenths of a millimetre and the scales in
// hundredths of a percent, how to read them off the calibration sheet, the
// button that prints the sheet, and whether PDF files get this printer's
// calibration.
class CalibrationDialog final : public QDialog
{
    Q_OBJECT

public:
    CalibrationDialog(const Calibrations& calibrations, const QString& printerName, QWidget* parent = nullptr);

    // The calibrations with what the user set for the printers shown.
    Calibrations calibrations() const;

    QComboBox* cboPrinter = nullptr;
    QDoubleSpinBox* spnOffsetX = nullptr;
    QDoubleSpinBox* spnOffsetY = nullptr;
    QDoubleSpinBox* spnScaleX = nullptr;
    QDoubleSpinBox* spnScaleY = nullptr;
    QCheckBox* chkPdf = nullptr;
    QPushButton* btnCalibrationSheet = nullptr;

private:
    void showPrinter();
    void keepShown();
    void printSheet();

    Calibrations m_calibrations;
    QString m_shown; // the printer whose values the boxes show
};

} // namespace vinarca
