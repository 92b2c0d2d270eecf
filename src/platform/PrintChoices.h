#pragma once

#include <QMap>
#include <QPageSize>
#include <QPointF>
#include <QString>

namespace vinarca {

// How prepared pages go onto the sheets of paper in the printer.
enum class PrintMode {
    Default,        // each page on a sheet of its own size, as prepared
    SplitBigPages,  // a page larger than the paper spread over several sheets at real size
    JoinSmallPages, // as many pages' printed areas on each sheet as fit, at real size
    Scale,          // each page scaled to fit the paper
    PrintOnSheet,   // each page at real size on a sheet of a chosen size, shrunk only if it would not fit
};

// The label stock "Join small pages" prints on: where the first label goes
// on the sheet, the gutters between labels of die-cut stock, the place to
// start at on a sheet partly used before, and crop marks for cutting plain
// paper.
struct LabelStock
{
    // The first label's top-left corner, from the sheet's top-left corner;
    // by default where a page prepared alone puts it, inside 10 mm margins.
    QPointF firstMm{10, 10};
    double gapXMm = 0; // between labels side by side
    double gapYMm = 0; // between rows
    int startAt = 1;   // the places before it on the first sheet stay empty
    bool cropMarks = false;

    // The stock as it comes: labels packed from the printable area's corner.
    bool isPlain() const { return *this == LabelStock(); }
    bool operator==(const LabelStock&) const = default;
};

// How one printer is off: what is printed at x lands at
// offsetXMm + scaleX · x on its paper when corrected, x measured from the
// sheet's top-left corner, likewise downwards.
struct PrinterCalibration
{
    double offsetXMm = 0;
    double offsetYMm = 0;
    double scaleX = 1;
    double scaleY = 1;

    bool isIdentity() const { return *this == PrinterCalibration(); }
    bool operator==(const PrinterCalibration&) const = default;
};

// The calibration of every printer the user calibrated, by printer name, and
// the printer whose calibration PDF files get as well (none: PDF files are
// written as prepared).
struct Calibrations
{
    QMap<QString, PrinterCalibration> byPrinter;
    QString forPdf;

    bool operator==(const Calibrations&) const = default;
};

// The print dialog's choices beyond what QPrinter carries.
struct PrintChoices
{
    PrintMode mode = PrintMode::Default;
    QPageSize sheet = QPageSize(QPageSize::A4); // the paper of "Print on sheet"
    LabelStock stock;                           // used by "Join small pages"
    Calibrations calibrations;                  // edited from the dialog's calibration button
    // Not a choice but how the dialog opens: for labels with its options
    // shown and the print mode tab in front. Never remembered.
    bool showModeFirst = false;
};

} // namespace vinarca
