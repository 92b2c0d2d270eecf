#pragma once

#include <QObject>

#include <thread>

class QCoreApplication;
class QWidget;

namespace vinarca {

// Creates the program's windows once, in their fixed order, sets the global
// references and wires the hand-overs between persistent windows.
class WindowSet : public QObject
{
    Q_OBJECT
public:
    WindowSet();
    ~WindowSet() override;

    // Shows the first window of the run, the login, and once it is on
    // screen creates the other windows in their fixed order.
    void start();

    // Shows `next` first, then hides `current`, so a window of the program is
    // always on screen.
    static void handOver(QWidget* current, QWidget* next);

signals:
    // The login has been painted on screen; the other windows are not built yet.
    void loginOnScreen();

private:
    void createOtherWindows();
};

// The fonts' configuration (fontconfig reads tens of files and its caches
// of every installed font) read on a thread of its own from the moment this
// is made, at the start of the program, while the application object loads
// the display's plugin and connects to the display. wait() before the first
// window: its first text needs the configuration.
class FontsAhead
{
public:
    FontsAhead();
    ~FontsAhead();
    FontsAhead(const FontsAhead&) = delete;
    FontsAhead& operator=(const FontsAhead&) = delete;
    void wait();

private:
    std::thread m_thread;
};

// Ends the event loop; the process then exits.
void Terminate();

// What holds for the whole run, set once when the application object exists
// and before any window: the process-wide formats, Qt's own texts in Italian
// and the keyboard rules.
void prepareApplication(QCoreApplication* application);

} // namespace vinarca
