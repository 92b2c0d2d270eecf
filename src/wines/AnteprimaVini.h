#pragma once

#include "SchedaVinoWindow.h"

// Shows the wine sheet in the preview window.
class TfrmAnteprimaVini : public vinarca::DocumentWindow
{
    Q_OBJECT
public:
    explicit TfrmAnteprimaVini(const vinarca::WineSheetInput& input, QWidget* parent = nullptr);
};
