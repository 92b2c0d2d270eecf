#include "PrintSheets.h"

#include "Length.h"
#include "PreparedReport.h"

#include <algorithm>
#include <cmath>

namespace vinarca {

namespace {

// Sizes within a hundredth of a millimetre count as equal, so pages that
// add up to the printable area exactly are not pushed to the next row.
constexpr double kSlack = 0.01;

bool isLandscape(QSizeF size)
{
    return size.width() > size.height();
}

QSizeF turnedLike(QSizeF paper, QSizeF page)
{
    return isLandscape(paper) == isLandscape(page) ? paper : paper.transposed();
}

bool fitsIn(QSizeF inner, QSizeF outer)
{
    return inner.width() <= outer.width() + kSlack && inner.height() <= outer.height() + kSlack;
}

QRectF printedArea(const PageFootprint& page)
{
    if (!page.inkMm.isEmpty())
        return page.inkMm;
    // A blank page counts as a full one: it still takes its sheet.
    return QRectF(QPointF(0, 0), page.paperMm).marginsRemoved(page.marginsMm);
}

// A page's share of a sheet when pages are joined: from the corner of its
// printable area to the end of what it prints, so a page alone on a sheet
// stands exactly where it was prepared.
QRectF joinedArea(const PageFootprint& page)
{
    const QRectF printed = printedArea(page);
    const QPointF corner(std::min(page.marginsMm.left(), printed.left()), std::min(page.marginsMm.top(), printed.top()));
    return QRectF(corner, printed.bottomRight());
}

void splitPage(const PageFootprint& page, int index, QSizeF paper, std::vector<PrintSheet>& sheets)
{
    const QSizeF tile = turnedLike(paper, page.paperMm);
    if (fitsIn(page.paperMm, tile) || tile.width() < 1 || tile.height() < 1) {
        sheets.push_back({tile, {{index, {0, 0}, 1}}, {}});
        return;
    }
    const int columns = std::max(1, int(std::ceil((page.paperMm.width() - kSlack) / tile.width())));
    const int rows = std::max(1, int(std::ceil((page.paperMm.height() - kSlack) / tile.height())));
    const QRectF ink = printedArea(page);
    const size_t before = sheets.size();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const QPointF corner(column * tile.width(), row * tile.height());
            if (!QRectF(corner, tile).intersects(ink))
                continue;
            sheets.push_back({tile, {{index, -corner, 1}}, {}});
        }
    if (sheets.size() == before)
        sheets.push_back({tile, {{index, {0, 0}, 1}}, {}});
}

// Packs printed areas in rows on sheets of one paper.
class SheetJoiner
{
public:
    SheetJoiner(QSizeF paper, std::vector<PrintSheet>& sheets) : m_paper(paper), m_sheets(sheets) {}

    void add(const PageFootprint& page, int index)
    {
        const QSizeF paper = turnedLike(m_paper, page.paperMm);
        const QRectF area = QRectF(QPointF(0, 0), paper).marginsRemoved(page.marginsMm);
        const QRectF ink = joinedArea(page);
        if (!fitsIn(ink.size(), area.size())) {
            // Too large to share a sheet: printed as it was prepared.
            m_open = false;
            m_sheets.push_back({page.paperMm, {{index, {0, 0}, 1}}, {}});
            return;
        }
        if (m_open && m_sheets.back().paperMm != paper)
            m_open = false;
        if (m_open && m_x + ink.width() > area.right() + kSlack) {
            m_x = area.left();
            m_y = m_rowBottom;
        }
        if (m_open && m_y + ink.height() > area.bottom() + kSlack)
            m_open = false;
        if (!m_open) {
            m_sheets.push_back({paper, {}, {}});
            m_open = true;
            m_x = area.left();
            m_y = m_rowBottom = area.top();
        }
        m_sheets.back().placements.push_back({index, QPointF(m_x, m_y) - ink.topLeft(), 1});
        m_x += ink.width();
        m_rowBottom = std::max(m_rowBottom, m_y + ink.height());
    }

private:
    QSizeF m_paper;
    std::vector<PrintSheet>& m_sheets;
    bool m_open = false;
    double m_x = 0, m_y = 0, m_rowBottom = 0;
};

// Lays labels in the places of label stock: a grid as large as the sheet
// holds, the pitch of the first label, filled row by row.
class StockGrid
{
public:
    StockGrid(QSizeF paper, const LabelStock& stock, std::vector<PrintSheet>& sheets)
        : m_paper(paper), m_stock(stock), m_sheets(sheets)
    {
    }

