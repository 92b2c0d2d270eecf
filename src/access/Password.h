#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vinarca {
class PasswordField;
class PictureBox;
}

// The login window, the application's main window: asks for the access
// password and opens the main menu when it matches the stored one.
class TfrmPassword : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget* parent = nullptr);

    vinarca::PictureBox* imgLogo;
    QLabel* lblRigo05;
    vinarca::PasswordField* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdEsci;
    QPushButton* btnCambiaPassword;

    void cmdOKClick();
    // Empties the password box and puts the focus in it.
    void clearPassword();

signals:
    void loggedIn();
    void changePasswordRequested();
    void exitRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void updateOk();
    bool m_leaving = false;
};

extern TfrmPassword* frmPassword;
