#pragma once

#include "PictureShowWindow.h"

#include <QTimer>

class QLabel;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// Shows the photos of all wines one after the other, large, every six
// seconds, starting again after the last, until the user clicks.
class TfrmSlideshow_Vini : public vinarca::PictureShowWindow
{
    Q_OBJECT
public:
    explicit TfrmSlideshow_Vini(QWidget* owner = nullptr);

    vinarca::PictureBox* imgBianco;
    QLabel* lblPosizione;
    vinarca::PictureButton* cmdAvanti;
    QTimer* Timer;

    // One step of the show (what each tick of the timer does).
    void cmdAvantiClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QByteArray m_record;
    bool m_inStep = false;
};

namespace vinarca {
void openWineSlideshow(QWidget* owner);
} // namespace vinarca
