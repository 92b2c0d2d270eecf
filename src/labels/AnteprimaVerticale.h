#pragma once

#include "LabelPrint.h"

// Shows the vertical label in the preview window.
class TfrmAnteprimaVerticale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaVerticale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};
