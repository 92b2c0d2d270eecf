#pragma once

#include <QImage>
#include <QString>

// Sample wines and a sample photo for screenshots and benchmarks.
namespace tour {

// Appends `count` wine records with plausible texts to the archive at `path`.
void writeSampleWines(const QString& path, int count);

// A painted "photo" of a bottle, `size` pixels.
QImage samplePhoto(QSize size);

} // namespace tour
