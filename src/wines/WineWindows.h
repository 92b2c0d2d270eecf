#pragma once

// The named windows of the wine catalogue that are a shared window built
// from the wine sheet's description: the sheet's print and preview windows.
// The names are the ones the program and its tests find them by.
#include "SchedaVinoWindow.h"

// Prints the wine sheet through the print dialog.
class TfrmStampaVini : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaVini(const vinarca::WineSheetInput& input, QWidget* parent = nullptr);
};

// Shows the wine sheet in the preview window.
class TfrmAnteprimaVini : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaVini(const vinarca::WineSheetInput& input, QWidget* parent = nullptr);
};