    void add(const PageFootprint& page, int index)
    {
        const QSizeF paper = turnedLike(m_paper, page.paperMm);
        const QRectF area = joinedArea(page);
        if (m_cell.isEmpty()) {
            m_cell = area.size();
            m_gridPaper = paper;
            const double pitchX = m_cell.width() + m_stock.gapXMm, pitchY = m_cell.height() + m_stock.gapYMm;
            m_columns = placesAlong(paper.width() - m_stock.firstMm.x(), m_cell.width(), pitchX);
            m_rows = placesAlong(paper.height() - m_stock.firstMm.y(), m_cell.height(), pitchY);
            m_place = m_stock.startAt - 1;
            if (m_place < 0 || m_place >= m_columns * m_rows)
                m_place = 0; // that place is not on this sheet: a fresh one
        }
        if (m_columns * m_rows == 0 || paper != m_gridPaper || !fitsIn(area.size(), m_cell)) {
            // No place of the stock takes it: printed as it was prepared.
            m_open = false;
            m_sheets.push_back({page.paperMm, {{index, {0, 0}, 1}}, {}});
            return;
        }
        if (!m_open || m_place >= m_columns * m_rows) {
            // Only the first sheet starts at the chosen place.
            if (!m_labels.empty())
                m_place = 0;
            m_sheets.push_back({paper, {}, {}});
            m_labels.push_back({m_sheets.size() - 1, {}});
            m_open = true;
        }
        const int column = m_place % m_columns, row = m_place / m_columns;
        const QPointF corner = m_stock.firstMm
            + QPointF(column * (m_cell.width() + m_stock.gapXMm), row * (m_cell.height() + m_stock.gapYMm));
        m_sheets.back().placements.push_back({index, corner - area.topLeft(), 1});
        m_labels.back().second.push_back(QRectF(corner, area.size()));
        ++m_place;
    }

    void finish()
    {
        if (!m_stock.cropMarks)
            return;
        for (const auto& [sheet, labels] : m_labels)
            m_sheets[sheet].cropMarksMm = cropMarksFor(labels, m_sheets[sheet].paperMm);
    }

private:
    // How many cells of `size` at `pitch` fit in `room`.
    static int placesAlong(double room, double size, double pitch)
    {
        if (size <= 0 || pitch <= 0 || room + kSlack < size)
            return 0;
        return 1 + int(std::floor((room - size + kSlack) / pitch));
    }

    QSizeF m_paper;
    const LabelStock& m_stock;
    std::vector<PrintSheet>& m_sheets;
    QSizeF m_cell;
    QSizeF m_gridPaper;
    int m_columns = 0, m_rows = 0, m_place = 0;
    bool m_open = false;
    std::vector<std::pair<size_t, std::vector<QRectF>>> m_labels; // the labels of each sheet of the grid
};

// Crop marks stand this far off the label's corner and are this long.
constexpr double kMarkGapMm = 1.0;
constexpr double kMarkLengthMm = 4.0;

// The part of the line from `from` running `length` in the direction
// (dx, dy) (one of them 1 or -1, the other 0) that stays the mark's gap
// away from every other label and on the sheet; null when nothing is left.
QLineF markUntilBlocked(QPointF from, double dx, double dy, double length, const std::vector<QRectF>& labels,
                        QSizeF paper)
{
    double run = length;
    const QRectF sheet(QPointF(0, 0), paper);
    if (!sheet.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(from))
        return {};
    // Up to the sheet's edge.
    if (dx > 0)
        run = std::min(run, paper.width() - from.x());
    if (dx < 0)
        run = std::min(run, from.x());
    if (dy > 0)
        run = std::min(run, paper.height() - from.y());
    if (dy < 0)
        run = std::min(run, from.y());
    for (const QRectF& label : labels) {
        // Labels count with their edges, so no mark is drawn on a neighbour.
        const QRectF closed = label.adjusted(-kSlack, -kSlack, kSlack, kSlack);
        if (closed.contains(from))
            return {};
        if (dy == 0 && from.y() >= closed.top() && from.y() <= closed.bottom()) {
            if (dx > 0 && closed.left() >= from.x())
                run = std::min(run, closed.left() - kMarkGapMm - from.x());
            if (dx < 0 && closed.right() <= from.x())
                run = std::min(run, from.x() - closed.right() - kMarkGapMm);
        }
        if (dx == 0 && from.x() >= closed.left() && from.x() <= closed.right()) {
            if (dy > 0 && closed.top() >= from.y())
                run = std::min(run, closed.top() - kMarkGapMm - from.y());
            if (dy < 0 && closed.bottom() <= from.y())
                run = std::min(run, from.y() - closed.bottom() - kMarkGapMm);
        }
    }
    if (run <= kSlack)
        return {};
    return QLineF(from, from + QPointF(dx * run, dy * run));
}

} // namespace

