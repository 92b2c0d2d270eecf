#pragma once

class QCoreApplication;
class QDialog;
class QWidget;

namespace vinarca {

// Keyboard rules the whole program shares, installed once on the application:
// a focused push button takes Return (and Enter on the keypad) as a press,
// as desktop users expect. Installing it twice changes nothing.
void installWindowKeys(QCoreApplication* application);

// Opts a window out of the Return rule: in it Return and Enter press no
// button, neither the focused one nor a dialog's default one.
void setReturnPressesButtons(QWidget* window, bool presses);

// Escape does not close the dialog: it is left only through its own buttons.
void keepOpenOnEscape(QDialog* dialog);

} // namespace vinarca
