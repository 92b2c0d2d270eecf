#include "Info.h"

#include "Artwork.h"
#include "LinkLabel.h"
#include "OpenURL.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Shapes.h"
#include "WindowKeys.h"

#include <QPushButton>

using namespace vinarca;

namespace {
QPushButton* closeButton(QDialog* dialog, const QRect& geometry)
{
    auto* button = new QPushButton(QStringLiteral("Chiudi"), dialog);
    button->setObjectName(QStringLiteral("btnChiudi"));
    button->setGeometry(geometry);
    button->setFont(QFont(QStringLiteral("Verdana"), 12));
    button->setCursor(Qt::PointingHandCursor);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    // Left only through this button: Escape does not close the window.
    keepOpenOnEscape(dialog);
    return button;
}

} // namespace

QString vinarca::infoMailCommand()
{
    return QStringLiteral("\"mailto:") + kMakerEmail + QStringLiteral("?subject=Software Vinarca&body=Salve, "
                                                                      "desidererei avere le seguenti informazioni sul "
                                                                      "software in oggetto:\"");
}

TfrmInfo::TfrmInfo(QWidget* owner) : QDialog(owner, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral(" Informazioni su Vinarca"));
    setWindowFill(this, palette::AliceBlue);

    new ShapeRect(this, QStringLiteral("shpLogo"), QRect(0, 0, 473, 150), Qt::white);
    imgLogo = makePicture(this, "imgLogo", QStringLiteral(":/shell/logo_vinarca"), QRect(36, 15, 400, 120));

    imgEmail = new PictureButton(QStringLiteral(":/shell/icon_email"), this);
    imgEmail->setObjectName(QStringLiteral("imgEmail"));
    imgEmail->move(110, 364);
    lnkWeb = new LinkLabel(kMakerEmail, this);
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    lnkWeb->setGeometry(152, 360, 260, 30);

    btnChiudi = closeButton(this, QRect(166, 510, 140, 36));

    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmInfo::lnkWebClick);
    connect(imgEmail, &QAbstractButton::clicked, this, &TfrmInfo::lnkWebClick);
    fixAndCentre(this, QSize(473, 579));
}

void TfrmInfo::lnkWebClick()
{
    TMisc::Open(infoMailCommand());
}

TfrmSplash::TfrmSplash(QWidget* owner) : QDialog(owner, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral(" Vinarca - software per chi conserva, vende e imbottiglia vino"));
    setWindowFill(this, palette::AliceBlue);

    imgLogo = makePicture(this, "imgLogo", QStringLiteral(":/shell/crediti"), QRect(18, 14, 625, 380));

    imgWeb = new PictureButton(QStringLiteral(":/shell/icon_web"), this);
    imgWeb->setObjectName(QStringLiteral("imgWeb"));
    imgWeb->move(22, 416);
    lnkWeb = new LinkLabel(kMakerWebSiteText, this);
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    lnkWeb->setGeometry(58, 414, 300, 30);

    btnChiudi = closeButton(this, QRect(503, 412, 140, 36));

    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmSplash::lnkWebClick);
    connect(imgWeb, &QAbstractButton::clicked, this, &TfrmSplash::lnkWebClick);
    fixAndCentre(this, QSize(661, 467), owner);
}

void TfrmSplash::lnkWebClick()
{
    TMisc::Open(kMakerWebSite);
}
