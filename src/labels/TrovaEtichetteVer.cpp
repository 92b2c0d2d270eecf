#include "TrovaEtichetteVer.h"

TfrmTrovaEtichetteVer::TfrmTrovaEtichetteVer(QWidget* owner) : LabelSearchWindow(vinarca::verticalLabelKind(), owner)
{
    setObjectName(QStringLiteral("frmTrovaEtichetteVer"));
}
