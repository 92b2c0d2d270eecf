#include "Verticali.h"

TfrmVerticali* frmVerticali = nullptr;

TfrmVerticali::TfrmVerticali(QWidget* parent) : LabelEditor(vinarca::verticalLabelKind(), parent) {}
