#include "Zoom.h"

#include "PictureBox.h"
#include "Platform.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

using namespace vinarca;

TfrmZoom::TfrmZoom(QWidget* owner) : QDialog(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral(" Fai clic per chiudere questa finestra"));
    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    imgFoto = new PictureBox(panContainer);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    connect(imgFoto, &PictureBox::clicked, this, &QDialog::accept);
    panContainer->installEventFilter(this);
    setWindowState(Qt::WindowMaximized);
}

void TfrmZoom::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QSize screen = platform().screenSize();
    const QSize area(screen.width() - 60, screen.height() - 90);
    panContainer->resize(area);
    imgFoto->setGeometry(QRect(QPoint(0, 0), area));
    resizeEvent(nullptr);
}

void TfrmZoom::resizeEvent(QResizeEvent*)
{
    panContainer->move(std::max(0, (width() - panContainer->width()) / 2),
                       std::max(0, (height() - panContainer->height()) / 2));
}

void TfrmZoom::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0x46, 0x82, 0xB4));
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(rect(), gradient);
}

bool TfrmZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panContainer && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

namespace vinarca {
void showZoom(QWidget* owner, const QImage& picture)
{
    TfrmZoom window(owner);
    // QImage is shared copy-on-write: the zoom window holds its own copy
    // without duplicating the pixels of a large photo.
    window.imgFoto->setImage(picture);
    platform().execDialog(window);
}
} // namespace vinarca
