#pragma once

#include "HelpTopics.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vinarca {
class LinkLabel;
class PictureBox;
class PictureButton;
}

// The help window: a topic title and its body, and a link to the manual.
class TfrmGuida : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget* owner = nullptr);

    vinarca::PictureBox* imgLogo;
    QLabel* lblTitolo;
    QPlainTextEdit* txtGuida;
    vinarca::PictureButton* imgPDF;
    vinarca::LinkLabel* lnkWeb;
    QPushButton* btnChiudi;

    void lnkWebClick();

protected:
    void paintEvent(QPaintEvent* event) override;
};

namespace vinarca {
// The help convention: a fresh help window owned by `owner`, showing the
// topic, modal, destroyed when it closes.
void showHelp(QWidget* owner, HelpTopic topic);
} // namespace vinarca
