#pragma once

#include "SpreadsheetExport.h"

#include <QAbstractTableModel>
#include <QDialog>

class QLabel;
class QTableView;

namespace vinarca {

class PictureBox;
class PictureButton;

// The grid's rows: the record position in column 0, then the exported cells.
// A model over the rows rather than a widget item per cell, so a large archive
// loads in the time it takes to read it.
class ExportGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ExportGridModel(const ExportVariant& variant, QObject* parent = nullptr);

    void setRows(QList<QStringList> rows);
    const QList<QStringList>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ExportVariant& m_variant;
    QList<QStringList> m_rows;
    bool m_positions = false; // the rows are records (not the empty rows of an empty archive)
};

// The export window of one archive: the whole archive in a grid whose
// editable columns the user may change, and the export of the grid as it
// stands into the variant's spreadsheet file. The three named windows are this
// one with their column sets.
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

    ExportGridModel* model() const { return m_model; }

    void FormShow();
    void cmdEsportaClick();

protected:
    ExportWindow(const RecordKind& kind, const ExportVariant& variant, QWidget* owner);
    void showEvent(QShowEvent* event) override;

private:
    const RecordKind& m_kind;
    const ExportVariant& m_variant;
    ExportGridModel* m_model;
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
        : ExportWindow(kind, vinarca::wineExportVariant(), owner) {}
};

class TfrmExpVerticali : public vinarca::ExportWindow
{
    Q_OBJECT
public:
    TfrmExpVerticali(const vinarca::RecordKind& kind, QWidget* owner)
        : ExportWindow(kind, vinarca::verticalLabelExportVariant(), owner) {}
};

class TfrmExpOrizzontali : public vinarca::ExportWindow
{
    Q_OBJECT
public:
    TfrmExpOrizzontali(const vinarca::RecordKind& kind, QWidget* owner)
        : ExportWindow(kind, vinarca::horizontalLabelExportVariant(), owner) {}
};
