#pragma once

// The named windows of the price lists that are a shared window (the menu,
// the page's print and preview) built from the price lists' own texts; the
// names are the ones the program and its tests find them by.
#include "ChoiceMenu.h"
#include "PaginaListino.h"

// The price-list menu: create a new list (first) or open an existing one
// (second).
class TfrmMenuListini : public vinarca::ChoiceMenu
{
    Q_OBJECT
public:
    explicit TfrmMenuListini(QWidget* parent = nullptr);
};

extern TfrmMenuListini* frmMenuListini;

// The preview and the print window of a price-list page.
class TfrmAnteprimaProdotto : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaProdotto(const vinarca::PricePageInput& input, QWidget* parent = nullptr);
};

class TfrmStampaProdotto : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaProdotto(const vinarca::PricePageInput& input, QWidget* parent = nullptr);
};
