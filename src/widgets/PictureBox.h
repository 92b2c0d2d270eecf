#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace vinarca {

// Holds a picture at its full resolution and shows it scaled to fit the box,
// proportions kept, centred. Clicks are reported for windows that close on one.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // `sourceBytes`: the encoded file the picture was read from, kept while
    // the picture is unchanged so it can be written back without re-encoding.
    void setImage(const QImage& image, const QByteArray& sourceBytes = {});
    const QImage& image() const { return m_image; }
    const QByteArray& sourceBytes() const { return m_sourceBytes; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
    QByteArray m_sourceBytes;
    QPixmap m_scaled; // the picture at the size it was last drawn
};

// A picture box showing a piece of the program's artwork (":/area/name").
// A geometry without a size takes the picture's own size.
PictureBox* makePicture(QWidget* parent, const char* name, const QString& art, const QRect& geometry);

} // namespace vinarca
