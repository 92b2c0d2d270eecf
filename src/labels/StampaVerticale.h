#pragma once

#include "LabelPrint.h"

// Prints the vertical label through the print dialog.
class TfrmStampaVerticale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmStampaVerticale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};
