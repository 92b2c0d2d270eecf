#include "LabelDrawing.h"

#include "Palette.h"

#include "Length.h"

#include <QFontMetricsF>
#include <QPainter>

#include <stdexcept>

namespace vinarca {

namespace {
const QColor kCoral(0xFF, 0x7F, 0x50);

// Texts are laid out in hundredths of a point so that the font's size is an
// exact whole number on every device; one such unit is this many mm.
constexpr int kFontUnitsPerPoint = 100;
constexpr double kMmPerFontUnit = kMmPerInch / 72.0 / kFontUnitsPerPoint;

// Fonts, colours and alignments are the same on both kinds of label; only
// the boxes differ.
LabelElement styled(const char* name, const QRect& units)
{
    const QString n = QString::fromLatin1(name);
    const LabelFont arial13{QStringLiteral("Arial"), 13, true, false};
    const QString times = QStringLiteral("Times New Roman");
    struct TextStyle
    {
        const char* name;
        LabelLine line;
        LabelFont font;
        QColor colour;
        Qt::Alignment alignment;
    };
    const TextStyle texts[] = {
        {"titCima", LabelLine::Cima, arial13, Qt::white, Qt::AlignHCenter},
        {"titNome", LabelLine::Nome, {times, 30, true, false}, palette::LabelBrown, Qt::AlignHCenter},
        {"titRosso", LabelLine::Rosso, {times, 14, true, false}, Qt::black, Qt::AlignHCenter},
        {"titSottotitolo", LabelLine::Sottotitolo, {times, 22, true, true}, palette::LabelBrown, Qt::AlignHCenter},
        {"titRigo01", LabelLine::Rigo01, {times, 14, false, false}, Qt::black, Qt::AlignHCenter},
        {"titRigo02", LabelLine::Rigo02, {times, 14, false, false}, Qt::black, Qt::AlignHCenter},
        {"titRigo03", LabelLine::Rigo03, {times, 24, true, false}, Qt::black, Qt::AlignLeft},
        {"titRigo04", LabelLine::Rigo04, {times, 24, true, false}, Qt::black, Qt::AlignRight},
        {"titCalce", LabelLine::Calce, arial13, Qt::white, Qt::AlignHCenter},
    };
    for (const TextStyle& t : texts) {
        if (n == QLatin1String(t.name))
            return {n, LabelElementKind::Text, units, t.colour, {}, t.font, t.alignment, t.line};
    }
    if (n == QLatin1String("sfoArancione"))
        return {n, LabelElementKind::Rectangle, units, kCoral, Qt::white, {}, {}};
    if (n == QLatin1String("sfoEtichetta"))
        return {n, LabelElementKind::Rectangle, units, Qt::white, {}, {}, {}};
    if (n == QLatin1String("sfoCima") || n == QLatin1String("sfoCalce"))
        return {n, LabelElementKind::Rectangle, units, palette::Cornflower, {}, {}, {}};
    if (n == QLatin1String("imgFoto"))
        return {n, LabelElementKind::Logo, units, {}, {}, {}, {}};
    if (n == QLatin1String("icoCornice"))
        return {n, LabelElementKind::Ornament, units, {}, {}, {}, {}};
    throw std::logic_error("no label element " + n.toStdString());
}

LabelGeometry geometry(std::initializer_list<std::pair<const char*, QRect>> boxes)
{
    LabelGeometry g;
    for (const auto& [name, units] : boxes)
        g.elements << styled(name, units);
    return g;
}

QFont fontOf(const LabelFont& setup)
{
    QFont font(setup.family);
    font.setPixelSize(setup.pointSize * kFontUnitsPerPoint);
    font.setBold(setup.bold);
    font.setItalic(setup.italic);
    // Unhinted outlines measure the same on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawPicture(QPainter& painter, const QImage& picture, const QRectF& box)
{
    if (picture.isNull())
        return;
    painter.drawImage(fittedPicture(picture.size(), box), picture);
}
} // namespace

QRectF LabelElement::mm() const
{
    return {Length::units(units.x()).mm(), Length::units(units.y()).mm(), Length::units(units.width()).mm(),
            Length::units(units.height()).mm()};
}

const LabelElement& LabelGeometry::element(const QString& name) const
{
    for (const LabelElement& e : elements) {
        if (e.name == name)
            return e;
    }
    throw std::logic_error("no label element " + name.toStdString());
}

const LabelGeometry& verticalGeometry()
{
    static const LabelGeometry g = geometry({
        {"sfoArancione", {-5, -5, 369, 464}},  {"sfoEtichetta", {0, 0, 359, 454}},
        {"sfoCima", {5, 5, 349, 24}},          {"titCima", {10, 7, 339, 20}},
        {"imgFoto", {11, 39, 338, 145}},       {"titNome", {5, 199, 349, 38}},
        {"titRosso", {5, 237, 349, 20}},       {"icoCornice", {43, 261, 280, 159}},
        {"titSottotitolo", {59, 291, 249, 26}}, {"titRigo01", {67, 321, 233, 20}},
        {"titRigo02", {67, 343, 233, 20}},     {"titRigo03", {67, 365, 114, 26}},
        {"titRigo04", {186, 365, 114, 26}},    {"sfoCalce", {5, 425, 349, 24}},
        {"titCalce", {10, 427, 339, 20}},
    });
    return g;
}

const LabelGeometry& horizontalGeometry()
{
    static const LabelGeometry g = geometry({
        {"sfoArancione", {-5, -5, 426, 331}},  {"sfoEtichetta", {0, 0, 416, 321}},
        {"sfoCima", {6, 6, 405, 24}},          {"titCima", {12, 8, 394, 20}},
        {"imgFoto", {6, 36, 405, 70}},         {"titNome", {6, 110, 404, 36}},
        {"titRosso", {6, 144, 404, 20}},       {"titSottotitolo", {6, 164, 405, 26}},
        {"titRigo01", {6, 190, 405, 20}},      {"titRigo02", {6, 210, 405, 20}},
        {"titRigo03", {6, 260, 190, 26}},      {"titRigo04", {220, 260, 190, 26}},
        {"sfoCalce", {6, 292, 405, 24}},       {"titCalce", {12, 294, 394, 20}},
        {"icoCornice", {76, 232, 265, 29}},
    });
    return g;
}

double labelTextLeft(double textWidth, double boxWidth, Qt::Alignment alignment)
{
    if (textWidth >= boxWidth || (alignment & Qt::AlignLeft))
        return 0;
    if (alignment & Qt::AlignRight)
        return boxWidth - textWidth;
    return (boxWidth - textWidth) / 2;
}

QRectF fittedPicture(const QSizeF& picture, const QRectF& box)
{
    if (picture.isEmpty())
        return {};
    const QSizeF size = picture.scaled(box.size(), Qt::KeepAspectRatio);
    return {box.x() + (box.width() - size.width()) / 2, box.y() + (box.height() - size.height()) / 2, size.width(),
            size.height()};
}

void drawLabelText(QPainter& painter, const QRectF& boxMm, const QString& text, const LabelFont& font,
                   const QColor& colour, Qt::Alignment alignment)
{
    if (text.isEmpty())
        return;
    painter.save();
    painter.translate(boxMm.topLeft());
    painter.scale(kMmPerFontUnit, kMmPerFontUnit);
    const QFont f = fontOf(font);
    const QFontMetricsF metrics(f);
    const double boxWidth = boxMm.width() / kMmPerFontUnit;
    const double boxHeight = boxMm.height() / kMmPerFontUnit;
    const double left = labelTextLeft(metrics.horizontalAdvance(text), boxWidth, alignment);
    const double baseline = (boxHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    // Cut at the box's left and right edges only: a large type taller than
    // its box keeps its accents and descenders.
    painter.setClipRect(QRectF(0, -boxHeight, boxWidth, 3 * boxHeight), Qt::IntersectClip);
    painter.setFont(f);
    painter.setPen(colour);
    painter.drawText(QPointF(left, baseline), text);
    painter.restore();
}

void drawLabel(QPainter& painter, const LabelGeometry& geometry, const LabelFace& face)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const LabelElement& e : geometry.elements) {
        const QRectF box = e.mm();
        switch (e.kind) {
        case LabelElementKind::Rectangle:
            painter.fillRect(box, e.colour);
            if (e.outline.isValid()) {
                // A one-unit outline drawn inside the rectangle's edge.
                const double pen = Length::units(1).mm();
                QPen outline(e.outline, pen);
                outline.setJoinStyle(Qt::MiterJoin);
                painter.setPen(outline);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(box.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
            }
            break;
        case LabelElementKind::Logo:
            drawPicture(painter, face.logo, box);
            break;
        case LabelElementKind::Ornament:
            drawPicture(painter, face.ornament, box);
            break;
        case LabelElementKind::Text:
            drawLabelText(painter, box, face.lines.value(static_cast<int>(e.line)), e.font, e.colour, e.alignment);
            break;
        }
    }
    painter.restore();
}

} // namespace vinarca
