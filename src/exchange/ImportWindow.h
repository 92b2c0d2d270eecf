#pragma once

#include "SpreadsheetImport.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace vinarca {

// Brings a shop's list into a kind's archive: the file (CSV or the
// program's own export), its code page and delimiter, a preview of its first
// rows with the field each column goes to, the check of every row and the
// import itself, whole or not at all, and the undoing of the last import.
class ImportWindow : public QDialog
{
    Q_OBJECT
public:
    ImportWindow(const RecordKind& kind, QWidget* owner);
    ~ImportWindow() override;

    QLineEdit* txtFile = nullptr;
    QPushButton* cmdSfoglia = nullptr;
    QComboBox* cboCodifica = nullptr;
    QComboBox* cboSeparatore = nullptr;
    QTableWidget* grdAnteprima = nullptr;
    QComboBox* cboColonna = nullptr;
    QComboBox* cboCampo = nullptr;
    QListWidget* lstRisultati = nullptr;
    QListWidget* lstDoppioni = nullptr;
    QComboBox* cboDoppione = nullptr;
    QPushButton* cmdVerifica = nullptr;
    QPushButton* cmdImporta = nullptr;
    QPushButton* cmdAnnullaImportazione = nullptr;
    QPushButton* cmdGuida = nullptr;
    QPushButton* cmdEsci = nullptr;
    QLabel* panInfo = nullptr;

    // Opens a file as the Sfoglia button does after the dialog.
    void openFile(const QString& path);
    const QStringList& columnFields() const { return m_fields; }

    void cmdSfogliaClick();
    void cmdVerificaClick();
    void cmdImportaClick();
    void cmdAnnullaImportazioneClick();

    static int previewRows() { return 10; }

private:
    void reload();
    void showColumn(int column);
    void chooseField(int choice);
    void chooseDuplicates(int choice);
    void refreshHeaders();
    void forgetPlan();
    bool runCheck();

    const RecordKind& m_kind;
    QString m_path;
    CsvDialect m_dialect;
    QStringList m_headers;
    QStringList m_fields;
    QList<std::pair<QString, QString>> m_choices;
    std::unique_ptr<ImportPlan> m_plan;
};

} // namespace vinarca
