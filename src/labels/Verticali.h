#pragma once

#include "LabelEditor.h"

// The vertical label editor: the label editor built from the vertical label kind.
class TfrmVerticali : public vinarca::LabelEditor
{
    Q_OBJECT
public:
    explicit TfrmVerticali(QWidget* parent = nullptr);
};

extern TfrmVerticali* frmVerticali;
