#pragma once

#include "LabelEditor.h"

// The horizontal label editor: the label editor built from the horizontal label kind.
class TfrmOrizzontali : public vinarca::LabelEditor
{
    Q_OBJECT
public:
    explicit TfrmOrizzontali(QWidget* parent = nullptr);
};

extern TfrmOrizzontali* frmOrizzontali;
