#pragma once

#include <QString>

// Renders the three export windows filled from sample archives and the
// attachments window with three slots into `outFolder`. Returns the number of
// pictures that could not be written.
int tourExport(const QString& outFolder);