std::vector<QLineF> cropMarksFor(const std::vector<QRectF>& labels, QSizeF paperMm)
{
    std::vector<QLineF> marks;
    for (const QRectF& label : labels) {
        const double xs[] = {label.left(), label.right()};
        const double ys[] = {label.top(), label.bottom()};
        for (double x : xs)
            for (double y : ys) {
                // Away from the label: leftwards from its left edge, and so on.
                const double outX = x == label.left() ? -1 : 1, outY = y == label.top() ? -1 : 1;
                const QLineF along = markUntilBlocked(QPointF(x + outX * kMarkGapMm, y), outX, 0,
                                                      kMarkLengthMm, labels, paperMm);
                const QLineF down = markUntilBlocked(QPointF(x, y + outY * kMarkGapMm), 0, outY,
                                                     kMarkLengthMm, labels, paperMm);
                for (const QLineF& mark : {along, down})
                    if (!mark.isNull())
                        marks.push_back(mark);
            }
    }
    return marks;
}

PageFootprint footprintOf(const PreparedPage& page)
{
    QRectF ink;
    for (const PlacedView& placed : page.views) {
        const QRectF box = placed.clip.isEmpty() ? placed.view->geometry : placed.view->geometry & placed.clip;
        if (box.width() > 0 && box.height() > 0)
            ink = ink.isEmpty() ? box : ink.united(box);
    }
    const double mmPerUnit = 1.0 / kUnitsPerMm;
    return {page.paperMm, page.marginsMm,
            QRectF(ink.topLeft() * mmPerUnit, ink.size() * mmPerUnit)};
}

std::vector<PrintSheet> layOutSheets(const std::vector<PageFootprint>& pages, const QList<int>& order,
                                     PrintMode mode, QSizeF paperMm, const LabelStock& stock)
{
    std::vector<PrintSheet> sheets;
    sheets.reserve(order.size());
    SheetJoiner joiner(paperMm, sheets);
    StockGrid grid(paperMm, stock, sheets);
    const bool onStock = mode == PrintMode::JoinSmallPages && !stock.isPlain();
    for (int index : order) {
        const PageFootprint& page = pages.at(index);
        switch (mode) {
        case PrintMode::Default:
            sheets.push_back({page.paperMm, {{index, {0, 0}, 1}}, {}});
            break;
        case PrintMode::SplitBigPages:
            splitPage(page, index, paperMm, sheets);
            break;
        case PrintMode::JoinSmallPages:
            if (onStock)
                grid.add(page, index);
            else
                joiner.add(page, index);
            break;
        case PrintMode::Scale: {
            const QSizeF paper = turnedLike(paperMm, page.paperMm);
            const double scale = std::min(paper.width() / page.paperMm.width(), paper.height() / page.paperMm.height());
            const QPointF origin((paper.width() - page.paperMm.width() * scale) / 2,
                                 (paper.height() - page.paperMm.height() * scale) / 2);
            sheets.push_back({paper, {{index, origin, scale}}, {}});
            break;
        }
        case PrintMode::PrintOnSheet: {
            const QSizeF paper = turnedLike(paperMm, page.paperMm);
            const QRectF ink = printedArea(page);
            const double wide = ink.right() + page.marginsMm.right(), tall = ink.bottom() + page.marginsMm.bottom();
            const double scale = std::min({1.0, paper.width() / wide, paper.height() / tall});
            sheets.push_back({paper, {{index, {0, 0}, scale}}, {}});
            break;
        }
        }
    }
    grid.finish();
    return sheets;
}

} // namespace vinarca
