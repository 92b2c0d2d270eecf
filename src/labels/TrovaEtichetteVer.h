#pragma once

#include "LabelSearch.h"

// Searches the vertical labels.
class TfrmTrovaEtichetteVer : public vinarca::LabelSearchWindow
{
    Q_OBJECT
public:
    explicit TfrmTrovaEtichetteVer(QWidget* owner = nullptr);
};
