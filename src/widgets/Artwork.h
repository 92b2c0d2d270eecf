#pragma once

#include <QImage>
#include <QString>

namespace vinarca {

// A picture of the program's artwork, by resource name without extension
// (":/wines/nuovo"). The drawings are rendered at build time into raw
// premultiplied ARGB pixels after an 8-byte header (width, height), stored
// uncompressed, so the image shares the resource's memory: nothing is parsed
// or decoded when a window is built.
QImage artwork(const QString& name);

} // namespace vinarca
