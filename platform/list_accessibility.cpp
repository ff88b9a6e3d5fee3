#include "list_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelectionModel>
#include <QListView>
#include <QPointer>

#include <vector>

namespace wirtello {
namespace {

const char* const kHonestFocus = "wirtelloHonestFocus";

// One row of the list. Its interface lives in Qt's accessibility cache and is
// dropped there whenever the rows change, since its row number may then name
// another item.
class ListItemDescription : public QAccessibleInterface {
public:
    ListItemDescription(QListView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ && view_->model() && row_ < rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        const QString spoken = index().data(Qt::AccessibleTextRole).toString();
        return spoken.isEmpty() ? index().data(Qt::DisplayRole).toString() : spoken;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect shown = view_->visualRect(index());
        return QRect(view_->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid())
            return st;
        st.selectable = true;
        st.focusable = true;
        st.selected = view_->selectionModel() && view_->selectionModel()->isSelected(index());
        st.focused = view_->hasFocus() && view_->currentIndex() == index();
        st.invisible = !view_->isVisible() || !view_->viewport()->rect().intersects(view_->visualRect(index()));
        return st;
    }

    int row() const { return row_; }

private:
    QModelIndex index() const { return view_->model()->index(row_, view_->modelColumn(), view_->rootIndex()); }
    int rowCount() const { return view_->model()->rowCount(view_->rootIndex()); }

    QPointer<QListView> view_;
    int row_;
};

// The list: its rows as children, and a focused child only while it has the focus.
class ListDescription : public QAccessibleWidget {
public:
    explicit ListDescription(QListView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ListDescription() override { forgetItems(); }

    int childCount() const override
    {
        const QListView* view = list();
        return view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
    }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        followModel();
        if (const auto known = items_.constFind(index); known != items_.cend())
            if (QAccessibleInterface* item = QAccessible::accessibleInterface(*known))
                return item;
        auto* item = new ListItemDescription(list(), index);
        items_.insert(index, QAccessible::registerAccessibleInterface(item));
        return item;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* item = dynamic_cast<const ListItemDescription*>(child);
        return item && item->parent() == this ? item->row() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QListView* view = list();
        const QModelIndex at = view->indexAt(view->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(at.row()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        const QListView* view = list();
        if (!view->hasFocus() || !view->currentIndex().isValid())
            return nullptr;
        return child(view->currentIndex().row());
    }

private:
    QListView* list() const { return static_cast<QListView*>(widget()); }

    // Items are made only after this ran, so the model they describe is always watched.
    void followModel() const
    {
        QAbstractItemModel* model = list()->model();
        if (model == watchedModel_)
            return;
        forgetItems();
        for (const QMetaObject::Connection& connection : connections_)
            QObject::disconnect(connection);
        connections_.clear();
        watchedModel_ = model;
        const auto forget = [this] { forgetItems(); };
        connections_ = {
            QObject::connect(model, &QAbstractItemModel::modelReset, list(), forget),
            QObject::connect(model, &QAbstractItemModel::rowsInserted, list(), forget),
            QObject::connect(model, &QAbstractItemModel::rowsRemoved, list(), forget),
            QObject::connect(model, &QAbstractItemModel::rowsMoved, list(), forget),
            QObject::connect(model, &QAbstractItemModel::layoutChanged, list(), forget),
        };
    }

    void forgetItems() const
    {
        const QList<QAccessible::Id> ids = items_.values();
        items_.clear();
        for (const QAccessible::Id id : ids)
            QAccessible::deleteAccessibleInterface(id);
    }

    mutable QHash<int, QAccessible::Id> items_;
    mutable QPointer<QAbstractItemModel> watchedModel_;
    mutable std::vector<QMetaObject::Connection> connections_;
};

QAccessibleInterface* describeMarkedList(const QString&, QObject* object)
{
    auto* view = qobject_cast<QListView*>(object);
    if (!view || !view->property(kHonestFocus).toBool())
        return nullptr;
    return new ListDescription(view);
}

} // namespace

void describeFocusHonestly(QListView& view)
{
    static const bool installed = [] {
        QAccessible::installFactory(describeMarkedList);
        return true;
    }();
    (void)installed;
    view.setProperty(kHonestFocus, true);
    // Qt describes a widget the first time anything asks, often while it is
    // being made; drop that description so the next question gets ours.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&view); made && !dynamic_cast<ListDescription*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace wirtello
