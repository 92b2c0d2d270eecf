#include "FrameHandOver.h"

#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace vinarca {

// The shared state of one opening. The capture thread keeps it alive through
// the handler, so a late frame finds it closed rather than finding freed memory.
struct FrameHandOver::Gate
{
    FrameHandOver* owner = nullptr; // valid while `open`; both guarded by `mutex`
    QThread* uiThread = nullptr;
    std::mutex turn; // one frame in hand-over at a time, whichever thread brings it
    std::mutex mutex;
    std::condition_variable copied;
    bool open = true;
    quint64 posted = 0;
    quint64 done = 0;
};

FrameHandOver::FrameHandOver(Receiver receiver, QObject* parent)
    : QObject(parent), m_receiver(std::move(receiver))
{
}

FrameHandOver::~FrameHandOver()
{
    close();
}

Camera::FrameHandler FrameHandOver::open()
{
    close();
    m_gate = std::make_shared<Gate>();
    m_gate->owner = this;
    m_gate->uiThread = thread();
    return [gate = m_gate](const QImage& frame) {
        // Some back ends deliver on the user-interface thread itself: that
        // thread must never wait, neither for itself nor for a capture thread
        // that is waiting for it, so it skips a frame rather than queue up.
        const bool onUiThread = QThread::currentThread() == gate->uiThread;
        std::unique_lock turn(gate->turn, std::defer_lock);
        if (onUiThread) {
            if (!turn.try_lock())
                return;
        } else {
            turn.lock();
        }
        std::unique_lock lock(gate->mutex);
        if (!gate->open)
            return;
        FrameHandOver* owner = gate->owner;
        const quint64 ticket = ++gate->posted;
        if (onUiThread) {
            lock.unlock();
            owner->deliver(gate, ticket, frame);
            return;
        }
        // Posting while the gate is held open keeps `owner` alive until the
        // event is queued: close() needs this same mutex before the owner can go.
        QMetaObject::invokeMethod(
            owner, [owner, gate, ticket, frame] { owner->deliver(gate, ticket, frame); }, Qt::QueuedConnection);
        gate->copied.wait(lock, [&] { return !gate->open || gate->done >= ticket; });
    };
}

void FrameHandOver::deliver(const std::shared_ptr<Gate>& gate, quint64 ticket, const QImage& frame)
{
    {
        std::lock_guard lock(gate->mutex);
        if (!gate->open)
            return;
    }
    // A deep copy: the device may reuse the frame's memory as soon as the
    // capture thread is released.
    if (m_receiver)
        m_receiver(frame.copy());
    std::lock_guard lock(gate->mutex);
    gate->done = ticket;
    gate->copied.notify_all();
}

void FrameHandOver::close()
{
    if (!m_gate)
        return;
    {
        std::lock_guard lock(m_gate->mutex);
        m_gate->open = false;
        m_gate->owner = nullptr;
        m_gate->copied.notify_all();
    }
    m_gate.reset();
}

bool FrameHandOver::isOpen() const
{
    return m_gate != nullptr;
}

} // namespace vinarca
