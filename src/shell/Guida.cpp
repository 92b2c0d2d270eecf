#include "Guida.h"

#include "Artwork.h"
#include "LinkLabel.h"
#include "OpenURL.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "Shapes.h"
#include "WindowKeys.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace vinarca;

TfrmGuida::TfrmGuida(QWidget* owner) : QDialog(owner, fixedWindowFlags())
{
    setObjectName(QStringLiteral("frmGuida"));
    setWindowTitle(QStringLiteral(" Guida all'utilizzo del software"));

    new ShapeRect(this, QStringLiteral("shpLogo"), QRect(0, 0, 670, 84), Qt::white);
    imgLogo = new PictureBox(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(15, 6, 640, 72);
    imgLogo->setImage(artwork(QStringLiteral(":/shell/logo_guida")));

    lblTitolo = makeLabel(this, QStringLiteral("lblTitolo"), QStringLiteral("Argomento della guida."),
                          QRect(20, 94, 630, 32), QStringLiteral("Arial"), 16, true, palette::Crimson);

    txtGuida = new QPlainTextEdit(this);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setGeometry(20, 132, 630, 350);
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));

    imgPDF = new PictureButton(QStringLiteral(":/shell/icon_pdf"), this);
    imgPDF->setObjectName(QStringLiteral("imgPDF"));
    imgPDF->move(20, 500);
    lnkWeb = new LinkLabel(QStringLiteral("Visualizza guida in formato PDF"), this);
    lnkWeb->setObjectName(QStringLiteral("lnkWeb"));
    lnkWeb->setGeometry(56, 502, 360, 28);

    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setGeometry(510, 500, 140, 34);
    btnChiudi->setFont(QFont(QStringLiteral("Verdana"), 12));
    btnChiudi->setCursor(Qt::PointingHandCursor);

    connect(imgPDF, &QAbstractButton::clicked, this, &TfrmGuida::lnkWebClick);
    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmGuida::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
    // Left only through Chiudi: Escape does not close the window.
    keepOpenOnEscape(this);

    fixAndCentre(this, QSize(670, 572));
}

void TfrmGuida::lnkWebClick()
{
    // Quoted, so a program folder with blanks in its path still opens.
    TMisc::Open(QLatin1Char('"') + ProgramFolder() + QStringLiteral("Guida.pdf") + QLatin1Char('"'));
}

void TfrmGuida::paintEvent(QPaintEvent*)
{
    paintGradient(this, QColor(0xB0, 0xE0, 0xE6));
}

namespace vinarca {
void showHelp(QWidget* owner, HelpTopic topic)
{
    TfrmGuida window(owner);
    const HelpText text = helpText(topic);
    window.lblTitolo->setText(text.title);
    QString shown = text.body;
    window.txtGuida->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    platform().execDialog(window);
}
} // namespace vinarca
