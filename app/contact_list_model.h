#pragma once

#include <QAbstractListModel>

namespace wirtello {

class ContactBook;

// The contact list as the list view shows it: one row per entry of the book,
// its display text read from the book when painted, so no copy of the texts
// is kept. The book is changed by its owner, who then says what changed.
class ContactListModel : public QAbstractListModel {
public:
    explicit ContactListModel(const ContactBook& book, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The book was read again, merged or had rows removed or added anywhere.
    void reload();
    // One row was added to the book at `row`.
    void rowAdded(int row);
    // The entry of `row` has a new text.
    void rowChanged(int row);

private:
    const ContactBook& book_;
    // The rows the view was last told of: the book is already changed when
    // the model hears of it.
    int rows_ = 0;
};

} // namespace wirtello
