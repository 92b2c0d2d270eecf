#pragma once

#include "LabelRecord.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace vinarca {

// What one element of the drawn label is.
enum class LabelElementKind {
    Rectangle, // filled, with an optional outline
    Logo,      // the record's logo, scaled into its box with its proportions kept
    Ornament,  // the kind's fixed ornament picture, likewise
    Text,      // one label line, a single line never wrapped
};

// The font of a label line. Sizes are typographic points, so the same
// element has the same size on screen and on paper.
struct LabelFont
{
    QString family;
    int pointSize = 0;
    bool bold = false;
    bool italic = false;
};

struct LabelElement
{
    QString name;
    LabelElementKind kind;
    QRect units;              // window units (1/96 inch) from the label's top-left corner
    QColor colour;            // fill of a rectangle, ink of a text
    QColor outline;           // rectangles only; invalid: none
    LabelFont font;           // texts only
    Qt::Alignment alignment;  // texts only
    LabelLine line = LabelLine::Cima; // texts only

    QRectF mm() const;
};

// The elements of one kind's label, in drawing order (later over earlier).
struct LabelGeometry
{
    QList<LabelElement> elements;
    // The element of that name; throws std::logic_error for an unknown name.
    const LabelElement& element(const QString& name) const;
    // The white label area and the frame around it, in window units.
    QRect labelUnits() const { return element(QStringLiteral("sfoEtichetta")).units; }
    QRect frameUnits() const { return element(QStringLiteral("sfoArancione")).units; }
};

const LabelGeometry& verticalGeometry();
const LabelGeometry& horizontalGeometry();

// What a label shows: its nine lines in label order and its logo.
struct LabelFace
{
    QStringList lines = QStringList(kLabelLineCount);
    QImage logo;     // null: none drawn (the live label shows the logo box itself)
    QImage ornament;
};

// Draws the label on any painter whose coordinates are millimetres with the
// origin at the label's top-left corner; the live label in the editor uses
// it. The printed label goes through its report layout instead, whose text
// boxes follow the same rule: a line too wide starts at its box's left edge
// and is cut at the right edge (fillLabelTexts).
void drawLabel(QPainter& painter, const LabelGeometry& geometry, const LabelFace& face);

// One line of text in its box (millimetres): vertically centred, placed by
// its alignment while it fits; a line wider than its box starts at the
// box's left edge and is cut at the right edge, so its beginning stays
// readable whatever the alignment.
void drawLabelText(QPainter& painter, const QRectF& boxMm, const QString& text, const LabelFont& font,
                   const QColor& colour, Qt::Alignment alignment);

// Where a line of the given width starts inside a box of the given width.
double labelTextLeft(double textWidth, double boxWidth, Qt::Alignment alignment);

// A picture scaled into a box as far as its proportions allow, centred.
QRectF fittedPicture(const QSizeF& picture, const QRectF& box);

} // namespace vinarca
