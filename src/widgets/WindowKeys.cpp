#include "WindowKeys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace vinarca {

namespace {

const char* const kNoReturnPress = "vinarcaNoReturnPress";

bool isReturn(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// Sees every key press of the application before the widget it is meant for.
// A key travels from the focused widget up to its window, so the filter also
// sees it arriving at a dialog that would press its default button.
class ReturnPressesButtons final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (!isReturn(key))
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window()->property(kNoReturnPress).toBool())
            return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QDialog*>(widget);
        auto* button = qobject_cast<QPushButton*>(widget);
        if (!button || !button->hasFocus())
            return false;
        // Held down, the key presses once.
        if (!key.isAutoRepeat() && button->isEnabled())
            button->click();
        return true;
    }
};

class EscapeKeepsOpen final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        // The very key a dialog closes on.
        return static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel);
    }
};

} // namespace

void installWindowKeys(QCoreApplication* application)
{
    static const char* const installed = "vinarcaWindowKeys";
    if (application->property(installed).toBool())
        return;
    application->setProperty(installed, true);
    application->installEventFilter(new ReturnPressesButtons(application));
}

void setReturnPressesButtons(QWidget* window, bool presses)
{
    window->setProperty(kNoReturnPress, !presses);
}

void keepOpenOnEscape(QDialog* dialog)
{
    // The dialog closes on Escape in its own key handler, which the key reaches
    // only when no widget in it took the key first.
    dialog->installEventFilter(new EscapeKeepsOpen(dialog));
}

} // namespace vinarca
