#include "WindowSet.h"

#include "Avvio.h"
#include "CambiaPassword.h"
#include "Password.h"
#include "ProgramFolder.h"
#include "Vini.h"

#include <QApplication>

namespace vinarca {

void Terminate()
{
    QCoreApplication::quit();
}

namespace {
void present(QWidget* window)
{
    // Fixed-size windows keep their size; the others open maximized.
    if (window->minimumSize() == window->maximumSize())
        window->show();
    else
        window->showMaximized();
    window->activateWindow();
}
} // namespace

void WindowSet::handOver(QWidget* current, QWidget* next)
{
    if (next)
        present(next);
    if (current)
        current->hide();
}

WindowSet::WindowSet()
{
    // Persistent windows, created once in the program's fixed order; the
    // dialog windows are created afresh by their openers at each use.
    frmPassword = new TfrmPassword;
    frmAvvio = new TfrmAvvio;
    frmCambiaPassword = new TfrmCambiaPassword;
    frmVini = new TfrmVini;

    connect(frmPassword, &TfrmPassword::loggedIn, this, [] { handOver(frmPassword, frmAvvio); });
    connect(frmPassword, &TfrmPassword::changePasswordRequested, this,
            [] { handOver(frmPassword, frmCambiaPassword); });
    connect(frmPassword, &TfrmPassword::exitRequested, this, &Terminate);
    connect(frmCambiaPassword, &TfrmCambiaPassword::closed, this, [] {
        handOver(nullptr, frmPassword);
        frmPassword->clearPassword();
    });

    connect(frmAvvio, &TfrmAvvio::appChosen, this, [](TfrmAvvio::App app) {
        if (app == TfrmAvvio::App::Wines)
            handOver(frmAvvio, frmVini);
    });
    connect(frmAvvio, &TfrmAvvio::terminateRequested, this, &Terminate);

    // Closing an application window, however it happens, returns to the main
    // menu: the menu is shown while the closing window is still on screen.
    connect(frmVini, &TfrmVini::closed, this, [] { handOver(nullptr, frmAvvio); });
}

WindowSet::~WindowSet()
{
    delete frmVini;
    delete frmCambiaPassword;
    delete frmAvvio;
    delete frmPassword;
    frmVini = nullptr;
    frmCambiaPassword = nullptr;
    frmAvvio = nullptr;
    frmPassword = nullptr;
}

void WindowSet::start()
{
    present(frmPassword);
}

} // namespace vinarca
