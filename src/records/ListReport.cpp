#include "ListReport.h"

#include "Platform.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ReportOutput.h"

namespace vinarca {

namespace {
// Room left under the last line, above the footer, in 1/96 inch.
constexpr double kBandExtra = 10;
} // namespace

std::unique_ptr<TReport> prepareListReport(const QString& title, const QStringList& lines, const QString& document)
{
    std::unique_ptr<TReport> report = loadReportLayout(QStringLiteral(":/records/riepilogo.json"));
    auto* titleBox = report->find<TMemoView>(QStringLiteral("txtTitolo"));
    auto* list = report->find<TMemoView>(QStringLiteral("txtRiepilogo"));
    auto* band = report->find<TBand>(QStringLiteral("MasterData"));
    if (!titleBox || !list || !band)
        throw ReportError("list layout incomplete");
    titleBox->setText(title);
    list->setLines(lines);
    // The text box is as tall as the lines it draws, at the pitch they are
    // drawn at, so the footer follows the last line at the same distance
    // however long the list is.
    list->setHeight(list->linesHeight());
    band->setHeight(list->geometry.height() + kBandExtra);
    report->printOptions.document = document;
    report->prepareReport();
    return report;
}

QString listPrintFailureMessage()
{
    return QStringLiteral("Attenzione: si è verificato un errore durante la stampa del riepilogo.");
}

void printList(QWidget* owner, const QString& title, const QStringList& lines, const QString& document)
{
    try {
        printReport(owner, *prepareListReport(title, lines, document));
    } catch (const OutputFileError&) {
        platform().message(owner, MessageKind::Warning, QString::fromUtf8(kOutputFileFailureMessage));
    } catch (const std::exception&) {
        // ReportError, and std::bad_alloc for a list beyond the memory left.
        platform().message(owner, MessageKind::Warning, listPrintFailureMessage());
    }
}

} // namespace vinarca
