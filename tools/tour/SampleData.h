#pragma once

#include <QImage>
#include <QString>

#include <memory>

#include <functional>

namespace vinarca {
class Camera;
class Platform;
}

// Sample wines and a sample photo for screenshots and benchmarks.
namespace tour {

// Appends `count` wine records with plausible texts to the archive at `path`.
void writeSampleWines(const QString& path, int count);

// A painted "photo" of a bottle, `size` pixels.
QImage samplePhoto(QSize size);
// Writes a 6000 x 4000 JPEG (quality 90) with the fine grain of a real
// photograph, so a decoder has as much to do as with a camera's picture.
void writeCameraPhoto(const QString& path);

// A platform that answers every question with OK and opens nothing: tools
// that only look or measure never block on a dialog.
// `camera` (optional) makes the camera a window asks for.
std::unique_ptr<vinarca::Platform> makeQuietPlatform(
    std::function<std::unique_ptr<vinarca::Camera>()> camera = {});

} // namespace tour
