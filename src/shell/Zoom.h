#pragma once

#include "PictureShowWindow.h"

#include <QImage>

// Shows a copy of an editor's photo or logo as large as the screen allows;
// a click on the picture or around it closes the window.
class TfrmZoom : public vinarca::PictureShowWindow
{
    Q_OBJECT
public:
    explicit TfrmZoom(QWidget* owner = nullptr);
};

namespace vinarca {
// Opens a fresh zoom window with a copy of `picture`, modal, destroyed after.
void showZoom(QWidget* owner, const QImage& picture);
} // namespace vinarca
