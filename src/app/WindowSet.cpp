#include "WindowSet.h"

#include "ApriCatalogo.h"
#include "Artwork.h"
#include "Avvio.h"
#include "CreaCatalogo.h"
#include "ListinoPrezzi.h"
#include "CambiaPassword.h"
#include "LabelWindows.h"
#include "PriceListWindows.h"
#include "Password.h"
#include "ProgramFolder.h"
#include "QtTexts.h"
#include "Vini.h"
#include "WindowKeys.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace vinarca {

FontsAhead::FontsAhead()
{
    try {
        // The configuration is set once for the process: Qt's font database
        // then finds it loaded instead of loading it again.
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: the font database loads it when first asked.
    }
}

FontsAhead::~FontsAhead()
{
    wait();
}

void FontsAhead::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void Terminate()
{
    QCoreApplication::quit();
}

namespace {
// The program icon at every size it was rendered at; the desktop picks the
// size it shows. The pictures are raw pixels in the resources, so no image
// reader (and none of its format plugins) is loaded for them.
QIcon programIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128, 256}) {
        const QImage picture = artwork(QStringLiteral(":/app/vinarca_%1").arg(side));
        if (!picture.isNull())
            icon.addPixmap(QPixmap::fromImage(picture));
    }
    return icon;
}
} // namespace

void prepareApplication(QCoreApplication* application)
{
    applyProcessFormats();
    installItalianQtTexts();
    installWindowKeys(application);
    // Set once for the application, so every window carries it, including
    // the message boxes and the print dialog.
    if (qobject_cast<QGuiApplication*>(application))
        QGuiApplication::setWindowIcon(programIcon());
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

// Ends `loop` once `window` has been painted for the first time and the
// painting has reached the screen.
class AfterFirstPaint final : public QObject
{
public:
    AfterFirstPaint(QWidget* window, QEventLoop* loop) : m_loop(loop)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the painting finishes and is flushed first.
            QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QEventLoop* m_loop;
};
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
    // The login window comes first; the other windows are created by start(),
    // once the login is on screen.
    frmPassword = new TfrmPassword;
    connect(frmPassword, &TfrmPassword::exitRequested, this, &Terminate);
}

void WindowSet::createOtherWindows()
{
    if (frmAvvio)
        return;
    // Persistent windows, created once in the program's fixed order; the
    // dialog windows are created afresh by their openers at each use.
    frmAvvio = new TfrmAvvio;
    frmCambiaPassword = new TfrmCambiaPassword;
    frmMenuEtichette = new TfrmMenuEtichette;
    frmOrizzontali = new TfrmOrizzontali;
    frmVerticali = new TfrmVerticali;
    frmVini = new TfrmVini;
    frmMenuListini = new TfrmMenuListini;
    frmCreaCatalogo = new TfrmCreaCatalogo;
    frmApriCatalogo = new TfrmApriCatalogo;
    frmListinoPrezzi = new TfrmListinoPrezzi;

    connect(frmPassword, &TfrmPassword::loggedIn, this, [] { handOver(frmPassword, frmAvvio); });
    connect(frmPassword, &TfrmPassword::changePasswordRequested, this,
            [] { handOver(frmPassword, frmCambiaPassword); });
    connect(frmCambiaPassword, &TfrmCambiaPassword::closed, this, [] {
        handOver(nullptr, frmPassword);
        frmPassword->clearPassword();
    });

    connect(frmAvvio, &TfrmAvvio::appChosen, this, [](TfrmAvvio::App app) {
        if (app == TfrmAvvio::App::Wines)
            handOver(frmAvvio, frmVini);
        if (app == TfrmAvvio::App::Labels)
            handOver(frmAvvio, frmMenuEtichette);
        if (app == TfrmAvvio::App::PriceLists)
            handOver(frmAvvio, frmMenuListini);
    });
    connect(frmAvvio, &TfrmAvvio::terminateRequested, this, &Terminate);

    // Closing an application window, however it happens, returns to the main
    // menu: the menu is shown while the closing window is still on screen.
    connect(frmVini, &TfrmVini::closed, this, [] { handOver(nullptr, frmAvvio); });
    connect(frmVerticali, &TfrmVerticali::closed, this, [] { handOver(nullptr, frmAvvio); });
    connect(frmOrizzontali, &TfrmOrizzontali::closed, this, [] { handOver(nullptr, frmAvvio); });
    // Each menu leads to its first or second choice, or home.
    const auto menuRoute = [this](ChoiceMenu* menu, QWidget* first, QWidget* second) {
        connect(menu, &ChoiceMenu::closed, this, [first, second](ChoiceMenu::Route route) {
            handOver(nullptr, route == ChoiceMenu::Route::First    ? first
                              : route == ChoiceMenu::Route::Second ? second
                                                                   : static_cast<QWidget*>(frmAvvio));
        });
    };
    menuRoute(frmMenuEtichette, frmOrizzontali, frmVerticali);
    menuRoute(frmMenuListini, frmCreaCatalogo, frmApriCatalogo);
    connect(frmCreaCatalogo, &TfrmCreaCatalogo::closed, this, [] { handOver(nullptr, frmAvvio); });
    connect(frmApriCatalogo, &TfrmApriCatalogo::closed, this, [](TfrmApriCatalogo::Route route) {
        if (route != TfrmApriCatalogo::Route::PriceList) {
            handOver(nullptr, frmAvvio);
            return;
        }
        // The editor learns its list before it is shown: showing it prepares a new page.
        frmListinoPrezzi->openList(frmApriCatalogo->lblFile->text().trimmed(), frmApriCatalogo->selectedTitle());
        handOver(nullptr, frmListinoPrezzi);
    });
    connect(frmListinoPrezzi, &TfrmListinoPrezzi::closed, this, [] { handOver(nullptr, frmAvvio); });
}

WindowSet::~WindowSet()
{
    delete frmListinoPrezzi;
    delete frmApriCatalogo;
    delete frmCreaCatalogo;
    delete frmMenuListini;
    delete frmVini;
    delete frmVerticali;
    delete frmOrizzontali;
    delete frmMenuEtichette;
    delete frmCambiaPassword;
    delete frmAvvio;
    delete frmPassword;
    frmListinoPrezzi = nullptr;
    frmApriCatalogo = nullptr;
    frmCreaCatalogo = nullptr;
    frmMenuListini = nullptr;
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
    // The login is on screen before any work it does not need: the other
    // windows are built right after its first painting. Until then only
    // events that are not the user's are handled, so every window exists
    // before the user can act on the login. A platform that paints nothing
    // (or late) holds the building back for at most a moment.
    QEventLoop untilPainted;
    AfterFirstPaint watch(frmPassword, &untilPainted);
    QTimer::singleShot(2000, &untilPainted, &QEventLoop::quit);
    present(frmPassword);
    untilPainted.exec(QEventLoop::ExcludeUserInputEvents);
    emit loginOnScreen();
    createOtherWindows();
}

} // namespace vinarca
