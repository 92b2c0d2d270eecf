#include "ReportOutput.h"

#include "AtomicSave.h"
#include "Platform.h"
#include "ReportError.h"
#include "PrintSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>

#include <QCoreApplication>

#include <algorithm>
#include <future>
#include <mutex>
#include <system_error>

namespace vinarca {

namespace {

QPageLayout pageLayoutOf(QSizeF paperMm)
{
    // Full-page layout without margins: the prepared page already holds the
    // margins, so objects land at their own place on the paper.
    const QSizeF portrait = paperMm.width() <= paperMm.height() ? paperMm : paperMm.transposed();
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyOrientationMatch);
    const auto orientation = paperMm.width() > paperMm.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QPageLayout pageLayoutOf(const PreparedPage& page)
{
    return pageLayoutOf(page.paperMm);
}

double pixelsPerUnitOf(const QPaintDevice& device)
{
    return device.logicalDpiX() / kUnitsPerInch;
}

} // namespace

void ReportRenderer::preparePage(int index, double pixelsPerUnit, bool paged) const
{
    const PreparedPage& page = m_report.pages.at(index);
    try {
        for (const PlacedView& placed : page.views)
            placed.view->prepareDrawing(pixelsPerUnit, paged);
        // A rehearsal on a one-pixel page clipped to nothing: every view
        // runs its drawing, so what would fail half-way through the page
        // fails here, before the page is started; text boxes skip the lines
        // outside the clip, so it costs next to nothing.
        QImage rehearsal(1, 1, QImage::Format_RGB32);
        QPainter painter(&rehearsal);
        painter.setClipRect(QRectF(0, 0, 1e-3, 1e-3));
        paintPageScaled(index, painter, pixelsPerUnit);
    } catch (...) {
        releasePage(index);
        throw;
    }
}

void ReportRenderer::releasePage(int index) const
{
    for (const PlacedView& placed : m_report.pages.at(index).views)
        placed.view->releaseDrawing();
}

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

namespace {

QImage whitePaper(QSizeF paperMm, double dpi)
{
    const QSizeF dots = paperMm / kMmPerInch * dpi;
    if (!(dots.width() >= 1 && dots.height() >= 1 && dots.width() <= 65535 && dots.height() <= 65535))
        throw ReportError("the page image would be too large");
    QImage image(qRound(dots.width()), qRound(dots.height()), QImage::Format_RGB32);
    if (image.isNull())
        throw ReportError("not enough memory for the page image");
    const int dotsPerMeter = qRound(dpi / kMmPerInch * 1000.0);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    return image;
}

void paintSheet(const ReportRenderer& renderer, const PrintSheet& sheet, QPainter& painter, double pixelsPerUnit,
                const PrinterCalibration& calibration = {});
void writePdfTo(const PreparedReport& report, const QString& path);

// The printer (or the PDF file it writes) refused the job, as opposed to a
// page that could not be drawn.
class PrinterRefused : public ReportError
{
public:
    using ReportError::ReportError;
};

// A PDF file is complete when its end-of-file mark closes it; one cut short
// by a full disk lacks it.
bool isCompletePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8)
        return false;
    file.seek(std::max<qint64>(0, file.size() - 64));
    return file.readAll().contains("%%EOF");
}

// Writes a PDF file through `write`, which is given a temporary beside
// `path`; the file takes the name only once it is complete, so a full disk
// or a failed job leaves the user's earlier file of that name as it was.
template<typename Write>
void writePdfFileAtomically(const QString& path, Write write)
{
    AtomicFile file;
    if (!file.open(path))
        throw OutputFileError(QStringLiteral("cannot create a file beside %1").arg(path).toStdString());
    write(file.temporaryPath());
    if (!isCompletePdf(file.temporaryPath()) || !file.commitWrittenElsewhere())
        throw OutputFileError(QStringLiteral("cannot write %1").arg(path).toStdString());
}

} // namespace

QImage renderPageImage(const PreparedReport& report, int index, double dpi)
{
    QImage image = whitePaper(report.pages.at(index).paperMm, dpi);
    QPainter painter(&image);
    ReportRenderer(report).paintPageScaled(index, painter, dpi / kUnitsPerInch);
    return image;
}

QImage renderSheetImage(const PreparedReport& report, const PrintSheet& sheet, double dpi)
{
    QImage image = whitePaper(sheet.paperMm, dpi);
    QPainter painter(&image);
    paintSheet(ReportRenderer(report), sheet, painter, dpi / kUnitsPerInch);
    return image;
}

