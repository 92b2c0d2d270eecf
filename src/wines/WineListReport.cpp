#include "WineListReport.h"

namespace vinarca {

void printWineList(QWidget* owner, const QStringList& lines)
{
    printList(owner, QStringLiteral("Riepilogo vini in catalogo"), lines);
}

} // namespace vinarca
