#pragma once

// The user's span, as the benchmarks of user actions time it: a process of
// its own meets the action for the first time, a real click on the real
// window's button is timed from its release until the result is painted (or
// the file is complete), and the parent interleaves such runs with a floor.

#include "BenchProcess.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// Handles events for `ms` milliseconds, as the program does while the user
// looks at a window before clicking (idle-time work included).
inline void idleFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

// Tells when a widget has finished painting after it was armed.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    void arm() { m_painted = false; }
    bool painted() const { return m_painted; }
    // Handles events until the widget has painted; its paint event has
    // returned when this does.
    void wait()
    {
        while (!m_painted && m_widget)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QPointer<QWidget> m_widget;
    bool m_painted = false;
};

// A click as the user makes it, timed from the button's release until
// `done` answers true (e.g. a watched widget has painted): the press is
// made and handled first, untimed. Returns the milliseconds.
inline double clickUntil(QAbstractButton* button, const std::function<bool()>& done)
{
    const QPoint centre = button->rect().center();
    QTest::mousePress(button, Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    QTest::mouseRelease(button, Qt::LeftButton, {}, centre);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return timer.nsecsElapsed() / 1e6;
}

// The same, until `watch`'s widget has painted again.
inline double clickUntilPainted(QAbstractButton* button, PaintWatch& watch)
{
    watch.arm();
    return clickUntil(button, [&] { return watch.painted(); });
}

} // namespace bench
