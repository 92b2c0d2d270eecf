#include "LabelDrawing.h"

#include "Palette.h"

#include "Length.h"
#include "ReportLayout.h"
#include "ReportModel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <stdexcept>

namespace vinarca {

namespace {
const QColor kCoral(0xFF, 0x7F, 0x50);

// The live elements and the printed objects they stand for.
struct Counterpart
{
    const char* live;
    const char* printed;
};
constexpr Counterpart kCounterparts[] = {
    {"sfoCima", "shpTitolo"},        {"titCima", "txtCima"},       {"sfoCalce", "Shape1"},
    {"imgFoto", "imgLogo"},          {"titCalce", "txtCalce"},     {"titRosso", "txtRosso"},
    {"icoCornice", "Picture1"},      {"titNome", "txtNome"},       {"titSottotitolo", "txtSottotitolo"},
    {"titRigo01", "txtRigo01"},      {"titRigo02", "txtRigo02"},   {"titRigo03", "txtRigo03"},
    {"titRigo04", "txtRigo04"},
};

const char* liveNameOf(const QString& printed)
{
    for (const Counterpart& c : kCounterparts)
        if (printed == QLatin1String(c.printed))
            return c.live;
    return nullptr;
}

void drawPicture(QPainter& painter, const QImage& picture, const QRectF& box)
{
    if (picture.isNull())
        return;
    painter.drawImage(fittedPicture(picture.size(), box), picture);
}
} // namespace

const LabelElement& LabelGeometry::element(const QString& name) const
{
    for (const LabelElement& e : elements) {
        if (e.name == name)
            return e;
    }
    throw std::logic_error("no label element " + name.toStdString());
}

LabelGeometry labelGeometryOf(const QString& layoutPath, QSize labelUnits)
{
    const std::unique_ptr<TReport> layout = loadReportLayout(layoutPath);
    const auto* outline = layout->find<TShapeView>(QStringLiteral("Shape51"));
    if (!outline)
        throw std::logic_error("the label layout has no outline Shape51");
    LabelGeometry g;
    g.paperScale = QSizeF(labelUnits.width() / outline->geometry.width(),
                          labelUnits.height() / outline->geometry.height());
    const auto onLabel = [&g, &outline](const QRectF& printed) {
        const QPointF at = printed.topLeft() - outline->geometry.topLeft();
        return QRectF(at.x() * g.paperScale.width(), at.y() * g.paperScale.height(),
                      printed.width() * g.paperScale.width(), printed.height() * g.paperScale.height());
    };
    const QRectF label(QPointF(0, 0), QSizeF(labelUnits));
    g.elements << LabelElement{QStringLiteral("sfoArancione"), LabelElementKind::Rectangle,
                               label.adjusted(-5, -5, 5, 5), kCoral, Qt::white, {}, {}};
    g.elements << LabelElement{QStringLiteral("sfoEtichetta"), LabelElementKind::Rectangle, label, Qt::white, {}, {}, {}};
    int found = 0;
    for (const auto& view : layout->page().views) {
        const char* live = liveNameOf(view->name());
        if (!live)
            continue; // the printed outline: the live label has its frame
        ++found;
        LabelElement e{QString::fromLatin1(live), LabelElementKind::Rectangle, onLabel(view->geometry), {}, {}, {}, {}};
        if (const auto* memo = dynamic_cast<const TMemoView*>(view.get())) {
            e.kind = LabelElementKind::Text;
            for (int i = 0; i < kLabelLineCount; ++i)
                if (labelLineField(LabelLine(i)) == e.name.mid(3)) // titNome shows the Nome line
                    e.line = LabelLine(i);
            auto printed = std::make_shared<TMemoView>(*memo);
            printed->geometry.translate(-outline->geometry.topLeft());
            e.printed = std::move(printed);
        } else if (dynamic_cast<const TPictureView*>(view.get())) {
            e.kind = e.name == QLatin1String("imgFoto") ? LabelElementKind::Logo : LabelElementKind::Ornament;
        } else {
            e.colour = palette::Cornflower;
        }
        g.elements << e;
    }
    if (found != int(std::size(kCounterparts)))
        throw std::logic_error("the label layout " + layoutPath.toStdString() + " lacks an object of the live label");
    return g;
}

const LabelGeometry& verticalGeometry()
{
    static const LabelGeometry g = labelGeometryOf(QStringLiteral(":/labels/reports/etichetta_verticale.json"), {359, 454});
    return g;
}

const LabelGeometry& horizontalGeometry()
{
    static const LabelGeometry g =
        labelGeometryOf(QStringLiteral(":/labels/reports/etichetta_orizzontale.json"), {416, 321});
    return g;
}

QRectF fittedPicture(const QSizeF& picture, const QRectF& box)
{
    if (picture.isEmpty())
        return {};
    const QSizeF size = picture.scaled(box.size(), Qt::KeepAspectRatio);
    return {box.x() + (box.width() - size.width()) / 2, box.y() + (box.height() - size.height()) / 2, size.width(),
            size.height()};
}

void setLabelText(TMemoView& memo, const QString& text)
{
    memo.setText(text);
    const QFontMetricsF metrics(memo.font(), &referenceDevice());
    if (metrics.horizontalAdvance(text) > memo.geometry.width() - 2 * TMemoView::kGapX)
        memo.hAlign = HAlign::Left;
}

void drawLabel(QPainter& painter, const LabelGeometry& geometry, const LabelFace& face)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const LabelElement& e : geometry.elements) {
        switch (e.kind) {
        case LabelElementKind::Rectangle:
            painter.fillRect(e.units, e.colour);
            if (e.outline.isValid()) {
                // A one-unit outline drawn inside the rectangle's edge.
                QPen outline(e.outline, 1);
                outline.setJoinStyle(Qt::MiterJoin);
                painter.setPen(outline);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(e.units.adjusted(0.5, 0.5, -0.5, -0.5));
            }
            break;
        case LabelElementKind::Logo:
            drawPicture(painter, face.logo, e.units);
            break;
        case LabelElementKind::Ornament:
            drawPicture(painter, face.ornament, e.units);
            break;
        case LabelElementKind::Text: {
            const QString text = face.lines.value(static_cast<int>(e.line));
            if (text.isEmpty())
                break;
            // The printed box draws the line in the paper's units, scaled
            // to the live label.
            TMemoView memo(*e.printed);
            setLabelText(memo, text);
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.scale(geometry.paperScale.width(), geometry.paperScale.height());
            memo.draw(painter);
            painter.restore();
            break;
        }
        }
    }
    painter.restore();
}

} // namespace vinarca
