#pragma once

#include <QString>
#include <QStringView>

namespace vinarca {

// The price fields of the label and price-list editors hold a price as text:
// a decimal comma and exactly two decimals ("12,50"). Both operations are
// pure text functions shared by every such field.

// Whether a key press may reach a price field: Backspace, Delete, Left and
// Right, or a typed digit or comma. `key` is the Qt key code, `typed` the
// text the key produces. Everything else is consumed. Return is the
// caller's business (it moves the focus) and is not asked about.
bool IsPriceKey(int key, QStringView typed);

// The canonical price text of whatever a price field holds when it loses
// the focus: an optional minus, the integer part without leading zeros, a
// comma and two decimals. The comma is the only decimal separator whatever
// the machine's regional settings; a text that is not a number, blank text
// and any failure give "0,00".
QString NormalizePrice(const QString& text);

// What a price box that holds `capacity` characters keeps when it loses the
// focus: the canonical price when it fits the box, otherwise the text as it
// stands. A box never shows more than it stores, and a canonical text cut to
// the box would store another amount (15 digits lose their ",00" and the
// digits beyond, a pasted 1e99 would store 10^14), so an amount too long
// for the box stays as typed, for the user to see and correct.
QString NormalizePriceToFit(const QString& text, int capacity);

} // namespace vinarca
