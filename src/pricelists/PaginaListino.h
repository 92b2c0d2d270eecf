#pragma once

#include "DocumentWindow.h"

#include <QImage>
#include <QStringList>

#include <array>
#include <memory>

namespace vinarca {

class TReport;

// What the printed page takes from the page editor: the list title, the
// page number (empty for a page not yet saved), the forty texts in record
// order and the eight slot pictures.
struct PricePageInput
{
    QString title;
    QString page;
    QStringList texts;
    std::array<QImage, 8> pictures;
};

// The page layout, one slot template repeated for A to H.
std::unique_ptr<TReport> loadPricePageLayout();

// Puts the page into the layout: the title, each slot's picture and texts,
// "€  " before each price, the page number alone. Throws ReportError for an
// object the layout lacks.
void fillPricePage(TReport& page, const PricePageInput& input);

DocumentWindowSpec pricePageSpec(DocumentAction action);

// Opens a fresh print or preview window for the page, modally, and destroys
// it when it closes.
void openPricePage(QWidget* owner, const PricePageInput& input, DocumentAction action);

} // namespace vinarca
