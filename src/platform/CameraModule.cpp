#include "Camera.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

namespace vinarca {

namespace {

using MakeCamera = Camera* (*)();

// Qt Multimedia and the sound and network libraries under it are loaded only
// when the program first asks for a camera, from the module beside the
// executable (or, for the programs of the build tree, where it was built), so
// starting the program does not pay for them.
MakeCamera loadCameraModule()
{
    const QStringList candidates{
        QCoreApplication::applicationDirPath() + QStringLiteral("/" VINARCA_CAMERA_MODULE_NAME),
        QStringLiteral(VINARCA_CAMERA_MODULE_BUILT),
    };
    for (const QString& path : candidates) {
        QLibrary module(path);
        // The module stays loaded for the rest of the run: cameras it made
        // may still be alive when the program ends.
        if (auto make = reinterpret_cast<MakeCamera>(module.resolve("vinarca_make_qt_camera")))
            return make;
    }
    return nullptr;
}

MakeCamera cameraMaker()
{
    static const MakeCamera make = loadCameraModule();
    return make;
}

} // namespace

std::unique_ptr<Camera> makeQtCamera()
{
    const MakeCamera make = cameraMaker();
    return std::unique_ptr<Camera>(make ? make() : nullptr);
}

bool loadQtCameraModule()
{
    return cameraMaker() != nullptr;
}

} // namespace vinarca
