#include "RecordListView.h"

#include <QStyledItemDelegate>

namespace vinarca {

void ListLinesModel::setLines(ListLines lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int ListLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant ListLinesModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.size())
        return {};
    return m_lines.at(index.row());
}

namespace {
// Every row as wide as the longest line can be, so the list scrolls
// sideways over the whole line whatever the first line's length.
class WideRows final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize natural = QStyledItemDelegate::sizeHint(option, index);
        return {std::max(natural.width(), 1600), natural.height()};
    }
};
} // namespace

RecordListView::RecordListView(QWidget* parent) : QListView(parent), m_model(new ListLinesModel(this))
{
    setModel(m_model);
    setItemDelegate(new WideRows(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void RecordListView::setLines(ListLines lines)
{
    m_model->setLines(std::move(lines));
}

int RecordListView::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void RecordListView::setCurrentRow(int row)
{
    setCurrentIndex(m_model->index(row, 0));
}

} // namespace vinarca
