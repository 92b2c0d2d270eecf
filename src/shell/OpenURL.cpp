#include "OpenURL.h"

#include "Platform.h"

void TMisc::Open(const QString& command)
{
    vinarca::platform().shellOpen(command);
}
