#include "WebCam.h"

#include "Artwork.h"
#include "Camera.h"
#include "FrameHandOver.h"
#include "Photo.h"
#include "Palette.h"
#include "PictureBox.h"
#include "RecordEditor.h"
#include "Platform.h"
#include "Shapes.h"
#include "ShortString.h"
#include "WindowKeys.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

using namespace vinarca;

namespace {

const QSize kClientSize(807, 405);

const QString kNoCamera = QStringLiteral(
    "Attenzione: nessuna webcam disponibile.\r\n\r\nCollegare una webcam al computer e riprovare.");
const QString kCameraNotStarted = QStringLiteral(
    "Attenzione: impossibile avviare la webcam.\r\n\r\n"
    "Verificare che la webcam sia collegata e che non sia in uso da un altro programma.");

// A white panel around a 366 × 274 picture box.
PictureBox* makePicturePanel(QWidget* parent, const char* panel, const char* picture, int x, ShapeRect** created)
{
    *created = new ShapeRect(parent, QString::fromLatin1(panel), QRect(x, 14, 382, 290), Qt::white, palette::PanelOutline, 4);
    auto* box = new PictureBox(*created);
    box->setObjectName(QString::fromLatin1(picture));
    box->setGeometry(8, 8, 366, 274);
    return box;
}

} // namespace

TfrmWebCam::TfrmWebCam(QWidget* owner) : QDialog(owner, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmWebCam"));
    setWindowTitle(QStringLiteral(" Cattura foto con webcam"));
    // The camera window is left only through its buttons, and Return presses
    // none of them: a capture or an import is always a deliberate click.
    keepOpenOnEscape(this);
    setReturnPressesButtons(this, false);

    imgCamera = makePicturePanel(this, "panCamera", "imgCamera", 14, &panCamera);
    imgTarget = makePicturePanel(this, "panTarget", "imgTarget", 411, &panTarget);

    btnAccendi = makeButton(this, "btnAccendi", QStringLiteral("Accendi webcam"), QRect(14, 316, 382, 34), 9);
    btnSpegni = makeButton(this, "btnSpegni", QStringLiteral("Spegni webcam"), QRect(14, 356, 382, 34), 9);
    btnCattura = makeButton(this, "btnCattura", QStringLiteral("Cattura foto"), QRect(411, 316, 188, 34), 9);
    btnSalvaFotogramma =
        makeButton(this, "btnSalvaFotogramma", QStringLiteral("Salva foto su disco"), QRect(605, 316, 188, 34), 9);
    btnImportaFoto =
        makeButton(this, "btnImportaFoto", QStringLiteral("Importa foto in scheda"), QRect(411, 356, 188, 34), 9);
    btnClose = makeButton(this, "btnClose", QStringLiteral("Annulla"), QRect(605, 356, 188, 34), 9);

    imgBianco = new PictureBox(this);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    imgBianco->setGeometry(0, 0, 366, 274);
    imgBianco->hide();
    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    const QImage webcamDrawing = artwork(QStringLiteral(":/wines/webcam_drawing"));
    imgCamera->setImage(webcamDrawing);
    imgBianco->setImage(webcamDrawing);
    imgTarget->setImage(artwork(QStringLiteral(":/wines/fotocamera_drawing")));

    // The picture box takes the frame as it is, so the live picture has the
    // frame's size and is only scaled when drawn.
    camCamera = new FrameHandOver([this](const QImage& frame) { imgCamera->setImage(frame); }, this);
    camCamera->setObjectName(QStringLiteral("camCamera"));

    connect(btnAccendi, &QAbstractButton::clicked, this, &TfrmWebCam::btnAccendiClick);
    connect(btnSpegni, &QAbstractButton::clicked, this, &TfrmWebCam::btnSpegniClick);
    connect(btnCattura, &QAbstractButton::clicked, this, &TfrmWebCam::btnCatturaClick);
    connect(btnSalvaFotogramma, &QAbstractButton::clicked, this, &TfrmWebCam::btnSalvaFotogrammaClick);
    connect(btnImportaFoto, &QAbstractButton::clicked, this, &TfrmWebCam::btnImportaFotoClick);
    connect(btnClose, &QAbstractButton::clicked, this, &TfrmWebCam::btnCloseClick);

    fixAndCentre(this, kClientSize, owner);
}

TfrmWebCam::~TfrmWebCam()
{
    stopCamera();
}

bool TfrmWebCam::cameraRunning() const
{
    return m_camera && m_camera->isActive();
}

void TfrmWebCam::btnAccendiClick()
{
    if (cameraRunning())
        return;
    // A device that stopped by itself (unplugged) is let go, and the
    // system's default device is asked for again.
    stopCamera();
    m_camera = platform().defaultCamera();
    if (!m_camera) {
        platform().message(this, MessageKind::Warning, kNoCamera);
        return;
    }
    m_camera->setFrameHandler(camCamera->open());
    if (!m_camera->start()) {
        stopCamera();
        platform().message(this, MessageKind::Warning, kCameraNotStarted);
    }
}

void TfrmWebCam::btnSpegniClick()
{
    stopCamera();
}

void TfrmWebCam::stopCamera()
{
    // Release a capture thread that is waiting for this thread before asking
    // the device to stop: a device's stop() may wait for its capture thread.
    camCamera->close();
    if (m_camera) {
        m_camera->stop();
        m_camera.reset();
    }
}

void TfrmWebCam::btnCatturaClick()
{
    imgTarget->setImage(imgCamera->image());
}

void TfrmWebCam::btnSalvaFotogrammaClick()
{
    const QString path = platform().saveFileName(this, photoSaveRequest());
    if (path.isEmpty())
        return;
    // The captured picture stays, so it can still be imported.
    if (!writePictureAs(path, Photo{imgTarget->image(), {}}))
        platform().message(this, MessageKind::Warning, pictureCopyFailureMessage());
}

void TfrmWebCam::btnImportaFotoClick()
{
    stopCamera();
    if (trimControl(lblMemory->text()) != QLatin1String("vini"))
        return;
    if (importTarget)
        importTarget(imgTarget->image());
    accept();
}

void TfrmWebCam::btnCloseClick()
{
    stopCamera();
    reject();
}

void TfrmWebCam::done(int result)
{
    stopCamera();
    QDialog::done(result);
}

void TfrmWebCam::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::WebcamBlue);
}

namespace vinarca {
void openWebCam(QWidget* owner, std::function<void(const QImage&)> importTarget)
{
    TfrmWebCam window(owner);
    window.importTarget = std::move(importTarget);
    window.lblMemory->setText(QStringLiteral("vini"));
    platform().execDialog(window);
}
} // namespace vinarca
