#pragma once

#include <QString>

// Renders the labels menu, both label editors (empty, and filled with a logo
// and texts long enough to be cut) and both live labels alone at twice their
// size into `outFolder`. Returns the number of pictures that could not be written.
int tourLabels(const QString& outFolder);
