#pragma once

#include <QKeySequence>
#include <QLabel>
#include <QList>

#include <functional>

class QAbstractButton;
class QWidget;

namespace wirtello {

// Keyboard use of the windows' flat buttons and panels, shared so every
// window behaves alike.

// Tab stops on the button and shows a focus frame there, Space and Enter
// press it; a shortcut, when given, presses it anywhere in its window while
// the button is visible and enabled, and is named in its tooltip (after the
// tooltip's own text, or after the caption when there is none). A shortcut
// with `inWidget` works only while that widget has the focus (Delete in a list).
void makeKeyboardButton(QAbstractButton* button, const QKeySequence& shortcut = {}, QWidget* inWidget = nullptr);

// A label that opens something on a click (the maker's mark): a screen
// reader is told it is a button.
class ButtonLabel : public QLabel {
    Q_OBJECT
public:
    // Screen readers learn of it as a button from its first moment, before a
    // text set while it is built can have them ask what it is.
    explicit ButtonLabel(QWidget* parent = nullptr);
};

// The control shows a plain frame (two pixels, the selection colour) whenever
// it has the keyboard focus, for one whose own mark is too faint (a list).
void frameWhileFocused(QWidget* control);

// On Linux Qt names a drop-down list by the entry chosen in it; from this call
// on, lists not typed in are named by their accessible name or their label's
// text and say the chosen entry as their value. More calls change nothing.
void nameComboBoxesByLabel();

// The label takes the focus like a button and runs `press` with Enter and Space.
void makeKeyboardLabel(ButtonLabel* label, const std::function<void()>& press);

// Tab visits the widgets in this order, then goes round to the first.
void setTabChain(const QList<QWidget*>& widgets);

// The window's shortcuts reach it even while an edit has the focus: an edit
// would otherwise keep some of them (Ctrl+E moves to the line's end).
void letShortcutsPassEdits(QWidget* window);

// A panel drawn over its window takes the keyboard while it is up: the
// controls it covers take no keys, clicks or focus (and look as ever), every
// shortcut outside it rests, and the focus goes to `focus`. closePanel hides it and puts all back, the focus
// where it was before.
void openPanel(QWidget* panel, QWidget* focus);
void closePanel(QWidget* panel);

} // namespace wirtello
