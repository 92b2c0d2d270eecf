#pragma once

#include <QImage>

#include <functional>
#include <memory>

namespace vinarca {

// A video capture device. Frames arrive on the camera's own thread; the
// receiver decides how to hand them to the user-interface thread.
class Camera
{
public:
    virtual ~Camera() = default;

    using FrameHandler = std::function<void(const QImage& frame)>;
    // Set before start(); called on the capture thread for every frame.
    virtual void setFrameHandler(FrameHandler handler) = 0;
    // False when the device could not be started (missing, busy, unplugged).
    virtual bool start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The system's default capture device through Qt Multimedia, or nothing when
// the machine has no camera.
std::unique_ptr<Camera> makeQtCamera();

// Loads the camera support on its own (makeQtCamera() does it on first use);
// false when its module cannot be found or loaded.
bool loadQtCameraModule();

} // namespace vinarca
