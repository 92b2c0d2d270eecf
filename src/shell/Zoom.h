#pragma once

#include "Shapes.h"

#include <QDialog>
#include <QImage>

namespace vinarca {
class PictureBox;
}

// Shows a copy of an editor's photo or logo as large as the screen allows;
// a click on the picture or around it closes the window.
class TfrmZoom : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmZoom(QWidget* owner = nullptr);

    QWidget* panContainer;
    vinarca::PictureBox* imgFoto;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

namespace vinarca {
// Opens a fresh zoom window with a copy of `picture`, modal, destroyed after.
void showZoom(QWidget* owner, const QImage& picture);
} // namespace vinarca
