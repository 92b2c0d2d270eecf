#include "Info.h"

#include "Artwork.h"
#include "LinkLabel.h"
#include "OpenURL.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Shapes.h"

#include <QLabel>
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
    setWindowFill(this, QColor(0xF0, 0xF8, 0xFF));

    new ShapeRect(this, QStringLiteral("shpLogo"), QRect(0, 0, 473, 150), Qt::white);
    imgLogo = makePicture(this, "imgLogo", QStringLiteral(":/shell/logo_vinarca"), QRect(36, 15, 400, 120));

    auto* about = makeLabel(this, QStringLiteral("lblInfo"),
                            QStringLiteral("Vinarca\n\nCatalogo vini, listini prezzi ed etichette per bottiglie.\n\n"
                                           "Tutti i dati sono conservati nella cartella del programma: "
                                           "copiarla significa avere una copia di sicurezza completa.\n\n"
                                           "Per informazioni scrivere a:"),
                            QRect(36, 170, 400, 180), QStringLiteral("Verdana"), 11, false, QColor(0x1C, 0x3F, 0x6E));
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

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
    setWindowFill(this, QColor(0xF0, 0xF8, 0xFF));

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
