#include "LinkLabel.h"

#include "Palette.h"

#include <QMouseEvent>

namespace vinarca {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    QFont font(QStringLiteral("Tahoma"), 14);
    font.setUnderline(true);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setColour(palette::DarkBlue);
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
        setColour(palette::Orange);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    setColour(palette::DarkBlue);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace vinarca
