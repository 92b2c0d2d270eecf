#pragma once

#include "HelpTopics.h"
#include "Shapes.h"

#include <QColor>
#include <QPoint>
#include <QString>

class QLabel;
class QPushButton;

namespace vinarca {

class PictureBox;
class PictureButton;

// What tells the two application menus apart: their texts, pictures and
// colour, the two choices and the marker words they leave in lblMemory.
struct ChoiceMenuSpec
{
    QString objectName;
    QString caption;
    QColor colour;
    QString artFolder;     // ":/labels", ":/pricelists": holds uva_menu, titolo_menu, ...
    QString picture;       // the large picture at the left, in artFolder
    QString firstText, secondText;
    QString firstMarker, secondMarker;
    HelpTopic help;
    QPoint guidaAt, esciAt; // the Guida and Esci pictures at the bottom
};

// An application menu: two choices on blue tiles, a help and an exit picture.
// The hidden lblMemory remembers the choice until the menu closes, and the
// close, however it happens, hands over by it.
class ChoiceMenu : public GradientWindow
{
    Q_OBJECT
public:
    enum class Route { MainMenu, First, Second };

    explicit ChoiceMenu(const ChoiceMenuSpec& description, QWidget* parent = nullptr);

    PictureBox *icoTitolo, *icoUva, *icoIstruzioni, *icoEtichette;
    QPushButton *btnOrizzontali, *btnVerticali; // the first and the second choice
    PictureButton *imgGuida, *imgEsci;
    QLabel* lblMemory;

    void btnOrizzontaliClick();
    void btnVerticaliClick();

    // Where a routing marker leads: "avvio" and anything unknown go back to
    // the main menu.
    Route routeOf(const QString& marker) const;

signals:
    // The menu was closed (any way); the window set shows where it leads.
    void closed(vinarca::ChoiceMenu::Route route);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ChoiceMenuSpec m_spec;
};

} // namespace vinarca
