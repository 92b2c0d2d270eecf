#include "Password.h"

#include "Artwork.h"
#include "Crypt.h"
#include "FramedEdit.h"
#include "PasswordStore.h"
#include "Palette.h"
#include "PictureBox.h"
#include "Platform.h"
#include "ShortString.h"
#include "Shapes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

using namespace vinarca;

TfrmPassword* frmPassword = nullptr;

TfrmPassword::TfrmPassword(QWidget* parent) : QWidget(parent, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral(" Vinarca - Accesso"));
    setWindowFill(this, Qt::white);

    imgLogo = makePicture(this, "imgLogo", QStringLiteral(":/access/login_logo"), QRect(14, 12, 360, 180));

    lblRigo05 = makeLabel(this, QStringLiteral("lblRigo05"), QStringLiteral("Immetti la password e premi OK."),
                          QRect(24, 206, 340, 24), QStringLiteral("Verdana"), 11, false, palette::CaptionBlue);
    lblRigo05->setAlignment(Qt::AlignCenter);

    txtPassword = new PasswordField(this, QStringLiteral("txtPassword"), QStringLiteral("effPassword"),
                                    QRect(44, 244, 300, 34));
    cmdOK = makeButton(this, "cmdOK", QStringLiteral("OK"), QRect(44, 300, 144, 34));
    cmdOK->setEnabled(false);
    cmdEsci = makeButton(this, "cmdEsci", QStringLiteral("Esci"), QRect(200, 300, 144, 34));
    btnCambiaPassword = makeButton(this, "btnCambiaPassword", QStringLiteral("Cambia password"), QRect(44, 348, 300, 34));

    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdEsci);
    setTabOrder(cmdEsci, btnCambiaPassword);

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::updateOk);
    connect(txtPassword, &PasswordField::keyReleased, this, &TfrmPassword::updateOk);
    connect(txtPassword, &PasswordField::returnKey, this, [this] {
        if (!trimControl(txtPassword->text()).isEmpty())
            cmdOKClick();
    });
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, [this] {
        m_leaving = true;
        close();
        emit exitRequested();
    });
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::changePasswordRequested);

    fixAndCentre(this, QSize(388, 405));
}

void TfrmPassword::updateOk()
{
    cmdOK->setEnabled(!trimControl(txtPassword->text()).isEmpty());
}

void TfrmPassword::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::closeEvent(QCloseEvent* event)
{
    // The window has no close button; closing it by the system leaves the
    // program as "Esci" does.
    event->accept();
    if (!m_leaving) {
        m_leaving = true;
        emit exitRequested();
    }
}

void TfrmPassword::clearPassword()
{
    txtPassword->clear();
    txtPassword->setFocus(Qt::OtherFocusReason);
}

void TfrmPassword::cmdOKClick()
{
    try {
        const QString stored = ReadStoredPassword();
        const QString typed = NormalizePassword(txtPassword->text());
        if (stored == typed) {
            emit loggedIn();
            return;
        }
    } catch (const Crypt::ConversionError&) {
        platform().plainMessage(this, QStringLiteral("Attenzione: si è verificato un errore durante la procedura di "
                                                     "lettura della password. Si consiglia di reinstallare il software."));
        return;
    }
    platform().plainMessage(this, QStringLiteral("Attenzione: password errata."));
    clearPassword();
}
