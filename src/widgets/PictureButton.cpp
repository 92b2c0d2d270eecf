#include "PictureButton.h"

#include <QPainter>

namespace vinarca {

PictureButton::PictureButton(const QString& svgResource, QWidget* parent)
    : QAbstractButton(parent), m_renderer(svgResource)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

QSize PictureButton::sizeHint() const
{
    return m_renderer.isValid() ? m_renderer.defaultSize() : QSize(37, 39);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_renderer.isValid())
        m_renderer.render(&painter, QRectF(rect()));
    if (isDown())
        painter.fillRect(rect(), QColor(0, 0, 0, 40));
}

} // namespace vinarca
