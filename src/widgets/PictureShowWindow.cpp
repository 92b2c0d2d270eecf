#include "PictureShowWindow.h"

#include "Palette.h"
#include "PictureBox.h"
#include "Platform.h"
#include "Shapes.h"

#include <QMouseEvent>

namespace vinarca {

PictureShowWindow::PictureShowWindow(QWidget* owner)
    : QDialog(owner, Qt::Window), panContainer(new QWidget(this)), imgFoto(new PictureBox(panContainer))
{
    panContainer->setObjectName(QStringLiteral("panContainer"));
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    connect(imgFoto, &PictureBox::clicked, this, &QDialog::accept);
    panContainer->installEventFilter(this);
    setWindowState(Qt::WindowMaximized);
}

void PictureShowWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QSize screen = platform().screenSize();
    const QSize area(screen.width() - 60, screen.height() - 90);
    panContainer->resize(area);
    imgFoto->setGeometry(QRect(QPoint(0, 0), area));
    centrePanel();
}

void PictureShowWindow::resizeEvent(QResizeEvent*)
{
    centrePanel();
}

void PictureShowWindow::centrePanel()
{
    panContainer->move(std::max(0, (width() - panContainer->width()) / 2),
                       std::max(0, (height() - panContainer->height()) / 2));
}

void PictureShowWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, palette::SteelBlue);
}

bool PictureShowWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panContainer && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vinarca
