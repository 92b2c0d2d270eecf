#include "PasswordField.h"

#include "Shapes.h"

#include <QKeyEvent>

namespace vinarca {

PasswordField::PasswordField(QWidget* parent, const QString& name, const QString& highlightName, const QRect& geometry)
    : QLineEdit(parent),
      m_highlight(new ShapeRect(parent, highlightName, geometry.adjusted(-4, -4, 4, 4), QColor(0xFF, 0xFF, 0x00)))
{
    setObjectName(name);
    setGeometry(geometry);
    setEchoMode(QLineEdit::Password);
    setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
    m_highlight->hide();
    m_highlight->stackUnder(this);
}

void PasswordField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_highlight->show();
}

void PasswordField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_highlight->hide();
}

void PasswordField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit returnKey();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PasswordField::keyReleaseEvent(QKeyEvent* event)
{
    QLineEdit::keyReleaseEvent(event);
    emit keyReleased();
}

} // namespace vinarca