void writePdf(const PreparedReport& report, const QString& path)
{
    if (report.pages.empty())
        throw ReportError("no pages to write");
    writePdfFileAtomically(path, [&report](const QString& temporary) { writePdfTo(report, temporary); });
}

namespace {
void writePdfTo(const PreparedReport& report, const QString& path)
{
    QPdfWriter writer(path);
    writer.setTitle(report.reportName);
    writer.setCreator(QStringLiteral("Vinarca"));
    writer.setResolution(1200);
    writer.setPageLayout(pageLayoutOf(report.pages.front()));
    const ReportRenderer renderer(report);
    const double pixelsPerUnit = pixelsPerUnitOf(writer);
    renderer.preparePage(0, pixelsPerUnit, true);
    QPainter painter;
    if (!painter.begin(&writer)) {
        renderer.releasePage(0);
        throw ReportError(QStringLiteral("cannot write %1").arg(path).toStdString());
    }
    for (int i = 0; i < renderer.pageCount(); ++i) {
        if (i > 0) {
            renderer.preparePage(i, pixelsPerUnit, true);
            writer.setPageLayout(pageLayoutOf(report.pages.at(i)));
            if (!writer.newPage()) {
                renderer.releasePage(i);
                throw ReportError("cannot start a new PDF page");
            }
        }
        renderer.paintPageScaled(i, painter, pixelsPerUnit);
        renderer.releasePage(i);
    }
    if (!painter.end())
        throw OutputFileError(QStringLiteral("cannot finish %1").arg(path).toStdString());
}
} // namespace

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
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

QList<int> printedSheets(const QList<int>& pages, int copies, bool collate)
{
    QList<int> sheets;
    copies = std::max(1, copies);
    if (collate) {
        for (int c = 0; c < copies; ++c)
            sheets << pages;
    } else {
        for (int page : pages)
            for (int c = 0; c < copies; ++c)
                sheets << page;
    }
    return sheets;
}

namespace {

// Prepares every page a sheet carries, each once, at the size it prints;
// on failure lets go of what it prepared and throws.
void prepareSheet(const ReportRenderer& renderer, const PrintSheet& sheet, double pixelsPerUnit)
{
    QList<int> prepared;
    try {
        for (const SheetPlacement& placed : sheet.placements) {
            if (prepared.contains(placed.page))
                continue;
            renderer.preparePage(placed.page, pixelsPerUnit * placed.scale, true);
            prepared << placed.page;
        }
    } catch (...) {
        for (int page : prepared)
            renderer.releasePage(page);
        throw;
    }
}

void releaseSheet(const ReportRenderer& renderer, const PrintSheet& sheet)
{
    QList<int> released;
    for (const SheetPlacement& placed : sheet.placements)
        if (!released.contains(placed.page)) {
            renderer.releasePage(placed.page);
            released << placed.page;
        }
}

// Crop marks are hairlines a tenth of a millimetre wide.
constexpr double kCropMarkWidthMm = 0.1;

void paintSheet(const ReportRenderer& renderer, const PrintSheet& sheet, QPainter& painter, double pixelsPerUnit,
                const PrinterCalibration& calibration)
{
    const double pixelsPerMm = pixelsPerUnit * kUnitsPerMm;
    // The printer's correction moves and stretches the whole sheet from its
    // top-left corner, so every label and mark keeps its place relative to
    // the others.
    painter.save();
    painter.translate(QPointF(calibration.offsetXMm, calibration.offsetYMm) * pixelsPerMm);
    painter.scale(calibration.scaleX, calibration.scaleY);
    if (!sheet.cropMarksMm.empty()) {
        painter.save();
        painter.scale(pixelsPerMm, pixelsPerMm);
        painter.setPen(QPen(Qt::black, kCropMarkWidthMm, Qt::SolidLine, Qt::FlatCap));
        for (const QLineF& mark : sheet.cropMarksMm)
            painter.drawLine(mark);
        painter.restore();
    }
    for (const SheetPlacement& placed : sheet.placements) {
        painter.save();
        painter.translate(placed.originMm * pixelsPerMm);
        painter.scale(placed.scale, placed.scale);
        renderer.paintPageScaled(placed.page, painter, pixelsPerUnit);
        painter.restore();
    }
    painter.restore();
}

} // namespace

std::vector<PrintSheet> printSheets(const PreparedReport& report, const QList<int>& order, const PrintChoices& choices,
                                    QSizeF printerPaperMm)
{
    std::vector<PageFootprint> footprints;
    footprints.reserve(report.pages.size());
    for (const PreparedPage& page : report.pages)
        footprints.push_back(footprintOf(page));
    const QSizeF paper = choices.mode == PrintMode::PrintOnSheet ? choices.sheet.size(QPageSize::Millimeter)
                                                                  : printerPaperMm;
    return layOutSheets(footprints, order, choices.mode, paper, choices.stock);
}

