#pragma once

#include "Camera.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>

namespace vinarca {

// Carries camera frames from the capture thread to the user-interface thread,
// one at a time and synchronously: the capture thread waits until the
// receiver, on the user-interface thread, has taken its own copy of the frame,
// so the device never overwrites a frame that is still being copied and no
// frame overtakes the one before it.
//
// open() and close() belong to the user-interface thread. close() never waits
// for the capture thread: it releases a capture thread that is waiting for a
// hand-over and makes every later frame of that opening return at once. That
// is what lets the window stop a device whose stop() joins its capture thread
// while that thread is in the middle of a hand-over.
class FrameHandOver : public QObject
{
    Q_OBJECT
public:
    using Receiver = std::function<void(const QImage& frame)>;

    explicit FrameHandOver(Receiver receiver, QObject* parent = nullptr);
    ~FrameHandOver() override;

    // Starts a new opening and returns the handler to give the camera. The
    // handler stays safe to call from any thread for as long as anyone holds
    // it, also after close() and after this object is gone: it then returns
    // at once without touching the receiver.
    Camera::FrameHandler open();
    void close();
    bool isOpen() const;

private:
    struct Gate;
    void deliver(const std::shared_ptr<Gate>& gate, quint64 ticket, const QImage& frame);

    Receiver m_receiver;
    std::shared_ptr<Gate> m_gate;
};

} // namespace vinarca
