#pragma once

#include "ListReport.h"

namespace vinarca {

// Prints the wine search list under its title through the print dialog.
void printWineList(QWidget* owner, const QStringList& lines);

} // namespace vinarca
