#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vinarca {
class PasswordField;
class PictureBox;
}

// Replaces the access password: old password, new password, confirmation.
class TfrmCambiaPassword : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(QWidget* parent = nullptr);

    vinarca::PictureBox* imgLogo;
    QLabel *lblRigo05, *lblRigo06, *lblRigo07;
    vinarca::PasswordField *txtPasswordOld, *txtPasswordNew, *txtConferma;
    QPushButton* cmdEsci;
    QPushButton* cmdOK;

    void cmdOKClick();

signals:
    // The window closed, by any button or after a change: back to the login.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void updateOk();
};

extern TfrmCambiaPassword* frmCambiaPassword;
