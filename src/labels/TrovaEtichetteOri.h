#pragma once

#include "LabelSearch.h"

// Searches the horizontal labels.
class TfrmTrovaEtichetteOri : public vinarca::LabelSearchWindow
{
    Q_OBJECT
public:
    explicit TfrmTrovaEtichetteOri(QWidget* owner = nullptr);
};
