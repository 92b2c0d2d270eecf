#pragma once

#include "SpreadsheetExport.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace vinarca {

class PictureBox;
class PictureButton;

// The grid over the export sheet: the record position in column 0, then the
// exported cells, read from the archive as the grid paints them.
class ExportGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ExportGridModel(const RecordKind& kind, QObject* parent = nullptr);

    // Counts the archive's records; the rows are read when shown.
    void load();
    const ExportSheet& sheet() const { return *m_sheet; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const RecordKind& m_kind;
    QList<FieldFacts> m_columns;
    std::unique_ptr<ExportSheet> m_sheet;
};

// The export window of one archive: the whole archive in a grid whose
// editable columns the user may change, and the export of the grid as it
// stands into the kind's spreadsheet file. The three named windows are this
// one with their kinds, which carry the columns, texts and file.
class ExportWindow : public QDialog
{
    Q_OBJECT
public:
    PictureBox* imgLogo = nullptr;
    PictureBox* icoHand = nullptr;
    PictureButton* cmdEsporta = nullptr;
    PictureButton* cmdGuida = nullptr;
    PictureButton* cmdEsci = nullptr;
    QTableView* grdRecords = nullptr;
    QLabel* panInfo = nullptr;
    // Only where the kind can be imported (the wine catalogue).
    QPushButton* cmdImporta = nullptr;

    ExportGridModel* model() const { return m_model; }

    void FormShow();
    void cmdEsportaClick();
    void cmdImportaClick();

protected:
    ExportWindow(const RecordKind& kind, QWidget* owner);
    // Gives the window its "Importa..." button.
    void allowImport();
    void showEvent(QShowEvent* event) override;

private:
    const RecordKind& m_kind;
    ExportGridModel* m_model;
    class StatusHints* m_hints = nullptr;
    bool m_loaded = false;
};

// The failure message of an export that could not write its file.
QString exportFailureMessage();

} // namespace vinarca

class TfrmExpVini : public vinarca::ExportWindow
{
    Q_OBJECT
public:
    // `kind`: the wine kind, from the editor that opens the window.
    TfrmExpVini(const vinarca::RecordKind& kind, QWidget* owner)
        : ExportWindow(kind, owner)
    {
        allowImport();
    }
};

class TfrmExpVerticali : public vinarca::ExportWindow
{
    Q_OBJECT
public:
    TfrmExpVerticali(const vinarca::RecordKind& kind, QWidget* owner)
        : ExportWindow(kind, owner) {}
};

class TfrmExpOrizzontali : public vinarca::ExportWindow
{
    Q_OBJECT
public:
    TfrmExpOrizzontali(const vinarca::RecordKind& kind, QWidget* owner)
        : ExportWindow(kind, owner) {}
};