namespace {
void printSheetsTo(const PreparedReport& report, QPrinter& printer, const QList<int>& pages, const PrintChoices& choices,
                   const PrinterCalibration& calibration, const SheetProgress& progress);
}

void printPages(const PreparedReport& report, QPrinter& printer, const QList<int>& pages, const PrintChoices& choices,
                const PrinterCalibration& calibration, const SheetProgress& progress)
{
    if (pages.isEmpty())
        throw ReportError("the chosen range holds no page");
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) {
        printSheetsTo(report, printer, pages, choices, calibration, progress);
        return;
    }
    // The printer writes into a temporary that takes the chosen name once
    // the document is complete.
    const QString path = printer.outputFileName();
    writePdfFileAtomically(path, [&](const QString& temporary) {
        printer.setOutputFileName(temporary);
        const auto restoreName = qScopeGuard([&] { printer.setOutputFileName(path); });
        try {
            printSheetsTo(report, printer, pages, choices, calibration, progress);
        } catch (const PrinterRefused& refused) {
            // The printer here is the file: it could not be written.
            throw OutputFileError(refused.what());
        }
    });
}

namespace {
void printSheetsTo(const PreparedReport& report, QPrinter& printer, const QList<int>& pages, const PrintChoices& choices,
                   const PrinterCalibration& calibration, const SheetProgress& progress)
{
    if (pages.isEmpty())
        throw ReportError("the chosen range holds no page");
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (!toFile && QPrinterInfo::printerInfo(printer.printerName()).isNull())
        throw ReportError(QStringLiteral("the printer %1 is not available").arg(printer.printerName()).toStdString());
    if (toFile && printer.outputFileName().isEmpty())
        throw ReportError("no file to print to");

    // Copies, page order and the print mode are laid out here rather than
    // left to the driver, so every printer and a PDF file receive the same
    // sheets.
    const QList<int> order = printedSheets(pages, printer.copyCount(), printer.collateCopies());
    const std::vector<PrintSheet> sheets =
        printSheets(report, order, choices, printer.pageLayout().fullRect(QPageLayout::Millimeter).size());
    printer.setCopyCount(1);
    printer.setPageOrder(QPrinter::FirstPageFirst);

    printer.setFullPage(true);
    printer.setDocName(report.reportName);
    printer.setPageLayout(pageLayoutOf(sheets.front().paperMm));
    const ReportRenderer renderer(report);
    const double pixelsPerUnit = pixelsPerUnitOf(printer);
    // Whatever can fail on a sheet is done before its first stroke: a sheet
    // that cannot be drawn ends the job before it starts, so no half-drawn
    // sheet reaches the paper.
    prepareSheet(renderer, sheets.front(), pixelsPerUnit);
    QPainter painter;
    if (!painter.begin(&printer)) {
        releaseSheet(renderer, sheets.front());
        throw PrinterRefused("the printer cannot start the job");
    }
    auto fail = [&](const PrintSheet& sheet, const char* what, bool refused) {
        releaseSheet(renderer, sheet);
        printer.abort();
        painter.end();
        if (refused)
            throw PrinterRefused(what);
        throw ReportError(what);
    };
    for (size_t i = 0; i < sheets.size(); ++i) {
        const PrintSheet& sheet = sheets[i];
        if (i > 0) {
            try {
                prepareSheet(renderer, sheet, pixelsPerUnit);
            } catch (...) {
                // The sheets before it are printed; the job ends without it.
                painter.end();
                throw;
            }
            printer.setPageLayout(pageLayoutOf(sheet.paperMm));
            if (!printer.newPage())
                fail(sheet, "the printer refused a new page", true);
        }
        try {
            paintSheet(renderer, sheet, painter, pixelsPerUnit, calibration);
        } catch (const std::exception&) {
            fail(sheet, "a page could not be drawn", false);
        }
        releaseSheet(renderer, sheet);
        if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
            fail(sheet, "the printer stopped the job", true);
        if (progress && !progress(int(i) + 1, int(sheets.size()))) {
            printer.abort();
            painter.end();
            throw PrintCancelled();
        }
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw PrinterRefused("the printer did not accept the job");
}
} // namespace

namespace {
std::mutex g_printingAheadMutex;
std::shared_future<void> g_printingAhead;

void waitForPrintingAhead()
{
    std::shared_future<void> ahead;
    {
        const std::lock_guard lock(g_printingAheadMutex);
        ahead = g_printingAhead;
    }
    if (ahead.valid())
        ahead.wait();
}
} // namespace

void loadPrintingAhead()
{
    const std::lock_guard lock(g_printingAheadMutex);
    if (g_printingAhead.valid() || !QCoreApplication::instance())
        return;
    try {
        g_printingAhead = std::async(std::launch::async, [] { QPrinterInfo::availablePrinterNames(); }).share();
    } catch (const std::system_error&) {
        return; // no thread to spare: the first print loads it
    }
    qAddPostRoutine(waitForPrintingAhead);
}

namespace {
// What a run adds to printing a document: each page's copies and the
// progress window's text.
struct RunJob
{
    const QList<int>& copies;
    const QString& progressText;
};

PrintOutcome printThroughDialog(QWidget* parent, const PreparedReport& report, int currentPage, const RunJob* run)
{
    waitForPrintingAhead();
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
    // The dialog offers what was chosen the last time a document of this
    // kind was printed.
    const QString& document = report.printOptions.document;
    DocumentPrintSettings remembered;
    if (!document.isEmpty())
        remembered = loadDocumentPrintSettings(document);
    // A run carries its own copies: the dialog's copies repeat the whole run.
    printer.setCopyCount(run ? 1 : remembered.copies);
    PrintChoices choices = remembered.choices;
    if (run)
        choices.mode = PrintMode::JoinSmallPages;
    const Calibrations calibrated = loadCalibrations();
    choices.calibrations = calibrated;
    choices.showModeFirst = report.printOptions.labels;
    const bool confirmed = platform().printDialog(parent, printer, report.pageCount(), choices);
    // A calibration is kept as soon as the user made it, even when the
    // print itself is then cancelled; the settings are a convenience, so a
    // folder that cannot be written leaves them unsaved and prints anyway.
    if (choices.calibrations != calibrated)
        saveCalibrations(choices.calibrations);
    if (!confirmed)
        return PrintOutcome::Cancelled;
    DocumentPrintSettings chosen{choices, printer.copyCount()};
    chosen.choices.calibrations = {};
    if (!document.isEmpty())
        saveDocumentPrintSettings(document, chosen);
    QList<int> pages = selectedPages(printer, report.pageCount(), currentPage);
    SheetProgress progress;
    std::unique_ptr<Progress> window;
    if (run) {
        QList<int> repeated;
        for (int page : pages)
            repeated.insert(repeated.size(), std::max(0, run->copies.value(page)), page);
        pages = repeated;
        progress = [&](int done, int total) {
            if (!window)
                window = platform().progress(parent, run->progressText, total);
            return window->advance(done);
        };
    }
    try {
        printPages(report, printer, pages, choices, calibrationFor(printer, choices.calibrations), progress);
    } catch (const PrintCancelled&) {
        return PrintOutcome::Cancelled;
    }
    // "Start at label" is for one partly used sheet: once a print has
    // filled it from there, the next print starts on a fresh sheet. A print
    // that failed above leaves the setting as it was.
    if (!document.isEmpty() && choices.mode == PrintMode::JoinSmallPages && choices.stock.startAt > 1) {
        chosen.choices.stock.startAt = 1;
        saveDocumentPrintSettings(document, chosen);
    }
    return PrintOutcome::Printed;
}
} // namespace

PrintOutcome printReport(QWidget* parent, const PreparedReport& report, int currentPage)
{
    return printThroughDialog(parent, report, currentPage, nullptr);
}

PrintOutcome printRun(QWidget* parent, const PreparedReport& report, const QList<int>& copies,
                      const QString& progressText)
{
    const RunJob run{copies, progressText};
    return printThroughDialog(parent, report, 0, &run);
}

PrinterCalibration calibrationFor(bool toPdf, const QString& printerName, const Calibrations& calibrations)
{
    if (toPdf)
        return calibrations.forPdf.isEmpty() ? PrinterCalibration() : calibrations.byPrinter.value(calibrations.forPdf);
    return calibrations.byPrinter.value(printerName);
}

PrinterCalibration calibrationFor(const QPrinter& printer, const Calibrations& calibrations)
{
    return calibrationFor(printer.outputFormat() == QPrinter::PdfFormat, printer.printerName(), calibrations);
}

bool printReport(QWidget* owner, const TReport& report)
{
    if (!report.prepared())
        throw ReportError("the report has not been prepared");
    return printReport(owner, *report.prepared()) == PrintOutcome::Printed;
}

} // namespace vinarca
