#pragma once

#include "SchedaVinoWindow.h"

// Prints the wine sheet through the print dialog.
class TfrmStampaVini : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaVini(const vinarca::WineSheetInput& input, QWidget* parent = nullptr);
};
