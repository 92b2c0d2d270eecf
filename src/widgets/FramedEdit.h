#pragma once

#include <QLineEdit>

namespace vinarca {

class ShapeRect;

// An edit box with a yellow frame behind it that is visible only while the
// box has the focus (the box itself is not repainted). Return is reported,
// not handled.
class FramedEdit : public QLineEdit
{
    Q_OBJECT
public:
    // `frame`: the frame's rectangle; by default 4 pixels around the box.
    FramedEdit(QWidget* parent, const QString& name, const QString& frameName, const QRect& geometry,
               const QRect& frame = {});
    ShapeRect* highlight() const { return m_highlight; }

signals:
    void returnKey();
    void keyReleased();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    ShapeRect* m_highlight;
};

} // namespace vinarca

namespace vinarca {

// A masked password box, Verdana 14 bold.
class PasswordField : public FramedEdit
{
    Q_OBJECT
public:
    PasswordField(QWidget* parent, const QString& name, const QString& frameName, const QRect& geometry);
};

} // namespace vinarca
