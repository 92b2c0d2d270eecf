#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vinarca {

// A filled rectangle with an optional outline and rounded corners, on which an
// editor's buttons and boxes sit. A vertical gradient when `to` is valid.
class ShapeRect : public QWidget
{
    Q_OBJECT
public:
    ShapeRect(QWidget* parent, const QString& name, const QRect& geometry, const QColor& fill,
              const QColor& outline = {}, int radius = 0);
    void setGradient(const QColor& from, const QColor& to, Qt::Orientation orientation = Qt::Vertical);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    QColor m_gradientTo;
    Qt::Orientation m_orientation = Qt::Vertical;
    QColor m_outline;
    int m_radius;
};

// A top-level window with a top-to-bottom gradient from `colour` to white and
// a fixed-size panel `panContainer` kept in its centre.
class GradientWindow : public QWidget
{
    Q_OBJECT
public:
    GradientWindow(const QColor& colour, const QSize& panelSize, QWidget* parent = nullptr);
    QWidget* panel() const { return m_panel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QColor m_colour;
    QWidget* m_panel;
};

// A label with the given font family, point size and weight, placed at `geometry`.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  const QString& family, int pointSize, bool bold = false, const QColor& colour = Qt::black);

} // namespace vinarca

namespace vinarca {

// Window flags of a fixed-size window with a title but no title-bar buttons:
// it is left only through its own buttons.
Qt::WindowFlags fixedWindowFlags();

// A push button of the program's windows: Verdana, hand cursor; Return does
// not press it unless it has the focus.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                        int pointSize = 10);

// Gives a window a plain background colour.
void setWindowFill(QWidget* window, const QColor& colour);

// Fills the widget with a top-to-bottom gradient from `top` to white: the
// background of most windows of the program.
void paintGradient(QWidget* widget, const QColor& top);

// Fixes a window's client area at `size` and centres it on the screen, or on
// `owner` when given.
void fixAndCentre(QWidget* window, const QSize& size, const QWidget* owner = nullptr);

} // namespace vinarca
