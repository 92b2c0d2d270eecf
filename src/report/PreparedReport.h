#pragma once

#include "ReportModel.h"

#include <QDate>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>

#include <memory>
#include <vector>

namespace vinarca {

// A view as it prints: a copy with its geometry measured from the paper's
// top-left corner (units) and its text evaluated, optionally limited to the
// part of its band that landed on this page.
struct PlacedView
{
    std::unique_ptr<TView> view;
    QRectF clip; // empty: the whole view prints
};

// Which slice of a band went onto a page.
struct PlacedBand
{
    QString name;
    double top = 0;    // on the paper, units
    double offset = 0; // first band unit of the slice
    double height = 0; // units
};

struct PreparedPage
{
    QSizeF paperMm;
    QMarginsF marginsMm;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    std::vector<PlacedView> views; // in drawing order
    std::vector<PlacedBand> bands;

    QSizeF sizeUnits() const { return paperMm * kUnitsPerMm; }
    // The first view of that name on the page, or nothing.
    const PlacedView* find(const QString& name) const;
};

class PreparedReport
{
public:
    QString reportName;
    PreviewOptions previewOptions;
    PrintOptions printOptions;
    std::vector<PreparedPage> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }
};

// Builds the finished pages of a layout: the page's own objects on every
// page, the bands stacked below each other from the top of the printable
// area, a band that may split continued on new pages, texts evaluated.
std::unique_ptr<PreparedReport> prepare(const TReport& report, const QDate& today);

// Where a band slice may end: `wanted` units after `offset`, moved up so
// that no text line of the band's text boxes is cut in two. Returns the
// slice height (0 when not even one line fits).
double splitHeight(const TBand& band, double offset, double wanted);

// Breaks each line of a text box into lines that fit its inner width.
QStringList wrapLines(const TMemoView& memo, const QStringList& lines);

} // namespace vinarca
