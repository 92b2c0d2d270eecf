#pragma once

#include "PreparedReport.h"
#include "PrintSheets.h"

#include <QImage>

#include <functional>

class QPainter;
class QPrinter;
class QWidget;

namespace vinarca {

// Draws prepared pages. The one painter behind the preview window, printers,
// PDF files and images, so they all show the same page.
class ReportRenderer
{
public:
    explicit ReportRenderer(const PreparedReport& report) : m_report(report) {}

    int pageCount() const { return m_report.pageCount(); }
    // Paints page `index` on a painter whose coordinates are units (1/96 inch)
    // from the paper's top-left corner; the caller scales to its device.
    void paintPage(int index, QPainter& painter) const;
    // The same on a painter in device pixels at `pixelsPerUnit`.
    void paintPageScaled(int index, QPainter& painter, double pixelsPerUnit) const;
    // Does ahead of drawing what may fail on page `index` (scaling its
    // pictures for the device, then a rehearsal of the drawing), so the
    // page is then drawn whole; throws ReportError. releasePage lets go of
    // what it kept.
    void preparePage(int index, double pixelsPerUnit, bool paged) const;
    void releasePage(int index) const;

private:
    const PreparedReport& m_report;
};

// Page `index` as an image at `dpi` dots per inch, on white paper.
QImage renderPageImage(const PreparedReport& report, int index, double dpi = kUnitsPerInch);

// A sheet of a print mode as an image at `dpi`, on white paper.
QImage renderSheetImage(const PreparedReport& report, const PrintSheet& sheet, double dpi = kUnitsPerInch);

// Writes the pages to a PDF file. Throws ReportError when the file cannot be written.
void writePdf(const PreparedReport& report, const QString& path);

// Prints every page in `pages` order (0-based) on a printer already set up
// (printer or PDF output, copies, collate, paper), laid on the sheets as the
// print mode says, every sheet corrected by `calibration`. Throws ReportError on any failure of the printer; nothing
// is reported as printed unless the whole job was handed over, and a sheet
// that cannot be drawn is left out, never half drawn.
// `progress`, when given, hears of each sheet finished (done, total) before
// the next starts; answering false withdraws the job and throws PrintCancelled.
using SheetProgress = std::function<bool(int done, int total)>;
void printPages(const PreparedReport& report, QPrinter& printer, const QList<int>& pages,
                const PrintChoices& choices = {}, const PrinterCalibration& calibration = {},
                const SheetProgress& progress = {});

// The correction for what `printer` is set to print on: the printer's own
// calibration, or for a PDF file the calibration the user chose for PDF
// files, if any.
PrinterCalibration calibrationFor(const QPrinter& printer, const Calibrations& calibrations);
PrinterCalibration calibrationFor(bool toPdf, const QString& printerName, const Calibrations& calibrations);

// The sheets that print `order` in the chosen mode on the printer's paper.
std::vector<PrintSheet> printSheets(const PreparedReport& report, const QList<int>& order, const PrintChoices& choices,
                                    QSizeF printerPaperMm);

enum class PrintOutcome { Printed, Cancelled };

// Loads the print system's support (Qt's plugin for it and the libraries
// under it) on a thread of its own, once a run, while the user looks at a
// window that can print: the first print then does not wait for it. The
// print functions wait for it, so nothing else touches the print system
// meanwhile; so does the application's end.
void loadPrintingAhead();

// The print dialog through the platform seam, then the chosen pages on the
// chosen printer. `currentPage` is the page the "Current page" choice means.
PrintOutcome printReport(QWidget* parent, const PreparedReport& report, int currentPage = 0);

// A run of labels through the print dialog: page i printed `copies[i]`
// times, its copies together, pages in order (the dialog's range and
// copies choose among and repeat them); "Join small pages" offered first.
// The sheets are reported to a progress window whose Annulla withdraws the
// whole job (Cancelled then). The dialog's choices are remembered under
// the report's document.
PrintOutcome printRun(QWidget* parent, const PreparedReport& report, const QList<int>& copies,
                      const QString& progressText);

// The prepared pages of a layout through the print dialog: false when the
// user cancels; throws ReportError when the layout is not prepared or
// printing fails.
bool printReport(QWidget* owner, const TReport& report);

// The 0-based pages the printer's range choice selects among `pageCount`, in
// printing order (last page first when the dialog's "Reverse" is ticked).
QList<int> selectedPages(const QPrinter& printer, int pageCount, int currentPage);
// The sheets that go to the printer: the pages repeated for the copies,
// collated or each page's copies together.
QList<int> printedSheets(const QList<int>& pages, int copies, bool collate);

} // namespace vinarca
