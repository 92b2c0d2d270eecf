#pragma once

#include "ChoiceMenu.h"

// The price-list menu: create a new list (first) or open an existing one
// (second).
class TfrmMenuListini : public vinarca::ChoiceMenu
{
    Q_OBJECT
public:
    explicit TfrmMenuListini(QWidget* parent = nullptr);
};

extern TfrmMenuListini* frmMenuListini;
