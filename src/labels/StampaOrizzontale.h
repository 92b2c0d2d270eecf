#pragma once

#include "LabelPrint.h"

// Prints the horizontal label through the print dialog.
class TfrmStampaOrizzontale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaOrizzontale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};
