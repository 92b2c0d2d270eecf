#include "WindowSet.h"

#include "ProgramFolder.h"
#include "Vini.h"

#include <QApplication>
#include <QTimer>

namespace vinarca {

void Terminate()
{
    QCoreApplication::quit();
}

void WindowSet::handOver(QWidget* current, QWidget* next)
{
    if (next)
        next->showMaximized();
    if (current)
        current->hide();
}

WindowSet::WindowSet()
{
    applyProcessFormats();
    frmVini = new TfrmVini;
    // Until the main menu exists, the wine editor is the run: closing it ends the program.
    connect(frmVini, &TfrmVini::closed, this, [] { QTimer::singleShot(0, &Terminate); });
}

WindowSet::~WindowSet()
{
    delete frmVini;
    frmVini = nullptr;
}

void WindowSet::start()
{
    frmVini->showMaximized();
}

} // namespace vinarca
