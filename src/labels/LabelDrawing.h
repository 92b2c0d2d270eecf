#pragma once

#include "LabelRecord.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QStringList>

#include <memory>

class QPainter;

namespace vinarca {

class TMemoView;

// What one element of the drawn label is.
enum class LabelElementKind {
    Rectangle, // filled, with an optional outline
    Logo,      // the record's logo, scaled into its box with its proportions kept
    Ornament,  // the kind's fixed ornament picture, likewise
    Text,      // one label line, a single line never wrapped
};

struct LabelElement
{
    QString name;
    LabelElementKind kind;
    QRectF units;             // window units (1/96 inch) from the label's top-left corner
    QColor colour;            // fill of a rectangle
    QColor outline;           // rectangles only; invalid: none
    LabelLine line = LabelLine::Cima; // texts only
    // Texts only: the printed label's text box of the line (font, colour,
    // alignment, box in the paper's units), which draws the line.
    std::shared_ptr<const TMemoView> printed;
};

// The elements of one kind's live label, in drawing order (later over
// earlier). Everything on the label stands where the printed layout puts
// it, scaled to the live label's size; only the frame around the label and
// the colours of the two bands are the editor's own.
struct LabelGeometry
{
    QList<LabelElement> elements;
    // Live units per unit of the printed label, across and down: the live
    // label is the paper's size rounded to whole window units.
    QSizeF paperScale{1, 1};

    // The element of that name; throws std::logic_error for an unknown name.
    const LabelElement& element(const QString& name) const;
    // The white label area and the frame around it, in window units.
    QRect labelUnits() const { return element(QStringLiteral("sfoEtichetta")).units.toRect(); }
    QRect frameUnits() const { return element(QStringLiteral("sfoArancione")).units.toRect(); }
};

// The live label of a printed label layout whose label is `labelUnits` of
// the window; throws when the layout lacks one of the label's objects.
LabelGeometry labelGeometryOf(const QString& layoutPath, QSize labelUnits);

const LabelGeometry& verticalGeometry();
const LabelGeometry& horizontalGeometry();

// What a label shows: its nine lines in label order and its logo.
struct LabelFace
{
    QStringList lines = QStringList(kLabelLineCount);
    QImage logo;     // null: none drawn (the live label shows the logo box itself)
    QImage ornament;
};

// Draws the label on any painter whose coordinates are window units with
// the origin at the label's top-left corner. Each line is drawn by its
// printed text box, scaled: the same font, the same place and the same cut
// as on paper.
void drawLabel(QPainter& painter, const LabelGeometry& geometry, const LabelFace& face);

// Puts a line into a label's text box: a line too wide for the box starts
// at the box's left edge and is cut at the right edge, so its beginning
// stays readable whatever the alignment; one that fits keeps the box's own.
void setLabelText(TMemoView& memo, const QString& text);

// A picture scaled into a box as far as its proportions allow, centred.
QRectF fittedPicture(const QSizeF& picture, const QRectF& box);

} // namespace vinarca
