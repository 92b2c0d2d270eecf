#include "LiveLabel.h"

#include "Artwork.h"

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

void LiveLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // One window unit is one pixel at the screen's 96 dpi.
    painter.translate(labelOffset());
    // The logo is the imgFoto box laid over its element.
    drawLabel(painter, labelGeometry(), LabelFace{m_lines, QImage(), m_ornament});
}

} // namespace vinarca
