#include "Camera.h"

#include <QCamera>
#include <QtGlobal>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

#include <mutex>

namespace vinarca {

namespace {

// What the video sink's frame signal reaches. The sink may signal on a thread
// of the media back end, so the handler and the running flag are guarded, and
// the connection holds this by shared pointer rather than the camera itself.
struct FrameRelay
{
    std::mutex mutex;
    Camera::FrameHandler handler;
    bool running = false;

    void frameArrived(const QVideoFrame& frame)
    {
        Camera::FrameHandler target;
        {
            std::lock_guard lock(mutex);
            if (!running || !handler)
                return;
            target = handler;
        }
        const QImage image = frame.toImage();
        if (!image.isNull())
            target(image);
    }
};

class QtCamera final : public Camera
{
public:
    explicit QtCamera(const QCameraDevice& device) : m_device(device), m_camera(device)
    {
        m_session.setCamera(&m_camera);
        m_session.setVideoSink(&m_sink);
        QObject::connect(
            &m_sink, &QVideoSink::videoFrameChanged, &m_sink,
            [relay = m_relay](const QVideoFrame& frame) { relay->frameArrived(frame); }, Qt::DirectConnection);
        // A device that fails or is unplugged while running stops; the last
        // frame stays where the receiver put it.
        QObject::connect(&m_camera, &QCamera::errorOccurred, &m_camera, [this] { stop(); });
        QObject::connect(&m_devices, &QMediaDevices::videoInputsChanged, &m_camera, [this] {
            if (!QMediaDevices::videoInputs().contains(m_device))
                stop();
        });
    }

    ~QtCamera() override { stop(); }

    void setFrameHandler(FrameHandler handler) override
    {
        std::lock_guard lock(m_relay->mutex);
        m_relay->handler = std::move(handler);
    }

    bool start() override
    {
        {
            std::lock_guard lock(m_relay->mutex);
            m_relay->running = true;
        }
        m_camera.start();
        if (m_camera.isActive() && m_camera.error() == QCamera::NoError)
            return true;
        stop();
        return false;
    }

    void stop() override
    {
        {
            std::lock_guard lock(m_relay->mutex);
            m_relay->running = false;
        }
        m_camera.stop();
    }

    bool isActive() const override { return m_camera.isActive(); }

private:
    std::shared_ptr<FrameRelay> m_relay = std::make_shared<FrameRelay>();
    QCameraDevice m_device;
    QMediaDevices m_devices;
    QCamera m_camera;
    QVideoSink m_sink;
    QMediaCaptureSession m_session;
};

} // namespace

} // namespace vinarca

// The one entry point of the camera module, looked up by name when the
// program first asks for a camera (see CameraModule.cpp).
extern "C" Q_DECL_EXPORT vinarca::Camera* vinarca_make_qt_camera()
{
    const QCameraDevice device = QMediaDevices::defaultVideoInput();
    if (device.isNull())
        return nullptr;
    return new vinarca::QtCamera(device);
}
