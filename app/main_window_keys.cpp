// The main window without a mouse: Tab order, shortcuts, the help panel.
#include "main_window.h"
#include "ui_main_window.h"

#include "platform/keyboard_access.h"
#include "platform/list_accessibility.h"

#include <QShortcut>

namespace wirtello {

void Tzadania_f::setUpKeyboard()
{
    const std::pair<QToolButton*, QKeySequence> buttons[] = {
        // Top bar, left to right.
        {ui_->SpeedButton14, {}}, {ui_->SpeedButton2, QKeySequence(Qt::CTRL | Qt::Key_N)}, {ui_->SpeedButton3, {}},
        {ui_->SpeedButton13, QKeySequence(Qt::Key_F2)}, {ui_->SpeedButton4, {}}, {ui_->SpeedButton5, {}},
        {ui_->SpeedButton8, QKeySequence(Qt::CTRL | Qt::Key_P)}, {ui_->SpeedButton6, {}}, {ui_->SpeedButton16, {}},
        {ui_->SpeedButton22, {}},
        // The search's own button.
        {ui_->SpeedButton30, {}},
        // Right bar, top to bottom.
        {ui_->SpeedButton12, {}}, {ui_->SpeedButton9, QKeySequence(Qt::CTRL | Qt::Key_S)}, {ui_->SpeedButton18, {}},
        {ui_->SpeedButton11, {}}, {ui_->SpeedButton10, QKeySequence(Qt::CTRL | Qt::Key_E)}, {ui_->SpeedButton21, {}},
        {ui_->SpeedButton24, {}}, {ui_->SpeedButton25, {}}, {ui_->SpeedButton32, {}}, {ui_->SpeedButton31, {}},
        {ui_->SpeedButton29, {}}, {ui_->SpeedButton28, {}}, {ui_->SpeedButton26, {}}, {ui_->SpeedButton23, {}},
        {ui_->SpeedButton27, QKeySequence(Qt::Key_Escape)},
        // The help panel's own end.
        {ui_->SpeedButton7, QKeySequence(Qt::Key_Escape)},
    };
    QList<QWidget*> topBar;
    QList<QWidget*> rightBar;
    for (const auto& [button, keys] : buttons) {
        if (button != ui_->SpeedButton3)
            makeKeyboardButton(button, keys);
        if (button->parentWidget() == ui_->Panel3)
            topBar << button;
        else if (button->parentWidget() == ui_->Panel4)
            rightBar << button;
    }
    // Delete belongs to the list: in an edit it deletes a character.
    makeKeyboardButton(ui_->SpeedButton3, QKeySequence(Qt::Key_Delete), ui_->listazadan);

    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), ui_->coszukac);
    connect(find, &QShortcut::activated, this, [this] {
        ui_->coszukac->setFocus(Qt::ShortcutFocusReason);
        ui_->coszukac->selectAll();
    });

    QList<QWidget*> chain = topBar;
    for (QLineEdit* edit : cardEdits())
        chain << edit;
    makeKeyboardLabel(ui_->Label2, guarded([this] { showAboutWindow(); }));
    chain << ui_->listazadan << ui_->coszukac << ui_->SpeedButton30 << ui_->Label2;
    chain << rightBar;
    setTabChain(chain);
    letShortcutsPassEdits(this);
    frameWhileFocused(ui_->listazadan);
    describeFocusHonestly(*ui_->listazadan);
    // The window opens with the card's first field ready for typing, as ever.
    ui_->imie->setFocus(Qt::OtherFocusReason);
}

} // namespace wirtello
