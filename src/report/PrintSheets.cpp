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

void splitPage(const PageFootprint& page, int index, QSizeF paper, std::vector<PrintSheet>& sheets)
{
    const QSizeF tile = turnedLike(paper, page.paperMm);
    if (fitsIn(page.paperMm, tile) || tile.width() < 1 || tile.height() < 1) {
        sheets.push_back({tile, {{index, {0, 0}, 1}}});
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
            sheets.push_back({tile, {{index, -corner, 1}}});
        }
    if (sheets.size() == before)
        sheets.push_back({tile, {{index, {0, 0}, 1}}});
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
        // A page's share of a sheet runs from the corner of its printable
        // area to the end of what it prints, so a page alone on a sheet
        // stands exactly where it was prepared.
        const QRectF printed = printedArea(page);
        const QPointF corner(std::min(page.marginsMm.left(), printed.left()), std::min(page.marginsMm.top(), printed.top()));
        const QRectF ink(corner, printed.bottomRight());
        if (!fitsIn(ink.size(), area.size())) {
            // Too large to share a sheet: printed as it was prepared.
            m_open = false;
            m_sheets.push_back({page.paperMm, {{index, {0, 0}, 1}}});
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
            m_sheets.push_back({paper, {}});
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

} // namespace

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
                                     PrintMode mode, QSizeF paperMm)
{
    std::vector<PrintSheet> sheets;
    sheets.reserve(order.size());
    SheetJoiner joiner(paperMm, sheets);
    for (int index : order) {
        const PageFootprint& page = pages.at(index);
        switch (mode) {
        case PrintMode::Default:
            sheets.push_back({page.paperMm, {{index, {0, 0}, 1}}});
            break;
        case PrintMode::SplitBigPages:
            splitPage(page, index, paperMm, sheets);
            break;
        case PrintMode::JoinSmallPages:
            joiner.add(page, index);
            break;
        case PrintMode::Scale: {
            const QSizeF paper = turnedLike(paperMm, page.paperMm);
            const double scale = std::min(paper.width() / page.paperMm.width(), paper.height() / page.paperMm.height());
            const QPointF origin((paper.width() - page.paperMm.width() * scale) / 2,
                                 (paper.height() - page.paperMm.height() * scale) / 2);
            sheets.push_back({paper, {{index, origin, scale}}});
            break;
        }
        case PrintMode::PrintOnSheet: {
            const QSizeF paper = turnedLike(paperMm, page.paperMm);
            const QRectF ink = printedArea(page);
            const double wide = ink.right() + page.marginsMm.right(), tall = ink.bottom() + page.marginsMm.bottom();
            const double scale = std::min({1.0, paper.width() / wide, paper.height() / tall});
            sheets.push_back({paper, {{index, {0, 0}, scale}}});
            break;
        }
        }
    }
    return sheets;
}

} // namespace vinarca
