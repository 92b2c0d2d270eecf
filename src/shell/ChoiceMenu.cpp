#include "ChoiceMenu.h"

#include "Guida.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "ShortString.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace vinarca {

ChoiceMenu::ChoiceMenu(const ChoiceMenuSpec& description, QWidget* parent)
    : GradientWindow(description.colour, QSize(995, 692), parent), m_spec(description)
{
    setObjectName(description.objectName);
    setWindowTitle(description.caption);
    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();

    const QString art = description.artFolder + QLatin1Char('/');
    icoUva = makePicture(panContainer, "icoUva", art + QStringLiteral("uva_menu"), QRect(207, 40, 0, 0));
    icoTitolo = makePicture(panContainer, "icoTitolo", art + QStringLiteral("titolo_menu"), QRect(287, 46, 0, 0));
    icoIstruzioni = makePicture(panContainer, "icoIstruzioni", art + QStringLiteral("istruzioni_menu"),
                                QRect(147, 150, 0, 0));
    icoEtichette = makePicture(panContainer, "icoEtichette", art + description.picture, QRect(110, 250, 382, 217));

    const auto choice = [&](const char* name, const char* tile, const QString& text, int y) {
        auto* shape = new ShapeRect(panContainer, QString::fromLatin1(tile), QRect(535, y - 10, 330, 64),
                                    palette::SteelBlue, palette::PanelOutline, 8);
        shape->setGradient(QColor(0x5B, 0x8F, 0xC7), palette::SteelBlue.darker(130));
        return makeButton(panContainer, name, text, QRect(545, y, 310, 44), 14);
    };
    btnOrizzontali = choice("btnOrizzontali", "shpOrizzontali", description.firstText, 290);
    btnVerticali = choice("btnVerticali", "shpVerticali", description.secondText, 390);

    imgGuida = new PictureButton(art + QStringLiteral("guida_menu"), panContainer);
    imgGuida->setObjectName(QStringLiteral("imgGuida"));
    imgGuida->move(description.guidaAt);
    imgEsci = new PictureButton(art + QStringLiteral("esci_menu"), panContainer);
    imgEsci->setObjectName(QStringLiteral("imgEsci"));
    imgEsci->move(description.esciAt);

    lblMemory = new QLabel(panContainer);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();

    connect(btnOrizzontali, &QPushButton::clicked, this, &ChoiceMenu::btnOrizzontaliClick);
    connect(btnVerticali, &QPushButton::clicked, this, &ChoiceMenu::btnVerticaliClick);
    connect(imgEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(imgGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, m_spec.help); });
}

void ChoiceMenu::btnOrizzontaliClick()
{
    lblMemory->setText(m_spec.firstMarker);
    close();
}

void ChoiceMenu::btnVerticaliClick()
{
    lblMemory->setText(m_spec.secondMarker);
    close();
}

ChoiceMenu::Route ChoiceMenu::routeOf(const QString& marker) const
{
    const QString word = trimControl(marker);
    if (word == m_spec.firstMarker)
        return Route::First;
    if (word == m_spec.secondMarker)
        return Route::Second;
    return Route::MainMenu;
}

void ChoiceMenu::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (!event->spontaneous())
        lblMemory->setText(QStringLiteral("avvio"));
}

void ChoiceMenu::closeEvent(QCloseEvent* event)
{
    // The next window is shown before this one is hidden.
    emit closed(routeOf(lblMemory->text()));
    event->accept();
}

} // namespace vinarca
