#include "WindowSet.h"

#include "Avvio.h"
#include "CambiaPassword.h"
#include "MenuEtichette.h"
#include "Orizzontali.h"
#include "Password.h"
#include "ProgramFolder.h"
#include "Verticali.h"
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
    frmMenuEtichette = new TfrmMenuEtichette;
    frmOrizzontali = new TfrmOrizzontali;
    frmVerticali = new TfrmVerticali;
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
        if (app == TfrmAvvio::App::Labels)
            handOver(frmAvvio, frmMenuEtichette);
    });
    connect(frmAvvio, &TfrmAvvio::terminateRequested, this, &Terminate);

    // Closing an application window, however it happens, returns to the main
    // menu: the menu is shown while the closing window is still on screen.
    connect(frmVini, &TfrmVini::closed, this, [] { handOver(nullptr, frmAvvio); });
    connect(frmVerticali, &TfrmVerticali::closed, this, [] { handOver(nullptr, frmAvvio); });
    connect(frmOrizzontali, &TfrmOrizzontali::closed, this, [] { handOver(nullptr, frmAvvio); });
    connect(frmMenuEtichette, &TfrmMenuEtichette::closed, this, [](TfrmMenuEtichette::Route route) {
        using Route = TfrmMenuEtichette::Route;
        handOver(nullptr, route == Route::Horizontal ? static_cast<QWidget*>(frmOrizzontali)
                          : route == Route::Vertical ? static_cast<QWidget*>(frmVerticali)
                                                     : static_cast<QWidget*>(frmAvvio));
    });
}

WindowSet::~WindowSet()
{
    delete frmVini;
    delete frmVerticali;
    delete frmOrizzontali;
    delete frmMenuEtichette;
    delete frmCambiaPassword;
    delete frmAvvio;
    delete frmPassword;
    frmVini = nullptr;
    frmVerticali = nullptr;
    frmOrizzontali = nullptr;
    frmMenuEtichette = nullptr;
    frmCambiaPassword = nullptr;
    frmAvvio = nullptr;
    frmPassword = nullptr;
}

void WindowSet::start()
{
    present(frmPassword);
}

} // namespace vinarca
