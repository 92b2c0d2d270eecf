#include "Avvio.h"

#include "Artwork.h"
#include "Guida.h"
#include "Info.h"
#include "OpenURL.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"

#include <QCloseEvent>
#include <QPushButton>

using namespace vinarca;

TfrmAvvio* frmAvvio = nullptr;

namespace {
PictureButton* pictureButton(QWidget* parent, const char* name, const char* art, QPoint at)
{
    auto* button = new PictureButton(QStringLiteral(":/shell/%1").arg(QLatin1String(art)), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->move(at);
    return button;
}
} // namespace

TfrmAvvio::TfrmAvvio(QWidget* parent) : GradientWindow(palette::SteelBlue, QSize(995, 692), parent)
{
    setObjectName(QStringLiteral("frmAvvio"));
    setWindowTitle(QStringLiteral(" Vinarca"));
    QWidget* pan = panel();

    new ShapeRect(pan, QStringLiteral("shpNomeApp"), QRect(8, 8, 979, 100), Qt::white, palette::PanelOutline, 6);
    imgInfo = pictureButton(pan, "imgInfo", "icon_info", {22, 16});
    icoUva_01 = makePicture(pan, "icoUva_01", QStringLiteral(":/shell/uva_sinistra"), QRect(120, 12, 0, 0));
    icoTitoloApp = makePicture(pan, "icoTitoloApp", QStringLiteral(":/shell/titolo_app"), QRect(337, 10, 0, 0));
    icoUva_02 = makePicture(pan, "icoUva_02", QStringLiteral(":/shell/uva_destra"), QRect(819, 12, 0, 0));
    imgSottotitolo = makePicture(pan, "imgSottotitolo", QStringLiteral(":/shell/sottotitolo"), QRect(197, 78, 0, 0));
    imgGuida = pictureButton(pan, "imgGuida", "icon_guida", {944, 17});

    struct Tile
    {
        const char* background;
        PictureButton* TfrmAvvio::*image;
        const char* imageName;
        const char* art;
        QPushButton* TfrmAvvio::*button;
        const char* buttonName;
        const char* caption;
        void (TfrmAvvio::*handler)();
    };
    const Tile tiles[] = {
        {"bkgApp06", &TfrmAvvio::imgApp01, "imgApp01", "tile_vini", &TfrmAvvio::btnApp01, "btnApp01", "CATALOGO VINI",
         &TfrmAvvio::imgApp01Click},
        {"bkgApp08", &TfrmAvvio::imgApp02, "imgApp02", "tile_listini", &TfrmAvvio::btnApp02, "btnApp02",
         "LISTINI PREZZI", &TfrmAvvio::imgApp02Click},
        {"bkgApp10", &TfrmAvvio::imgApp03, "imgApp03", "tile_etichette", &TfrmAvvio::btnApp03, "btnApp03",
         "ETICHETTE BOTTIGLIE", &TfrmAvvio::imgApp03Click},
    };
    const QFont captionFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    for (int i = 0; i < 3; ++i) {
        const Tile& t = tiles[i];
        const int left = 8 + i * 329;
        new ShapeRect(pan, QString::fromLatin1(t.background), QRect(left, 118, 321, 466), Qt::white, palette::PanelOutline, 6);
        PictureButton* image = pictureButton(pan, t.imageName, t.art, {left + 11, 128});
        auto* button = new QPushButton(QString::fromLatin1(t.caption), pan);
        button->setObjectName(QString::fromLatin1(t.buttonName));
        button->setGeometry(left + 31, 528, 258, 45);
        button->setFont(captionFont);
        button->setCursor(Qt::PointingHandCursor);
        // The picture and the caption button of a tile run the same handler.
        connect(image, &QAbstractButton::clicked, this, t.handler);
        connect(button, &QPushButton::clicked, this, t.handler);
        this->*t.image = image;
        this->*t.button = button;
    }

    new ShapeRect(pan, QStringLiteral("shpCalce"), QRect(8, 594, 979, 90), Qt::white, palette::PanelOutline, 6);
    imgSito = pictureButton(pan, "imgSito", "banner_sito", {17, 606});
    imgCopyright = pictureButton(pan, "imgCopyright", "icon_crediti", {22, 646});
    imgEsci = pictureButton(pan, "imgEsci", "icon_esci", {958, 648});

    connect(imgInfo, &QAbstractButton::clicked, this, [this] {
        TfrmInfo window(this);
        platform().execDialog(window);
    });
    connect(imgCopyright, &QAbstractButton::clicked, this, [this] {
        TfrmSplash window(this);
        platform().execDialog(window);
    });
    connect(imgGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::Overview); });
    connect(imgSito, &QAbstractButton::clicked, this, [] { TMisc::Open(kMakerWebSite); });
    connect(imgEsci, &QAbstractButton::clicked, this, &TfrmAvvio::terminateRequested);
}

void TfrmAvvio::imgApp01Click()
{
    emit appChosen(App::Wines);
}

void TfrmAvvio::imgApp02Click()
{
    emit appChosen(App::PriceLists);
}

void TfrmAvvio::imgApp03Click()
{
    emit appChosen(App::Labels);
}

void TfrmAvvio::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit terminateRequested();
}
