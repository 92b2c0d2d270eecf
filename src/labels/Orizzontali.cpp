#include "Orizzontali.h"

TfrmOrizzontali* frmOrizzontali = nullptr;

TfrmOrizzontali::TfrmOrizzontali(QWidget* parent) : LabelEditor(vinarca::horizontalLabelKind(), parent) {}
