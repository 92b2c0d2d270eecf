#include "TrovaEtichetteOri.h"

TfrmTrovaEtichetteOri::TfrmTrovaEtichetteOri(QWidget* owner) : LabelSearchWindow(vinarca::horizontalLabelKind(), owner)
{
    setObjectName(QStringLiteral("frmTrovaEtichetteOri"));
}
