#include "MenuEtichette.h"

#include "Guida.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ShortString.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

using namespace vinarca;

TfrmMenuEtichette* frmMenuEtichette = nullptr;

TfrmMenuEtichette::TfrmMenuEtichette(QWidget* parent) : GradientWindow(palette::WindowBlue, QSize(995, 692), parent)
{
    setObjectName(QStringLiteral("frmMenuEtichette"));
    setWindowTitle(QStringLiteral(" Vinarca - Etichette Bottiglie"));
    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();

    icoUva = makePicture(panContainer, "icoUva", QStringLiteral(":/labels/uva_menu"), QRect(207, 40, 0, 0));
    icoTitolo = makePicture(panContainer, "icoTitolo", QStringLiteral(":/labels/titolo_menu"), QRect(287, 46, 0, 0));
    icoIstruzioni =
        makePicture(panContainer, "icoIstruzioni", QStringLiteral(":/labels/istruzioni_menu"), QRect(147, 150, 0, 0));
    icoEtichette =
        makePicture(panContainer, "icoEtichette", QStringLiteral(":/labels/etichette_menu"), QRect(110, 250, 382, 217));

    const auto choice = [&](const char* name, const char* tile, const QString& text, int y) {
        auto* shape = new ShapeRect(panContainer, QString::fromLatin1(tile), QRect(535, y - 10, 330, 64),
                                    palette::SteelBlue, palette::PanelOutline, 8);
        shape->setGradient(QColor(0x5B, 0x8F, 0xC7), palette::SteelBlue.darker(130));
        QPushButton* button = makeButton(panContainer, name, text, QRect(545, y, 310, 44), 14);
        return button;
    };
    btnOrizzontali = choice("btnOrizzontali", "shpOrizzontali", QStringLiteral("Etichette orizzontali"), 290);
    btnVerticali = choice("btnVerticali", "shpVerticali", QStringLiteral("Etichette verticali"), 390);

    imgGuida = new PictureButton(QStringLiteral(":/labels/guida_menu"), panContainer);
    imgGuida->setObjectName(QStringLiteral("imgGuida"));
    imgGuida->move(355, 560);
    imgEsci = new PictureButton(QStringLiteral(":/labels/esci_menu"), panContainer);
    imgEsci->setObjectName(QStringLiteral("imgEsci"));
    imgEsci->move(515, 560);

    lblMemory = new QLabel(panContainer);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    connect(btnOrizzontali, &QPushButton::clicked, this, &TfrmMenuEtichette::btnOrizzontaliClick);
    connect(btnVerticali, &QPushButton::clicked, this, &TfrmMenuEtichette::btnVerticaliClick);
    connect(imgEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(imgGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::Labels); });
}

void TfrmMenuEtichette::btnOrizzontaliClick()
{
    lblMemory->setText(QStringLiteral("orizzontali"));
    close();
}

void TfrmMenuEtichette::btnVerticaliClick()
{
    lblMemory->setText(QStringLiteral("verticali"));
    close();
}

TfrmMenuEtichette::Route TfrmMenuEtichette::routeOf(const QString& marker)
{
    const QString word = trimControl(marker);
    if (word == QLatin1String("orizzontali"))
        return Route::Horizontal;
    if (word == QLatin1String("verticali"))
        return Route::Vertical;
    return Route::MainMenu;
}

void TfrmMenuEtichette::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (!event->spontaneous())
        lblMemory->setText(QStringLiteral("avvio"));
}

void TfrmMenuEtichette::closeEvent(QCloseEvent* event)
{
    // The next window is shown before this one is hidden.
    emit closed(routeOf(lblMemory->text()));
    event->accept();
}
