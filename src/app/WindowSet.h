#pragma once

#include <QObject>

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

    // Shows the first window of the run.
    void start();

    // Shows `next` first, then hides `current`, so a window of the program is
    // always on screen.
    static void handOver(QWidget* current, QWidget* next);
};

// Ends the event loop; the process then exits.
void Terminate();

} // namespace vinarca
