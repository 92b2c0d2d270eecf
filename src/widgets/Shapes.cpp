#include "Shapes.h"

#include <QLabel>
#include <QLinearGradient>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace vinarca {

ShapeRect::ShapeRect(QWidget* parent, const QString& name, const QRect& geometry, const QColor& fill,
                     const QColor& outline, int radius)
    : QWidget(parent), m_fill(fill), m_outline(outline), m_radius(radius)
{
    setObjectName(name);
    setGeometry(geometry);
}

void ShapeRect::setGradient(const QColor& from, const QColor& to, Qt::Orientation orientation)
{
    m_fill = from;
    m_gradientTo = to;
    m_orientation = orientation;
    update();
}

void ShapeRect::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_radius > 0);
    QBrush brush(m_fill);
    if (m_gradientTo.isValid()) {
        QLinearGradient gradient(0, 0, m_orientation == Qt::Horizontal ? width() : 0,
                                 m_orientation == Qt::Vertical ? height() : 0);
        gradient.setColorAt(0, m_fill);
        gradient.setColorAt(1, m_gradientTo);
        brush = QBrush(gradient);
    }
    painter.setBrush(brush);
    painter.setPen(m_outline.isValid() ? QPen(m_outline) : QPen(Qt::NoPen));
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_radius > 0)
        painter.drawRoundedRect(r, m_radius, m_radius);
    else
        painter.drawRect(r);
}

GradientWindow::GradientWindow(const QColor& colour, const QSize& panelSize, QWidget* parent)
    : QWidget(parent), m_colour(colour), m_panel(new QWidget(this))
{
    m_panel->setObjectName(QStringLiteral("panContainer"));
    m_panel->resize(panelSize);
}

void GradientWindow::paintEvent(QPaintEvent*)
{
    paintGradient(this, m_colour);
}

void GradientWindow::resizeEvent(QResizeEvent*)
{
    m_panel->move(std::max(0, (width() - m_panel->width()) / 2), std::max(0, (height() - m_panel->height()) / 2));
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  const QString& family, int pointSize, bool bold, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    QFont font(family, pointSize, bold ? QFont::Bold : QFont::Normal);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace vinarca

namespace vinarca {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry, int pointSize)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFont(QFont(QStringLiteral("Verdana"), pointSize));
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    return button;
}

void setWindowFill(QWidget* window, const QColor& colour)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void paintGradient(QWidget* widget, const QColor& top)
{
    QPainter painter(widget);
    QLinearGradient gradient(0, 0, 0, widget->height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(widget->rect(), gradient);
}

Qt::WindowFlags fixedWindowFlags()
{
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
}

void fixAndCentre(QWidget* window, const QSize& size, const QWidget* owner)
{
    window->setFixedSize(size);
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace vinarca
