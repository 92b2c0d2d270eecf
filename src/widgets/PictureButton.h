#pragma once

#include <QAbstractButton>
#include <QSvgRenderer>

namespace vinarca {

// A clickable picture drawn from an SVG resource at its own size, with the
// hand cursor. It never takes the focus, like a picture on a form.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    PictureButton(const QString& svgResource, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer m_renderer;
};

} // namespace vinarca
