#pragma once

// Keyboard use shared by the companions' form windows: tables and note
// fields that let Tab move on, Enter that stores a form, Escape that closes.
// Header only, so that each companion takes what it uses.

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QWidget>

#include <functional>
#include <utility>

namespace wirtello {

namespace form_keys_detail {

// Ctrl+Tab in a note field types the tab character that Tab no longer types.
class TabTyping : public QObject {
public:
    explicit TabTyping(QPlainTextEdit* note) : QObject(note), note_(note) { note->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != note_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // no shortcut of the window takes it first
            return false;
        }
        if (!note_->isReadOnly())
            note_->insertPlainText(QStringLiteral("\t"));
        return true;
    }

private:
    QPlainTextEdit* note_;
};

// Enter or Return without modifiers in a watched field runs the form's store.
class EnterStores : public QObject {
public:
    EnterStores(QWidget* owner, std::function<void()> store) : QObject(owner), store_(std::move(store)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // A date half typed counts as the field shows it.
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(watched))
            spin->interpretText();
        store_();
        return true;
    }

private:
    std::function<void()> store_;
};

} // namespace form_keys_detail

// Tab leaves the table or list for the next control; the arrows move inside it.
inline void letTabLeave(QAbstractItemView* view)
{
    view->setTabKeyNavigation(false);
}

// A note field of a form: Tab and Shift+Tab move on, Ctrl+Tab types a tab.
inline void makeNoteField(QPlainTextEdit* note)
{
    note->setTabChangesFocus(true);
    new form_keys_detail::TabTyping(note);
}

// Enter in any of `fields` (single-line fields, date fields, choices) runs
// `store`, as the form's store button would.
inline void storeOnEnter(QWidget* window, const QList<QWidget*>& fields, std::function<void()> store)
{
    auto* filter = new form_keys_detail::EnterStores(window, std::move(store));
    for (QWidget* field : fields)
        field->installEventFilter(filter);
}

// Escape anywhere in `window` runs `close` (the window's own close, which
// asks what its close asks).
inline void closeOnEscape(QWidget* window, const std::function<void()>& close)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, close);
}

} // namespace wirtello
