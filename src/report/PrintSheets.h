#pragma once

#include "PrintChoices.h"

#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

namespace vinarca {

struct PreparedPage;

// What the print modes need to know of a prepared page, in millimetres.
struct PageFootprint
{
    QSizeF paperMm;
    QMarginsF marginsMm;
    QRectF inkMm; // what the page prints on, from the paper's corner; empty: nothing
};

PageFootprint footprintOf(const PreparedPage& page);

// One prepared page on a sheet: its paper's top-left corner lands at
// `originMm` on the sheet and the page is drawn `scale` times its size.
struct SheetPlacement
{
    int page = 0;
    QPointF originMm;
    double scale = 1;
};

struct PrintSheet
{
    QSizeF paperMm; // as it lies: a landscape sheet is wider than tall
    std::vector<SheetPlacement> placements;
    std::vector<QLineF> cropMarksMm; // lines to cut along, on the sheet
};

// The sheets that print the pages `order` (indices into `pages`, copies
// already repeated) in a print mode. `paperMm` is the paper in the printer
// (the sheet chosen for "Print on sheet"); every mode but the default turns
// it to lie like the page it takes, so a landscape list stays landscape.
//  - Default: each page on a sheet of its own paper.
//  - Split big pages: a page larger than the paper is cut into paper-sized
//    tiles at real size from its top-left corner; tiles with nothing on
//    them are left out. A page that fits prints as it is.
//  - Join small pages: the printed areas of the pages (from the corner of
//    the printable area to the end of what they print) side by side at real
//    size, in rows from the top-left inside the page's margins, as many to
//    a sheet as fit; a page too large for that gets a sheet of its own paper.
//    On label stock other than plain, the labels stand in a grid of places
//    the size of the first page's printed area: the first at
//    `stock.firstMm`, the others `stock.gapXMm` and `stock.gapYMm` apart, as
//    many as the sheet holds up to its edges; the first sheet starts at place
//    `stock.startAt` (from the first place when the sheet has fewer), and
//    crop marks go with every label when asked.
//  - Scale: the whole page scaled to fit the paper, centred.
//  - Print on sheet: the page at real size from the sheet's top-left
//    corner, shrunk only as much as its printed area and margins need to fit.
std::vector<PrintSheet> layOutSheets(const std::vector<PageFootprint>& pages, const QList<int>& order,
                                     PrintMode mode, QSizeF paperMm, const LabelStock& stock = {});

// Crop marks for labels standing in `labels` on a sheet of `paperMm`: at
// each corner a short line along each edge, leading away from the label,
// a little off the corner, and cut short as far off any other label, or at
// the sheet's edge.
std::vector<QLineF> cropMarksFor(const std::vector<QRectF>& labels, QSizeF paperMm);

} // namespace vinarca
