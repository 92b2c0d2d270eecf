#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vinarca {
class FramedEdit;
class PictureBox;
}

// Finds wines by up to ten criteria, lists them, finds a line in the list,
// prints the list and loads a wine into the editor on a double click.
class TfrmTrovaVini : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmTrovaVini(QWidget* owner = nullptr);

    // Criteria panel.
    QWidget* panAvvio;
    vinarca::FramedEdit *txtNome, *txtProduttore, *txtDesignazione, *txtFornitore, *txtNazione, *txtRegione,
        *txtZona, *txtCantina, *txtAnnata, *txtNote;
    QPushButton* btnAnnulla;
    QPushButton* btnCerca;
    QLabel* lblAttendere;
    QLabel* lblConta;
    QLabel* lblMemory;

    // Result panel.
    QWidget* panContainer;
    vinarca::FramedEdit* txtTrova;
    QPushButton* btnTrova;
    QListWidget* lstRecords;
    QLabel* lblRigo03;
    QPushButton* btnChiudi;
    QLabel* lblTrovate;
    QPushButton* btnStampa;

    // Receives the record to show in the wine editor and its position.
    using Loader = std::function<void(const QByteArray& record, qint64 position)>;
    void setLoader(Loader loader) { m_loader = std::move(loader); }
    // Prints the list lines; set by the opener.
    using ListPrinter = std::function<void(QWidget* owner, const QStringList& lines)>;
    void setListPrinter(ListPrinter printer) { m_printer = std::move(printer); }

    void btnCercaClick();
    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QList<vinarca::FramedEdit*> criteriaBoxes() const;

    QString m_lastFind;
    Loader m_loader;
    ListPrinter m_printer;
};

namespace vinarca {
// Opens a fresh search window with routing marker "vini", modal.
void openWineSearch(QWidget* owner, TfrmTrovaVini::Loader loader, TfrmTrovaVini::ListPrinter printer);
} // namespace vinarca
