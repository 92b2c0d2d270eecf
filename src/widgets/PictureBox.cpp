#include "PictureBox.h"

#include "Artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace vinarca {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setImage(const QImage& image, const QByteArray& sourceBytes)
{
    m_image = image;
    m_sourceBytes = sourceBytes;
    m_scaled = QPixmap();
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    const QSize target = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    if (m_scaled.size() != target) {
        // Scaling a camera photo is the slow part of drawing: do it once per
        // size, first by sampling down to twice the box, then smoothly.
        QImage source = m_image;
        if (source.width() > 4 * target.width() && source.height() > 4 * target.height())
            source = source.scaled(target * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        m_scaled = QPixmap::fromImage(source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QPainter painter(this);
    painter.drawPixmap((width() - target.width()) / 2, (height() - target.height()) / 2, m_scaled);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

PictureBox* makePicture(QWidget* parent, const char* name, const QString& art, const QRect& geometry)
{
    auto* box = new PictureBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    const QImage image = artwork(art);
    box->setGeometry(geometry.isEmpty() ? QRect(geometry.topLeft(), image.size()) : geometry);
    box->setImage(image);
    return box;
}

} // namespace vinarca
