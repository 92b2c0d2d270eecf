#include "MenuListini.h"

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

TfrmMenuListini* frmMenuListini = nullptr;

TfrmMenuListini::TfrmMenuListini(QWidget* parent) : GradientWindow(palette::SteelBlue, QSize(995, 692), parent)
{
    setObjectName(QStringLiteral("frmMenuListini"));
    setWindowTitle(QStringLiteral(" Vinarca - Listini Prezzi"));
    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();

    icoUva = makePicture(panContainer, "icoUva", QStringLiteral(":/pricelists/uva_menu"), QRect(207, 40, 0, 0));
    icoTitolo = makePicture(panContainer, "icoTitolo", QStringLiteral(":/pricelists/titolo_menu"), QRect(287, 46, 0, 0));
    icoIstruzioni =
        makePicture(panContainer, "icoIstruzioni", QStringLiteral(":/pricelists/istruzioni_menu"), QRect(147, 150, 0, 0));
    icoEtichette = makePicture(panContainer, "icoEtichette", QStringLiteral(":/pricelists/listini_menu"),
                               QRect(110, 250, 382, 217));

    const auto choice = [&](const char* name, const char* tile, const QString& text, int y) {
        auto* shape = new ShapeRect(panContainer, QString::fromLatin1(tile), QRect(535, y - 10, 330, 64),
                                    palette::SteelBlue, palette::PanelOutline, 8);
        shape->setGradient(QColor(0x5B, 0x8F, 0xC7), palette::SteelBlue.darker(130));
        return makeButton(panContainer, name, text, QRect(545, y, 310, 44), 14);
    };
    btnOrizzontali = choice("btnOrizzontali", "shpOrizzontali", QStringLiteral("Crea nuovo listino"), 290);
    btnVerticali = choice("btnVerticali", "shpVerticali", QStringLiteral("Apri listino esistente"), 390);

    imgGuida = new PictureButton(QStringLiteral(":/pricelists/guida_menu"), panContainer);
    imgGuida->setObjectName(QStringLiteral("imgGuida"));
    imgGuida->move(355, 560);
    imgEsci = new PictureButton(QStringLiteral(":/pricelists/esci_menu"), panContainer);
    imgEsci->setObjectName(QStringLiteral("imgEsci"));
    imgEsci->move(515, 560);

    lblMemory = new QLabel(panContainer);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    connect(btnOrizzontali, &QPushButton::clicked, this, &TfrmMenuListini::btnOrizzontaliClick);
    connect(btnVerticali, &QPushButton::clicked, this, &TfrmMenuListini::btnVerticaliClick);
    connect(imgEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(imgGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::PriceLists); });
}

void TfrmMenuListini::btnOrizzontaliClick()
{
    lblMemory->setText(QStringLiteral("crea"));
    close();
}

void TfrmMenuListini::btnVerticaliClick()
{
    lblMemory->setText(QStringLiteral("apri"));
    close();
}

TfrmMenuListini::Route TfrmMenuListini::routeOf(const QString& marker)
{
    const QString word = trimControl(marker);
    if (word == QLatin1String("crea"))
        return Route::Create;
    if (word == QLatin1String("apri"))
        return Route::Open;
    return Route::MainMenu;
}

void TfrmMenuListini::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (!event->spontaneous())
        lblMemory->setText(QStringLiteral("avvio"));
}

void TfrmMenuListini::closeEvent(QCloseEvent* event)
{
    // The next window is shown before this one is hidden.
    emit closed(routeOf(lblMemory->text()));
    event->accept();
}
