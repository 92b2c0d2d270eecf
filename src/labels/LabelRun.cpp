#include "LabelRun.h"

#include "Artwork.h"
#include "DocumentWindow.h"
#include "EditFlow.h"
#include "LabelPrint.h"
#include "Length.h"
#include "Photo.h"
#include "Platform.h"
#include "PreparedReport.h"
#include "PrintSettings.h"
#include "PrintSheets.h"
#include "RecordArchive.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "ReportPreview.h"

#include <QFileInfo>
#include <QHash>
#include <QPainter>

#include <numeric>

namespace vinarca {

qint64 LabelRun::totalCopies() const
{
    return std::accumulate(m_entries.cbegin(), m_entries.cend(), qint64(0),
                           [](qint64 sum, const LabelRunEntry& e) { return sum + e.copies; });
}

void LabelRun::add(qint64 position, const QString& product, int copies)
{
    for (LabelRunEntry& entry : m_entries)
        if (entry.position == position) {
            entry.copies = copies;
            entry.product = product;
            return;
        }
    m_entries.append({position, product, copies});
}

void LabelRun::setCopies(int row, int copies)
{
    if (row >= 0 && row < m_entries.size())
        m_entries[row].copies = copies;
}

void LabelRun::remove(int row)
{
    if (row >= 0 && row < m_entries.size())
        m_entries.removeAt(row);
}

bool LabelRun::move(int row, int step)
{
    const int to = row + step;
    if (row < 0 || row >= m_entries.size() || to < 0 || to >= m_entries.size())
        return false;
    m_entries.swapItemsAt(row, to);
    return true;
}

LabelRun& labelRunOf(const LabelKind& kind)
{
    static LabelRun vertical, horizontal;
    return &kind == &verticalLabelKind() ? vertical : horizontal;
}

std::optional<int> parseRunCopies(const QString& text)
{
    bool ok = false;
    const int copies = text.trimmed().toInt(&ok);
    if (!ok || copies < 1 || copies > kMaxRunCopies)
        return std::nullopt;
    return copies;
}

QString runCopiesMessage()
{
    return QStringLiteral("Attenzione: il numero di copie deve essere un numero intero compreso tra 1 e %1.")
        .arg(kMaxRunCopies);
}

qint64 PreparedRun::totalCopies() const
{
    return std::accumulate(copies.cbegin(), copies.cend(), qint64(0));
}

namespace {

QString emptyRunMessage()
{
    return QStringLiteral("Attenzione: la serie di stampa non contiene copie da stampare.\r\n\r\n"
                          "Aggiungere alla serie almeno un'etichetta con il numero di copie desiderato.");
}

QString missingLabelMessage(const LabelRunEntry& entry)
{
    return QStringLiteral("Attenzione: l'etichetta \"%1\" (scheda n. %2) non si trova più in archivio.\r\n\r\n"
                          "Togliere l'etichetta dalla serie e ripetere la stampa: nulla è stato stampato.")
        .arg(entry.product)
        .arg(entry.position);
}

// The logo a label prints with: its own file, decoded for paper, or the
// kind's default logo where the file is missing or cannot be read, as the
// editor shows it.
QImage printedLogo(const LabelKind& kind, qint64 position)
{
    if (const auto photo = readPhotoFile(kind.record.picturePath(QString::number(position)), kPrintedLogoSize))
        return photoImageAt(*photo, kPrintedLogoSize);
    return photoImageAt(Photo{artwork(kind.defaultLogo), {}}, kPrintedLogoSize);
}

LabelPrintInput storedLabel(const LabelKind& kind, const QByteArray& record, qint64 position)
{
    LabelPrintInput input;
    const RecordLayout& layout = labelLayout();
    for (int line = 0; line < kLabelLineCount; ++line)
        input.lines[line] = layout.decodeField(record, layout.indexOf(labelLineField(static_cast<LabelLine>(line))));
    input.logo = printedLogo(kind, position);
    return input;
}

// Crop marks of a sheet drawn as a view of its page, in units.
class CropMarksView final : public TView
{
public:
    CropMarksView(std::vector<QLineF> marksMm, QSizeF paperMm)
        : TView(QStringLiteral("CropMarks")), m_marksMm(std::move(marksMm))
    {
        geometry = QRectF(QPointF(0, 0), paperMm * kUnitsPerMm);
    }
    std::unique_ptr<TView> clone() const override { return std::make_unique<CropMarksView>(*this); }

protected:
    void drawContent(QPainter& painter) const override
    {
        painter.save();
        painter.scale(kUnitsPerMm, kUnitsPerMm);
        painter.setPen(QPen(Qt::black, 0.1, Qt::SolidLine, Qt::FlatCap));
        for (const QLineF& mark : m_marksMm)
            painter.drawLine(mark);
        painter.restore();
    }
    Qt::Edges frameLines() const override { return {}; }

private:
    std::vector<QLineF> m_marksMm;
};

} // namespace

PreparedRun prepareRun(const LabelKind& kind, const LabelRun& run)
{
    if (run.totalCopies() <= 0)
        throw RunError(emptyRunMessage());
    PreparedRun prepared;
    prepared.labels = std::make_shared<PreparedReport>();
    try {
        // One reading of the archive for the whole run: every label as
        // stored now, the job's start.
        RecordArchive archive(kind.record.archivePath(), *kind.record.layout, RecordArchive::Access::Read);
        const qint64 count = archive.count();
        QByteArray record;
        // One layout for every label: refilled for each, its own pictures
        // stay the same image, which the PDF then holds once.
        const std::unique_ptr<TReport> label = loadLabelLayout(kind);
        for (const LabelRunEntry& entry : run.entries()) {
            if (entry.copies <= 0)
                continue;
            if (entry.position < 1 || entry.position > count)
                throw RunError(missingLabelMessage(entry));
            archive.readAt(entry.position, record);
            fillLabel(*label, storedLabel(kind, record, entry.position));
            label->prepareReport();
            // The prepared pages belong to the layout's preparation; the run
            // takes its own copy of the one page.
            for (const PreparedPage& page : label->prepared()->pages) {
                PreparedPage copy{page.paperMm, page.marginsMm, page.orientation, {}, page.bands};
                for (const PlacedView& placed : page.views)
                    copy.views.push_back({placed.view->clone(), placed.clip});
                prepared.labels->pages.push_back(std::move(copy));
                prepared.copies << entry.copies;
            }
        }
    } catch (const ArchiveError&) {
        throw RunError(accessFailureMessage());
    }
    prepared.labels->reportName = QStringLiteral("Serie di etichette");
    prepared.labels->printOptions.document = runDocumentName(kind);
    prepared.labels->printOptions.labels = true;
    return prepared;
}

QString runDocumentName(const LabelKind& kind)
{
    return QFileInfo(kind.layoutPath).completeBaseName() + QStringLiteral("_serie");
}

QSizeF runPaperMm()
{
    return QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
}

int runSheetCount(const LabelKind& kind, qint64 labels, const LabelStock& stock)
{
    if (labels <= 0)
        return 0;
    // The size of the kind's label on paper, from its layout prepared once.
    static QHash<const LabelKind*, PageFootprint> footprints;
    if (!footprints.contains(&kind)) {
        const std::unique_ptr<TReport> label = loadLabelLayout(kind);
        fillLabel(*label, LabelPrintInput{});
        label->prepareReport();
        footprints.insert(&kind, footprintOf(label->prepared()->pages.front()));
    }
    const QList<int> order(qsizetype(labels), 0);
    return int(layOutSheets({footprints.value(&kind)}, order, PrintMode::JoinSmallPages, runPaperMm(), stock).size());
}

std::shared_ptr<PreparedReport> sheetsAsPages(const PreparedReport& labels, const std::vector<PrintSheet>& sheets)
{
    auto pages = std::make_shared<PreparedReport>();
    pages->reportName = labels.reportName;
    pages->previewOptions = labels.previewOptions;
    pages->printOptions = labels.printOptions;
    for (const PrintSheet& sheet : sheets) {
        PreparedPage page;
        page.paperMm = sheet.paperMm;
        page.orientation = sheet.paperMm.width() > sheet.paperMm.height() ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait;
        for (const SheetPlacement& placed : sheet.placements) {
            const QPointF shift = placed.originMm * kUnitsPerMm;
            for (const PlacedView& view : labels.pages.at(placed.page).views) {
                std::unique_ptr<TView> copy = view.view->clone();
                copy->geometry.translate(shift);
                page.views.push_back({std::move(copy), view.clip.isEmpty() ? QRectF() : view.clip.translated(shift)});
            }
        }
        if (!sheet.cropMarksMm.empty())
            page.views.push_back({std::make_unique<CropMarksView>(sheet.cropMarksMm, sheet.paperMm), {}});
        pages->pages.push_back(std::move(page));
    }
    return pages;
}

bool checkRunBeforePrint(QWidget*, const LabelKind&, const PreparedRun&)
{
    return true;
}

void outputLabelRun(QWidget* parent, const LabelKind& kind, const LabelRun& run, DocumentAction action)
{
    PreparedRun prepared;
    try {
        prepared = prepareRun(kind, run);
    } catch (const RunError& error) {
        platform().message(parent, MessageKind::Warning, error.message());
        return;
    }
    if (!checkRunBeforePrint(parent, kind, prepared))
        return;
    if (action == DocumentAction::Print) {
        printRun(parent, *prepared.labels, prepared.copies,
                 QStringLiteral("Stampa della serie di %1 etichette in corso...").arg(prepared.totalCopies()));
        return;
    }
    // The preview shows the sheets the print makes with the remembered stock.
    const DocumentPrintSettings remembered = loadDocumentPrintSettings(runDocumentName(kind));
    PrintChoices choices = remembered.choices;
    choices.mode = PrintMode::JoinSmallPages;
    QList<int> order;
    for (int page = 0; page < prepared.copies.size(); ++page)
        order.insert(order.size(), prepared.copies.at(page), page);
    const std::vector<PrintSheet> sheets = printSheets(*prepared.labels, order, choices, runPaperMm());
    showPreview(parent, sheetsAsPages(*prepared.labels, sheets));
}

void openRunDocument(QWidget* owner, const LabelKind& kind, DocumentAction action)
{
    DocumentWindowSpec setup = labelDocumentSpec(kind, action);
    if (action == DocumentAction::Print) {
        setup.objectName = QStringLiteral("frmStampaSerie");
        setup.caption = QStringLiteral(" Stampa serie di etichette");
        setup.heading = QStringLiteral("Stampa serie di etichette");
        setup.what = QStringLiteral("Questa operazione provvederà a stampare su carta le etichette della serie, "
                                   "ciascuna nel numero di copie indicato, così come sono salvate in archivio.");
    } else {
        setup.objectName = QStringLiteral("frmAnteprimaSerie");
        setup.what = QStringLiteral("Questa operazione consente di visualizzare sullo schermo i fogli della serie "
                                   "di etichette così come appariranno in stampa.");
    }
    DocumentWindow window(setup, QImage(), {}, owner);
    window.setOutput([&kind, action](DocumentWindow& self) { outputLabelRun(&self, kind, labelRunOf(kind), action); });
    platform().execDialog(window);
}

} // namespace vinarca
