#include "StatusHints.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace vinarca {

StatusHints::StatusHints(QLabel* statusLine, QObject* parent) : QObject(parent), m_status(statusLine)
{
    addQuiet(statusLine);
}

void StatusHints::addButton(QWidget* button, const QString& text)
{
    m_buttons.insert(button, text);
    button->setMouseTracking(true);
    // A button ignores a move without a press, which would pass it on to the
    // background under it and clear the text just written.
    button->setAttribute(Qt::WA_NoMousePropagation);
    button->installEventFilter(this);
}

void StatusHints::addBackground(QWidget* background)
{
    m_backgrounds.insert(background, true);
    background->setMouseTracking(true);
    background->installEventFilter(this);
}

void StatusHints::addQuiet(QWidget* element)
{
    element->setAttribute(Qt::WA_NoMousePropagation);
}

bool StatusHints::eventFilter(QObject* watched, QEvent* event)
{
    // Only a real movement of the pointer counts: a window appearing under a
    // resting pointer leaves the status line as it is.
    if (m_status && event->type() == QEvent::MouseMove) {
        if (auto it = m_buttons.constFind(watched); it != m_buttons.constEnd())
            m_status->setText(it.value());
        else if (m_backgrounds.contains(watched))
            m_status->clear();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vinarca
