#pragma once

#include <QImage>
#include <QString>

#include <memory>

namespace vinarca {
class Platform;
}

// Sample wines and a sample photo for screenshots and benchmarks.
namespace tour {

// Appends `count` wine records with plausible texts to the archive at `path`.
void writeSampleWines(const QString& path, int count);

// A painted "photo" of a bottle, `size` pixels.
QImage samplePhoto(QSize size);

// A platform that answers every question with OK and opens nothing: tools
// that only look or measure never block on a dialog.
std::unique_ptr<vinarca::Platform> makeQuietPlatform();

} // namespace tour
