#pragma once

// On Linux Qt names a drop-down list by the entry chosen in it, so a screen
// reader says "brak" where the list is "Priorytet". Lists here are named by
// their accessible name or their label's text, and say the entry as their value.
// Header only, so that each companion takes it where it needs it.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace wirtello {

namespace combo_box_names_detail {

class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        const QString chosen = static_cast<QComboBox*>(widget())->currentText();
        if (kind == QAccessible::Value)
            return chosen;
        const QString own = QAccessibleWidget::text(kind); // the accessible name, else the label's text
        return kind == QAccessible::Name && own.isEmpty() ? chosen : own;
    }
};

inline QAccessibleInterface* namedComboBoxes(const QString& className, QObject* object)
{
    if (className != QLatin1String("QComboBox"))
        return nullptr;
    auto* box = qobject_cast<QComboBox*>(object);
    // An editable list is named by what is typed in it; Qt's own reading is kept.
    return box && !box->isEditable() ? new NamedComboBox(box) : nullptr;
}

} // namespace combo_box_names_detail

// Call before the window's lists are first read by a screen reader (in its
// constructor); more calls change nothing.
inline void nameComboBoxesByLabel()
{
    QAccessible::installFactory(combo_box_names_detail::namedComboBoxes);
}

} // namespace wirtello
