#pragma once

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace vinarca {
class Camera;
class FrameHandOver;
class PictureBox;
class ShapeRect;
} // namespace vinarca

// Captures a photo from the system's default camera: the live picture on the
// left, the captured one on the right, which can be saved to a file or
// imported into the window that opened this one.
class TfrmWebCam : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmWebCam(QWidget* owner = nullptr);
    ~TfrmWebCam() override;

    vinarca::ShapeRect* panCamera;
    vinarca::PictureBox* imgCamera;
    QPushButton* btnAccendi;
    QPushButton* btnSpegni;
    vinarca::ShapeRect* panTarget;
    vinarca::PictureBox* imgTarget;
    QPushButton* btnCattura;
    QPushButton* btnSalvaFotogramma;
    QPushButton* btnImportaFoto;
    QPushButton* btnClose;
    vinarca::FrameHandOver* camCamera; // hands the running camera's frames to imgCamera
    vinarca::PictureBox* imgBianco;
    QLabel* lblMemory;

    // Receives a copy of the captured picture when it is imported for the
    // editor named by the routing marker ("vini").
    std::function<void(const QImage&)> importTarget;

    bool cameraRunning() const;

    void btnAccendiClick();
    void btnSpegniClick();
    void btnCatturaClick();
    void btnSalvaFotogrammaClick();
    void btnImportaFotoClick();
    void btnCloseClick();

    // However the window ends, the camera stops.
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Escape does not close the window: it is left only through its buttons.

private:
    void stopCamera();

    std::unique_ptr<vinarca::Camera> m_camera;
};

namespace vinarca {
// Opens a fresh webcam window owned by `owner` for the wine editor (routing
// marker "vini"), modal; an imported photo goes to `importTarget`. The window
// is destroyed when it closes.
void openWebCam(QWidget* owner, std::function<void(const QImage&)> importTarget);
} // namespace vinarca
