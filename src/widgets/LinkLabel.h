#pragma once

#include <QLabel>

namespace vinarca {

// An underlined link text (Tahoma 14, dark blue) that turns orange while the
// mouse button is held on it and reports a click.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent = nullptr);
    QColor colour() const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setColour(const QColor& colour);
};

} // namespace vinarca
