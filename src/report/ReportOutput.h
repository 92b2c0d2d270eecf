#pragma once

#include "PreparedReport.h"

#include <QImage>

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

private:
    const PreparedReport& m_report;
};

// Page `index` as an image at `dpi` dots per inch, on white paper.
QImage renderPageImage(const PreparedReport& report, int index, double dpi = kUnitsPerInch);

// Writes the pages to a PDF file. Throws ReportError when the file cannot be written.
void writePdf(const PreparedReport& report, const QString& path);

// Prints every page in `pages` order (0-based) on a printer already set up
// (printer or PDF output, copies, collate). Throws ReportError on any failure
// of the printer; nothing is reported as printed unless the whole job was handed over.
void printPages(const PreparedReport& report, QPrinter& printer, const QList<int>& pages);

enum class PrintOutcome { Printed, Cancelled };

// The print dialog through the platform seam, then the chosen pages on the
// chosen printer. `currentPage` is the page the "Current page" choice means.
PrintOutcome printReport(QWidget* parent, const PreparedReport& report, int currentPage = 0);

// The 0-based pages the printer's range choice selects among `pageCount`.
QList<int> selectedPages(const QPrinter& printer, int pageCount, int currentPage);

} // namespace vinarca
