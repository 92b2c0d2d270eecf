#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// Shows the photos of all wines one after the other, large, every six
// seconds, starting again after the last, until the user clicks.
class TfrmSlideshow_Vini : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSlideshow_Vini(QWidget* owner = nullptr);

    QWidget* panContainer;
    vinarca::PictureBox* imgFoto;
    vinarca::PictureBox* imgBianco;
    QLabel* lblPosizione;
    vinarca::PictureButton* cmdAvanti;
    QTimer* Timer;

    // One step of the show (what each tick of the timer does).
    void cmdAvantiClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QByteArray m_record;
    bool m_inStep = false;
};

namespace vinarca {
void openWineSlideshow(QWidget* owner);
} // namespace vinarca
