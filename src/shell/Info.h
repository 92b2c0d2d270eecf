#pragma once

#include <QDialog>

class QPushButton;

namespace vinarca {
class LinkLabel;
class PictureBox;
class PictureButton;
}

// Information about the program, with the maker's e-mail link.
class TfrmInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget* owner = nullptr);

    vinarca::PictureBox* imgLogo;
    vinarca::LinkLabel* lnkWeb;
    vinarca::PictureButton* imgEmail;
    QPushButton* btnChiudi;

    void lnkWebClick();
};

// The maker's credits, with the web-site link.
class TfrmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* owner = nullptr);

    vinarca::PictureBox* imgLogo;
    vinarca::PictureButton* imgWeb;
    vinarca::LinkLabel* lnkWeb;
    QPushButton* btnChiudi;

    void lnkWebClick();
};

namespace vinarca {
// The mail command of the information window's link, subject and body as
// they are (blanks and accents included, no percent-encoding).
QString infoMailCommand();
} // namespace vinarca
