#pragma once

#include <QString>

// Renders the price-list menu, the creation and opening windows and the page
// editor (eight filled slots, then one slot emptied), the page's print and
// preview windows, its preview and the printed page into `outFolder`.
// Returns the number of pictures that could not be written.
int tourPriceLists(const QString& outFolder);
