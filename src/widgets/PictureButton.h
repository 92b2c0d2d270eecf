#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace vinarca {

// A clickable picture at its own size, with the hand cursor. It never takes
// the focus, like a picture on a form.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    // `pictureResource`: an artwork name such as ":/wines/salva".
    PictureButton(const QString& pictureResource, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace vinarca
