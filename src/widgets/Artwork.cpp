#include "Artwork.h"

#include <QResource>

#include <cstring>

namespace vinarca {

QImage artwork(const QString& name)
{
    const QResource resource(name + QStringLiteral(".img"));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression || resource.size() < 8)
        return {};
    const uchar* data = resource.data();
    quint32 size[2];
    std::memcpy(size, data, sizeof size);
    const qint64 bytes = qint64(size[0]) * size[1] * 4;
    if (size[0] == 0 || size[1] == 0 || resource.size() < 8 + bytes)
        return {};
    return QImage(data + 8, int(size[0]), int(size[1]), int(size[0]) * 4, QImage::Format_ARGB32_Premultiplied);
}

} // namespace vinarca
