#pragma once

#include <QLineEdit>

namespace vinarca {

class ShapeRect;

// A masked password box (Verdana 14 bold) with a yellow rectangle behind it
// that is visible only while the box has the focus. Return is reported, not
// handled.
class PasswordField : public QLineEdit
{
    Q_OBJECT
public:
    PasswordField(QWidget* parent, const QString& name, const QString& highlightName, const QRect& geometry);
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
