#include "PreparedReport.h"

#include "ReportError.h"

#include <QFontMetricsF>
#include <QImage>

#include <cmath>
#include <unordered_map>

namespace vinarca {

namespace {

// Lengths closer than this are equal: millimetre values converted to units
// never add up exactly.
constexpr double kEpsilon = 1e-6;

QStringList printedLines(const TMemoView& memo, const QDate& today)
{
    QStringList lines = memo.lines();
    if (memo.expressions)
        for (QString& line : lines)
            line = TMemoView::evaluate(line, today);
    if (memo.wordWrap)
        lines = wrapLines(memo, lines);
    return lines;
}

class Preparation
{
public:
    Preparation(const TReport& report, const QDate& today, PreparedReport& out)
        : m_page(report.page()), m_today(today), m_out(out)
    {
    }

    void run()
    {
        startPage();
        for (const auto& band : m_page.bands)
            placeBand(*band);
    }

private:
    double printableTop() const { return m_page.topMarginMm * kUnitsPerMm; }
    double printableBottom() const { return (m_page.paperHeightMm - m_page.bottomMarginMm) * kUnitsPerMm; }
    double left() const { return m_page.leftMarginMm * kUnitsPerMm; }

    void startPage()
    {
        PreparedPage& page = m_out.pages.emplace_back();
        page.paperMm = QSizeF(m_page.paperWidthMm, m_page.paperHeightMm);
        page.marginsMm = QMarginsF(m_page.leftMarginMm, m_page.topMarginMm, m_page.rightMarginMm, m_page.bottomMarginMm);
        page.orientation = m_page.orientation();
        for (const auto& view : m_page.views) {
            PlacedView placed{preparedCopy(*view), {}};
            placed.view->geometry.translate(left(), printableTop());
            page.views.push_back(std::move(placed));
        }
        m_cursor = printableTop();
    }

    bool pageHasBands() const { return !m_out.pages.back().bands.empty(); }

    void placeBand(const TBand& band)
    {
        double offset = 0;
        double remaining = band.height;
        for (;;) {
            const double available = printableBottom() - m_cursor;
            if (remaining <= available + kEpsilon) {
                placeSlice(band, offset, remaining);
                return;
            }
            if (!band.allowSplit) {
                // A band that cannot split goes whole onto a fresh page; one
                // taller than a page prints as much as the page holds.
                if (pageHasBands()) {
                    startPage();
                    continue;
                }
                placeSlice(band, offset, remaining);
                return;
            }
            double slice = splitHeight(band, offset, available);
            if (slice <= kEpsilon) {
                if (pageHasBands()) {
                    startPage();
                    continue;
                }
                // A line taller than a page is cut rather than looped over;
                // a page with no room at all cannot hold anything.
                if (available <= kEpsilon)
                    throw ReportError("the page leaves no room for the band " + band.name().toStdString());
                slice = available;
            }
            placeSlice(band, offset, slice);
            offset += slice;
            remaining -= slice;
            startPage();
        }
    }

    void placeSlice(const TBand& band, double offset, double height)
    {
        PreparedPage& page = m_out.pages.back();
        page.bands.push_back({band.name(), m_cursor, offset, height});
        const QRectF clip(0, m_cursor, page.sizeUnits().width(), height);
        for (const auto& view : band.views) {
            const double top = view->geometry.top() - offset;
            if (top >= height || top + view->geometry.height() <= 0)
                continue; // wholly in another slice
            const bool whole = top >= 0 && top + view->geometry.height() <= height + kEpsilon;
            PlacedView placed{whole ? preparedCopy(*view) : slicedCopy(*view, offset, height), {}};
            placed.view->geometry.translate(left(), m_cursor - offset);
            if (!whole)
                placed.clip = clip;
            page.views.push_back(std::move(placed));
        }
        m_cursor += height;
    }

    // A copy of the view as it prints. A text box's lines are evaluated and
    // wrapped once per preparation however many pages its band spans.
    std::unique_ptr<TView> preparedCopy(const TView& view)
    {
        std::unique_ptr<TView> copy = view.clone();
        if (auto* memo = dynamic_cast<TMemoView*>(copy.get())) {
            auto found = m_printed.find(&view);
            if (found == m_printed.end())
                found = m_printed.emplace(&view, printedLines(*memo, m_today)).first;
            memo->setLines(found->second);
        }
        return copy;
    }

    // The copy of a view standing in a band slice: a top-aligned text box
    // keeps only the lines that show in the slice, so each page holds its own
    // lines and no page copies the whole of a long text.
    std::unique_ptr<TView> slicedCopy(const TView& view, double offset, double height)
    {
        std::unique_ptr<TView> copy = preparedCopy(view);
        auto* memo = dynamic_cast<TMemoView*>(copy.get());
        if (!memo || memo->vAlign != VAlign::Top || memo->lines().isEmpty())
            return copy;
        const double pitch = memo->linePitch();
        // Slice edges in the box's own coordinates.
        const double from = offset - memo->geometry.top();
        const double to = from + height;
        const int first = std::max(0, int(std::floor((from - TMemoView::kGapY) / pitch)));
        const int last = int(std::ceil((to - TMemoView::kGapY) / pitch)); // one past
        memo->keepLines(first, std::max(0, last - first));
        return copy;
    }

    const TReportPage& m_page;
    QDate m_today;
    PreparedReport& m_out;
    double m_cursor = 0;
    std::unordered_map<const TView*, QStringList> m_printed;
};

} // namespace

const PlacedView* PreparedPage::find(const QString& name) const
{
    for (const PlacedView& placed : views)
        if (placed.view->name() == name)
            return &placed;
    return nullptr;
}

std::unique_ptr<PreparedReport> prepare(const TReport& report, const QDate& today)
{
    auto out = std::make_unique<PreparedReport>();
    out->reportName = report.reportName;
    out->previewOptions = report.previewOptions;
    out->printOptions = report.printOptions;
    Preparation(report, today, *out).run();
    return out;
}

double splitHeight(const TBand& band, double offset, double wanted)
{
    double end = offset + wanted;
    // Moving the end up past one text box's line can cut a line of another,
    // so repeat until no text box objects. Lines stand at a fixed pitch, so
    // the line under the end is found directly, not by walking the text.
    bool moved = true;
    while (moved) {
        moved = false;
        for (const auto& view : band.views) {
            const auto* memo = dynamic_cast<const TMemoView*>(view.get());
            if (!memo || memo->lines().isEmpty())
                continue;
            const double pitch = memo->linePitch();
            const double firstTop = memo->geometry.top() + memo->lineTop(0);
            const double at = std::floor((end - firstTop) / pitch);
            if (at < 0 || at >= memo->lines().size())
                continue;
            const double top = firstTop + at * pitch;
            if (top < end - kEpsilon && top + pitch > end + kEpsilon && top >= offset - kEpsilon) {
                end = top;
                moved = true;
            }
        }
    }
    return std::max(0.0, end - offset);
}

QStringList wrapLines(const TMemoView& memo, const QStringList& lines)
{
    const QFontMetricsF metrics(memo.font(referenceDevice().logicalDpiY()), &referenceDevice());
    const double width = memo.geometry.width() - 2 * TMemoView::kGapX;
    QStringList out;
    for (const QString& line : lines) {
        if (metrics.horizontalAdvance(line) <= width) {
            out << line;
            continue;
        }
        QString current;
        const QStringList words = line.split(QLatin1Char(' '));
        for (const QString& word : words) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
                out << current;
                current = word;
            } else {
                current = candidate;
            }
        }
        out << current;
    }
    return out;
}

} // namespace vinarca
