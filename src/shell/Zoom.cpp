#include "Zoom.h"

#include "PictureBox.h"
#include "Platform.h"
#include "WindowKeys.h"

using namespace vinarca;

TfrmZoom::TfrmZoom(QWidget* owner) : PictureShowWindow(owner)
{
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral(" Fai clic per chiudere questa finestra"));
    // Left by a click on the picture or around it, never by Escape.
    keepOpenOnEscape(this);
}

namespace vinarca {
void showZoom(QWidget* owner, const QImage& picture)
{
    TfrmZoom window(owner);
    // QImage is shared copy-on-write: the zoom window holds its own copy
    // without duplicating the pixels of a large photo.
    window.imgFoto->setImage(picture);
    platform().execDialog(window);
}
} // namespace vinarca
