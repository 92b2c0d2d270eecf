#pragma once

#include "LabelPrint.h"

// Shows the horizontal label in the preview window.
class TfrmAnteprimaOrizzontale : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaOrizzontale(const vinarca::LabelPrintInput& input, QWidget* parent = nullptr);
};
