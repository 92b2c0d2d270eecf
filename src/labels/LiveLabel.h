#pragma once

#include "LabelDrawing.h"

#include <QWidget>

namespace vinarca {

// The label being edited, drawn live at the right of a label editor: the
// coral frame, the white label with its two blue bands, the ornament and the
// nine preview texts. The logo box `imgFoto` is a child placed over its
// element, so loading or clearing the logo shows at once.
class LiveLabel : public QWidget
{
    Q_OBJECT
public:
    // Placed so that the label's top-left corner lies at `labelOrigin` of the parent.
    LiveLabel(const LabelKind& kind, QWidget* parent);

    const LabelGeometry& labelGeometry() const { return *m_kind.geometry; }
    // Where the label's top-left corner lies inside this widget.
    QPoint labelOffset() const { return -labelGeometry().frameUnits().topLeft(); }
    // An element's box in this widget's coordinates.
    QRect elementRect(const QString& name) const;

    // The preview texts, in label order.
    QString line(LabelLine line) const { return m_lines.at(static_cast<int>(line)); }
    const QStringList& lines() const { return m_lines; }
    void setLine(LabelLine line, const QString& text);
    void clearLines();
    // Marks one line's place on the label (a finding of the label check
    // points at it); -1 marks none.
    void setHighlightedLine(int line);
    int highlightedLine() const { return m_highlighted; }
    // The place of a line in this widget's coordinates.
    QRect lineRect(LabelLine line) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const LabelKind& m_kind;
    QStringList m_lines;
    QImage m_ornament;
    int m_highlighted = -1;
};

} // namespace vinarca
