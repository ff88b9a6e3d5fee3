#include "contact_list_model.h"

#include "store/contact_book.h"

namespace wirtello {

ContactListModel::ContactListModel(const ContactBook& book, QObject* parent)
    : QAbstractListModel(parent), book_(book), rows_(book.rowCount())
{
}

int ContactListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromStdString(book_.entry(index.row()));
}

void ContactListModel::reload()
{
    beginResetModel();
    rows_ = book_.rowCount();
    endResetModel();
}

void ContactListModel::rowAdded(int row)
{
    beginInsertRows({}, row, row);
    rows_ = book_.rowCount();
    endInsertRows();
}

void ContactListModel::rowChanged(int row)
{
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

} // namespace wirtello
