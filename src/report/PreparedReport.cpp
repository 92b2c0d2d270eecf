#include "PreparedReport.h"

#include <QFontMetricsF>
#include <QImage>

namespace vinarca {

namespace {

// Lengths closer than this are equal: millimetre values converted to units
// never add up exactly.
constexpr double kEpsilon = 1e-6;

std::unique_ptr<TView> preparedCopy(const TView& view, const QDate& today)
{
    std::unique_ptr<TView> copy = view.clone();
    if (auto* memo = dynamic_cast<TMemoView*>(copy.get())) {
        QStringList lines = memo->lines();
        if (memo->expressions)
            for (QString& line : lines)
                line = TMemoView::evaluate(line, today);
        if (memo->wordWrap)
            lines = wrapLines(*memo, lines);
        memo->setLines(std::move(lines));
    }
    return copy;
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
        page.orientation = m_page.orientation();
        for (const auto& view : m_page.views) {
            PlacedView placed{preparedCopy(*view, m_today), {}};
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
                slice = available; // a line taller than a page: cut it rather than loop
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
            PlacedView placed{preparedCopy(*view, m_today), {}};
            placed.view->geometry.translate(left(), m_cursor - offset);
            const bool whole = top >= 0 && top + view->geometry.height() <= height + kEpsilon;
            if (!whole)
                placed.clip = clip;
            page.views.push_back(std::move(placed));
        }
        m_cursor += height;
    }

    const TReportPage& m_page;
    QDate m_today;
    PreparedReport& m_out;
    double m_cursor = 0;
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
    // so repeat until no text box objects.
    bool moved = true;
    while (moved) {
        moved = false;
        for (const auto& view : band.views) {
            const auto* memo = dynamic_cast<const TMemoView*>(view.get());
            if (!memo)
                continue;
            const double pitch = memo->linePitch();
            for (int i = 0; i < memo->lines().size(); ++i) {
                const double top = memo->geometry.top() + memo->lineTop(i);
                if (top < end - kEpsilon && top + pitch > end + kEpsilon && top >= offset - kEpsilon) {
                    end = top;
                    moved = true;
                    break;
                }
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
