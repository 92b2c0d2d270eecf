#include "LiveLabel.h"

#include "Artwork.h"
#include "Palette.h"

#include <QPainter>

namespace vinarca {

LiveLabel::LiveLabel(const LabelKind& kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_lines(kLabelLineCount), m_ornament(artwork(kind.ornament))
{
    setObjectName(QStringLiteral("pnlEtichetta"));
    const QRect frame = labelGeometry().frameUnits();
    setGeometry(QRect(kind.labelOrigin + frame.topLeft(), frame.size()));
}

QRect LiveLabel::elementRect(const QString& name) const
{
    return labelGeometry().element(name).units.toRect().translated(labelOffset());
}

void LiveLabel::setLine(LabelLine line, const QString& text)
{
    m_lines[static_cast<int>(line)] = text;
    update(); // several changes in one pass (a record being shown) draw once
}

void LiveLabel::clearLines()
{
    m_lines = QStringList(kLabelLineCount);
    update();
}

QRect LiveLabel::lineRect(LabelLine line) const
{
    for (const LabelElement& e : labelGeometry().elements)
        if (e.kind == LabelElementKind::Text && e.line == line)
            return e.units.toAlignedRect().translated(labelOffset());
    return {};
}

void LiveLabel::setHighlightedLine(int line)
{
    m_highlighted = line;
    update();
}

void LiveLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // One window unit is one pixel at the screen's 96 dpi.
    painter.translate(labelOffset());
    // The logo is the imgFoto box laid over its element.
    drawLabel(painter, labelGeometry(), LabelFace{m_lines, QImage(), m_ornament});
    if (m_highlighted >= 0 && m_highlighted < kLabelLineCount) {
        painter.resetTransform();
        const QRect place = lineRect(LabelLine(m_highlighted)).adjusted(-2, -2, 2, 2);
        QColor fill = palette::FocusYellow;
        fill.setAlpha(90);
        painter.fillRect(place, fill);
        painter.setPen(QPen(palette::Crimson, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(place.adjusted(1, 1, -1, -1));
    }
}

} // namespace vinarca
