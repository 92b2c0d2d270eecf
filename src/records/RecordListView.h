#pragma once

#include "ListSearch.h"

#include <QAbstractListModel>
#include <QListView>

namespace vinarca {

// The lines of a search list as a model: one row per line, its text made
// when the view asks for it.
class ListLinesModel final : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(ListLines lines);
    const ListLines& lines() const { return m_lines; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    ListLines m_lines;
};

// The list of a search window: a view over the result lines, all rows of
// one size, so showing a hundred thousand results lays out and paints only
// the rows on screen. Rows are 1600 pixels wide, so long lines scroll
// sideways. Row numbers are those of the lines, in list order.
class RecordListView final : public QListView
{
    Q_OBJECT
public:
    explicit RecordListView(QWidget* parent = nullptr);

    void setLines(ListLines lines);
    void clear() { setLines({}); }
    const ListLines& lines() const { return m_model->lines(); }

    int count() const { return m_model->rowCount(); }
    QString text(int row) const { return m_model->lines().at(row); }
    // -1 when no line is current.
    int currentRow() const;
    void setCurrentRow(int row);

private:
    ListLinesModel* m_model;
};

} // namespace vinarca
