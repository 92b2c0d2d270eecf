#include "WineListReport.h"

#include "Platform.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"

#include <memory>

namespace vinarca {

namespace {
// Height of one list line and the room below the last one, in 1/96 inch.
constexpr double kListLinePitch = 12.822;
constexpr double kBandExtra = 10;
} // namespace

std::unique_ptr<TReport> prepareListReport(const QString& title, const QStringList& lines)
{
    std::unique_ptr<TReport> report = loadReportLayout(QStringLiteral(":/reports/riepilogo.json"));
    auto* titleBox = report->find<TMemoView>(QStringLiteral("txtTitolo"));
    auto* list = report->find<TMemoView>(QStringLiteral("txtRiepilogo"));
    auto* band = report->find<TBand>(QStringLiteral("MasterData"));
    if (!titleBox || !list || !band)
        throw ReportError("list layout incomplete");
    titleBox->setText(title);
    list->setLines(lines);
    list->setHeight(lines.size() * kListLinePitch);
    band->setHeight(list->geometry.height() + kBandExtra);
    report->prepareReport();
    return report;
}

void printWineList(QWidget* owner, const QStringList& lines)
{
    try {
        prepareListReport(QStringLiteral("Riepilogo vini in catalogo"), lines)->print(owner);
    } catch (const ReportError&) {
        platform().message(owner, MessageKind::Warning,
                           QStringLiteral("Attenzione: si è verificato un errore durante la stampa del riepilogo."));
    }
}

} // namespace vinarca
