#pragma once

#include "Shapes.h"

class QLabel;
class QListWidget;

namespace vinarca {
class PictureBox;
class PictureButton;
}

// The opening window: lists the price-list files of the program folder and
// opens the selected one in the page editor, or deletes it.
class TfrmApriCatalogo : public vinarca::GradientWindow
{
    Q_OBJECT
public:
    enum class Route { MainMenu, PriceList };

    explicit TfrmApriCatalogo(QWidget* parent = nullptr);

    vinarca::PictureBox* icoIstruzioni;
    vinarca::PictureButton *btnElimina, *btnAnnulla, *btnApri, *imgGuida;
    QListWidget* lstFiles;
    QLabel *lblCreati, *lblMemory, *lblFile;

    void btnApriClick();
    void btnEliminaClick();

    // The list title of the selected entry, handed to the page editor.
    QString selectedTitle() const;
    // The full path of the selected entry's file.
    QString selectedPath() const;

    static Route routeOf(const QString& marker);

signals:
    // Route::PriceList: the page editor takes lblFile and selectedTitle().
    void closed(TfrmApriCatalogo::Route route);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fillList();
    // The warning for an empty list or no selection; false when one was shown.
    bool hasSelection(const QString& noSelectionWarning);
};

extern TfrmApriCatalogo* frmApriCatalogo;
