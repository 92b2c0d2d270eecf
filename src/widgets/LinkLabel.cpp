#include "LinkLabel.h"

#include <QMouseEvent>

namespace vinarca {

namespace {
const QColor kDarkBlue(0x00, 0x00, 0x8B);
const QColor kOrange(0xFF, 0xA5, 0x00);
} // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    QFont font(QStringLiteral("Tahoma"), 14);
    font.setUnderline(true);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setColour(kDarkBlue);
}

QColor LinkLabel::colour() const
{
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setColour(kOrange);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    setColour(kDarkBlue);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace vinarca
