#include "FramedEdit.h"

#include "Palette.h"
#include "Shapes.h"

#include <QKeyEvent>

namespace vinarca {

FramedEdit::FramedEdit(QWidget* parent, const QString& name, const QString& frameName, const QRect& geometry,
                       const QRect& frame)
    : QLineEdit(parent),
      m_highlight(new ShapeRect(parent, frameName, frame.isValid() ? frame : geometry.adjusted(-4, -4, 4, 4),
                                palette::FocusYellow))
{
    setObjectName(name);
    setGeometry(geometry);
    m_highlight->hide();
    m_highlight->stackUnder(this);
}

PasswordField::PasswordField(QWidget* parent, const QString& name, const QString& frameName, const QRect& geometry)
    : FramedEdit(parent, name, frameName, geometry)
{
    setEchoMode(QLineEdit::Password);
    setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
}

void FramedEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_highlight->show();
}

void FramedEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup keeps the box focused underneath it; a window that stops being
    // the active one shows no focused box, so that a window shown again frames
    // only the box that gets the focus then.
    if (event->reason() != Qt::PopupFocusReason)
        m_highlight->hide();
}

void FramedEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit returnKey();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FramedEdit::keyReleaseEvent(QKeyEvent* event)
{
    QLineEdit::keyReleaseEvent(event);
    emit keyReleased();
}

} // namespace vinarca
