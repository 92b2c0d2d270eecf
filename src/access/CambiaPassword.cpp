#include "CambiaPassword.h"

#include "Artwork.h"
#include "Crypt.h"
#include "FramedEdit.h"
#include "Palette.h"
#include "PasswordStore.h"
#include "PictureBox.h"
#include "Platform.h"
#include "ShortString.h"
#include "Shapes.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

using namespace vinarca;

TfrmCambiaPassword* frmCambiaPassword = nullptr;

namespace {
const QString kChangeFailure = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica "
                                              "della password. Si consiglia di reinstallare il software.");

} // namespace

TfrmCambiaPassword::TfrmCambiaPassword(QWidget* parent) : QWidget(parent, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmCambiaPassword"));
    setWindowTitle(QStringLiteral(" Cambia password"));
    setWindowFill(this, Qt::white);

    imgLogo = makePicture(this, "imgLogo", QStringLiteral(":/access/cambia_password_logo"), QRect(15, 10, 380, 110));

    const QColor caption = palette::CaptionBlue;
    const QString verdana = QStringLiteral("Verdana");
    lblRigo05 = makeLabel(this, QStringLiteral("lblRigo05"), QStringLiteral("Vecchia password:"), QRect(56, 130, 300, 20), verdana, 10, true, caption);
    txtPasswordOld = new PasswordField(this, QStringLiteral("txtPasswordOld"), QStringLiteral("effPasswordOld"), QRect(56, 152, 300, 32));
    lblRigo06 = makeLabel(this, QStringLiteral("lblRigo06"), QStringLiteral("Nuova password:"), QRect(56, 198, 300, 20), verdana, 10, true, caption);
    txtPasswordNew = new PasswordField(this, QStringLiteral("txtPasswordNew"), QStringLiteral("effPasswordNew"), QRect(56, 220, 300, 32));
    lblRigo07 = makeLabel(this, QStringLiteral("lblRigo07"), QStringLiteral("Conferma nuova password:"), QRect(56, 266, 300, 20), verdana, 10, true, caption);
    txtConferma = new PasswordField(this, QStringLiteral("txtConferma"), QStringLiteral("effConferma"), QRect(56, 288, 300, 32));

    cmdEsci = makeButton(this, "cmdEsci", QStringLiteral("Chiudi"), QRect(56, 350, 144, 34));
    cmdOK = makeButton(this, "cmdOK", QStringLiteral("OK"), QRect(212, 350, 144, 34));
    cmdOK->setEnabled(false);

    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdEsci);
    setTabOrder(cmdEsci, cmdOK);

    const QList<PasswordField*> ring{txtPasswordOld, txtPasswordNew, txtConferma};
    for (qsizetype i = 0; i < ring.size(); ++i) {
        PasswordField* next = ring.at((i + 1) % ring.size());
        connect(ring[i], &QLineEdit::textChanged, this, &TfrmCambiaPassword::updateOk);
        connect(ring[i], &PasswordField::keyReleased, this, &TfrmCambiaPassword::updateOk);
        // Return moves round the three boxes and never submits the form.
        connect(ring[i], &PasswordField::returnKey, next, [next] { next->setFocus(Qt::TabFocusReason); });
    }
    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &QWidget::close);

    fixAndCentre(this, QSize(411, 418));
}

void TfrmCambiaPassword::updateOk()
{
    cmdOK->setEnabled(!trimControl(txtPasswordOld->text()).isEmpty() && !trimControl(txtPasswordNew->text()).isEmpty()
                      && !trimControl(txtConferma->text()).isEmpty());
}

void TfrmCambiaPassword::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    txtPasswordOld->clear();
    txtPasswordNew->clear();
    txtConferma->clear();
    txtPasswordOld->setFocus(Qt::OtherFocusReason);
}

void TfrmCambiaPassword::closeEvent(QCloseEvent* event)
{
    emit closed();
    event->accept();
}

void TfrmCambiaPassword::cmdOKClick()
{
    try {
        if (ReadStoredPassword() != NormalizePassword(txtPasswordOld->text())) {
            platform().plainMessage(this, QStringLiteral("Attenzione: vecchia password errata."));
            txtPasswordOld->clear();
            txtPasswordOld->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (trimControl(txtPasswordNew->text()) != trimControl(txtConferma->text())) {
            platform().plainMessage(this, QStringLiteral("Attenzione: la nuova password non è stata confermata "
                                                         "correttamente. E' necessario reinserire entrambi i valori."));
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus(Qt::OtherFocusReason);
            return;
        }
        const QString normalized = NormalizePassword(txtPasswordNew->text());
        // The store carries at most 255 characters of U+0000..U+00FF; any other
        // password would be stored damaged and never match again, locking the
        // user out. It is refused and the old password stays valid.
        if (!isStorablePassword(normalized)) {
            platform().plainMessage(this, QStringLiteral("Attenzione: la nuova password può contenere al massimo 255 "
                                                         "caratteri, scelti tra lettere, cifre e simboli dell'alfabeto "
                                                         "latino. E' necessario reinserire entrambi i valori."));
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus(Qt::OtherFocusReason);
            return;
        }
        StorePassword(normalized);
    } catch (const Crypt::ConversionError&) {
        platform().plainMessage(this, kChangeFailure);
        return;
    } catch (const StoreWriteError&) {
        platform().plainMessage(this, kChangeFailure);
        return;
    }
    platform().plainMessage(this, QStringLiteral("Modifica della password completata con successo."));
    close();
}
