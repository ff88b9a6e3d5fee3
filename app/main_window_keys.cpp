// The main window without a mouse: Tab order, shortcuts, the help panel.
#include "main_window.h"

#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"

#include <QShortcut>

namespace wirtello {

void Tzadania_f::setUpKeyboard()
{
    const std::pair<QToolButton*, QKeySequence> buttons[] = {
        // Top bar, left to right.
        {SpeedButton14, {}}, {SpeedButton2, QKeySequence(Qt::CTRL | Qt::Key_N)}, {SpeedButton3, {}},
        {SpeedButton13, QKeySequence(Qt::Key_F2)}, {SpeedButton4, {}}, {SpeedButton5, {}},
        {SpeedButton8, QKeySequence(Qt::CTRL | Qt::Key_P)}, {SpeedButton6, {}}, {SpeedButton16, {}},
        {SpeedButton22, {}},
        // The search's own button.
        {SpeedButton30, {}},
        // Right bar, top to bottom.
        {SpeedButton12, {}}, {SpeedButton9, QKeySequence(Qt::CTRL | Qt::Key_S)}, {SpeedButton18, {}},
        {SpeedButton11, {}}, {SpeedButton10, QKeySequence(Qt::CTRL | Qt::Key_E)}, {SpeedButton21, {}},
        {SpeedButton24, {}}, {SpeedButton25, {}}, {SpeedButton32, {}}, {SpeedButton31, {}}, {SpeedButton29, {}},
        {SpeedButton28, {}}, {SpeedButton26, {}}, {SpeedButton23, {}},
        {SpeedButton27, QKeySequence(Qt::Key_Escape)},
        // The help panel's own end.
        {SpeedButton7, QKeySequence(Qt::Key_Escape)},
    };
    QList<QWidget*> topBar;
    QList<QWidget*> rightBar;
    for (const auto& [button, keys] : buttons) {
        if (button != SpeedButton3)
            makeKeyboardButton(button, keys);
        if (button->parentWidget() == Panel3)
            topBar << button;
        else if (button->parentWidget() == Panel4)
            rightBar << button;
    }
    // Delete belongs to the list: in an edit it deletes a character.
    makeKeyboardButton(SpeedButton3, QKeySequence(Qt::Key_Delete), listazadan);

    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), coszukac);
    connect(find, &QShortcut::activated, this, [this] {
        coszukac->setFocus(Qt::ShortcutFocusReason);
        coszukac->selectAll();
    });

    QList<QWidget*> chain = topBar;
    for (QLineEdit* edit : cardEdits())
        chain << edit;
    makeKeyboardLabel(Label2, [this] { runGuarded(platform_, [this] { showAboutWindow(); }); });
    chain << listazadan << coszukac << SpeedButton30 << Label2;
    chain << rightBar;
    setTabChain(chain);
    letShortcutsPassEdits(this);
    // The window opens with the card's first field ready for typing, as ever.
    imie->setFocus(Qt::OtherFocusReason);
}

} // namespace wirtello
