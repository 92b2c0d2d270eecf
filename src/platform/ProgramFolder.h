#pragma once

#include <QDate>
#include <QString>

namespace vinarca {

// The folder of the running executable, absolute, with a trailing '/'.
// Derived from the executable's own path on every call, never from the
// working directory, so a copied or moved installation finds its data.
QString ProgramFolder();

// Test-only: points ProgramFolder() at another folder (empty restores the
// executable's folder). Nothing in the user interface reaches it.
void setProgramFolderForTesting(const QString& folder);

// Process-wide formats: short date "dd/mm/yyyy" and decimal separator ',',
// whatever the machine's regional settings say.
void applyProcessFormats();
QString shortDateText(const QDate& date);

} // namespace vinarca
