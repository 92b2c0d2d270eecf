#include "PictureButton.h"

#include "Artwork.h"

#include <QPainter>

namespace vinarca {

PictureButton::PictureButton(const QString& pictureResource, QWidget* parent)
    : QAbstractButton(parent), m_picture(QPixmap::fromImage(artwork(pictureResource)))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

QSize PictureButton::sizeHint() const
{
    return m_picture.isNull() ? QSize(37, 39) : m_picture.size();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_picture);
    if (isDown())
        painter.fillRect(rect(), QColor(0, 0, 0, 40));
}

} // namespace vinarca
