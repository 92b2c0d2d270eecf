#include "ReportOutput.h"

#include "Platform.h"
#include "ReportError.h"

#include <QFileInfo>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace vinarca {

namespace {

QPageLayout pageLayoutOf(const PreparedPage& page)
{
    // Full-page layout without margins: the prepared page already holds the
    // margins, so objects land at their own place on the paper.
    const QSizeF portrait = page.paperMm.width() <= page.paperMm.height() ? page.paperMm : page.paperMm.transposed();
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyOrientationMatch);
    const auto orientation = page.paperMm.width() > page.paperMm.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// Draws on a paged device whose coordinates start at the paper's corner.
void paintOnDevice(const ReportRenderer& renderer, int index, QPainter& painter, QPagedPaintDevice& device)
{
    const double pixelsPerUnit = device.logicalDpiX() / kUnitsPerInch;
    renderer.paintPageScaled(index, painter, pixelsPerUnit);
}

} // namespace

void ReportRenderer::paintPage(int index, QPainter& painter) const
{
    const PreparedPage& page = m_report.pages.at(index);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PlacedView& placed : page.views) {
        if (placed.clip.isEmpty()) {
            placed.view->draw(painter);
            continue;
        }
        painter.save();
        painter.setClipRect(placed.clip, Qt::IntersectClip);
        placed.view->draw(painter);
        painter.restore();
    }
}

void ReportRenderer::paintPageScaled(int index, QPainter& painter, double pixelsPerUnit) const
{
    painter.save();
    painter.scale(pixelsPerUnit, pixelsPerUnit);
    paintPage(index, painter);
    painter.restore();
}

QImage renderPageImage(const PreparedReport& report, int index, double dpi)
{
    const PreparedPage& page = report.pages.at(index);
    const QSizeF inches = page.paperMm / kMmPerInch;
    QImage image(qRound(inches.width() * dpi), qRound(inches.height() * dpi), QImage::Format_RGB32);
    if (image.isNull())
        throw ReportError("not enough memory for the page image");
    const int dotsPerMeter = qRound(dpi / kMmPerInch * 1000.0);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    ReportRenderer(report).paintPageScaled(index, painter, dpi / kUnitsPerInch);
    return image;
}

void writePdf(const PreparedReport& report, const QString& path)
{
    if (report.pages.empty())
        throw ReportError("no pages to write");
    QPdfWriter writer(path);
    writer.setTitle(report.reportName);
    writer.setCreator(QStringLiteral("Vinarca"));
    writer.setResolution(1200);
    writer.setPageLayout(pageLayoutOf(report.pages.front()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw ReportError(QStringLiteral("cannot write %1").arg(path).toStdString());
    const ReportRenderer renderer(report);
    for (int i = 0; i < renderer.pageCount(); ++i) {
        if (i > 0) {
            writer.setPageLayout(pageLayoutOf(report.pages.at(i)));
            if (!writer.newPage())
                throw ReportError("cannot start a new PDF page");
        }
        paintOnDevice(renderer, i, painter, writer);
    }
    if (!painter.end())
        throw ReportError(QStringLiteral("cannot finish %1").arg(path).toStdString());
}

QList<int> selectedPages(const QPrinter& printer, int pageCount, int currentPage)
{
    QList<int> pages;
    switch (printer.printRange()) {
    case QPrinter::CurrentPage:
        if (currentPage >= 0 && currentPage < pageCount)
            pages << currentPage;
        break;
    case QPrinter::PageRange: {
        const QPageRanges ranges = printer.pageRanges();
        for (int i = 0; i < pageCount; ++i)
            if (ranges.isEmpty() || ranges.contains(i + 1))
                pages << i;
        break;
    }
    case QPrinter::AllPages:
    case QPrinter::Selection:
        for (int i = 0; i < pageCount; ++i)
            pages << i;
        break;
    }
    return pages;
}

void printPages(const PreparedReport& report, QPrinter& printer, const QList<int>& pages)
{
    if (pages.isEmpty())
        throw ReportError("the chosen range holds no page");
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (!toFile && QPrinterInfo::printerInfo(printer.printerName()).isNull())
        throw ReportError(QStringLiteral("the printer %1 is not available").arg(printer.printerName()).toStdString());
    if (toFile && printer.outputFileName().isEmpty())
        throw ReportError("no file to print to");

    // Copies are laid out here rather than left to the driver, so every
    // printer and a PDF file receive the same sheets.
    const int copies = std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    printer.setCopyCount(1);
    QList<int> sheets;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            sheets << pages;
    } else {
        for (int page : pages)
            for (int c = 0; c < copies; ++c)
                sheets << page;
    }

    printer.setFullPage(true);
    printer.setDocName(report.reportName);
    printer.setPageLayout(pageLayoutOf(report.pages.at(sheets.front())));
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError("the printer cannot start the job");
    const ReportRenderer renderer(report);
    for (int i = 0; i < sheets.size(); ++i) {
        if (i > 0) {
            printer.setPageLayout(pageLayoutOf(report.pages.at(sheets[i])));
            if (!printer.newPage()) {
                printer.abort();
                throw ReportError("the printer refused a new page");
            }
        }
        paintOnDevice(renderer, sheets[i], painter, printer);
        if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
            throw ReportError("the printer stopped the job");
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw ReportError("the printer did not accept the job");
}

PrintOutcome printReport(QWidget* parent, const PreparedReport& report, int currentPage)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!report.printOptions.printer.isEmpty())
        printer.setPrinterName(report.printOptions.printer);
    printer.setDocName(report.reportName);
    printer.setFullPage(true);
    if (!report.pages.empty())
        printer.setPageLayout(pageLayoutOf(report.pages.front()));
    // With no printer installed the dialog still offers printing to a PDF file.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    }
    if (!platform().printDialog(parent, printer, report.pageCount()))
        return PrintOutcome::Cancelled;
    printPages(report, printer, selectedPages(printer, report.pageCount(), currentPage));
    return PrintOutcome::Printed;
}

} // namespace vinarca
