#pragma once

#include <QDialog>

namespace vinarca {

class PictureBox;

// A maximized window on a steel-blue gradient showing one picture as large as
// the screen allows (the screen less 60 pixels across and 90 down), centred,
// proportions kept. A click on the picture or on the panel around it closes it.
class PictureShowWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PictureShowWindow(QWidget* owner = nullptr);

    QWidget* panContainer;
    PictureBox* imgFoto;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centrePanel();
};

} // namespace vinarca
