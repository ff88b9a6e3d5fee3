// The cash document window without a mouse: Tab order, shortcuts, the grid's
// way out, the panels and the names a screen reader gives the controls.
#include "cash_document_window.h"

#include "ui_cash_document_window.h"

#include "platform/keyboard_access.h"
#include "platform/list_accessibility.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>

namespace wirtello {

void Tkp_f::setUpKeyboard()
{
    const std::pair<QToolButton*, QKeySequence> buttons[] = {
        {ui_->SpeedButton7, {}}, {ui_->SpeedButton8, {}}, {ui_->SpeedButton15, {}},
        {ui_->SpeedButton13, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ui_->SpeedButton6, {}}, {ui_->SpeedButton5, {}}, {ui_->SpeedButton4, {}}, {ui_->SpeedButton3, {}},
        {ui_->SpeedButton2, {}}, {ui_->SpeedButton14, {}}, {ui_->SpeedButton11, {}},
        {ui_->SpeedButton1, QKeySequence(Qt::Key_Escape)},
        // The panels' own ends; a hidden button's shortcut does not fire.
        {ui_->SpeedButton10, QKeySequence(Qt::Key_Escape)}, {ui_->SpeedButton9, {}},
        {ui_->SpeedButton12, QKeySequence(Qt::Key_Escape)},
    };
    for (const auto& [button, keys] : buttons)
        makeKeyboardButton(button, keys);

    // Left block, right block, the grid, the buttons under it, the sums; then the panels.
    const Ui::Tkp_f& ui = *ui_;
    setTabChain({ui.SpeedButton7, ui.SpeedButton8, ui.numerkp, ui.rozszerzeniekp, ui.data, ui.SpeedButton15, ui.k1,
                 ui.k2, ui.SpeedButton13, ui.tabela, ui.lista, ui.SpeedButton6, ui.SpeedButton5, ui.SpeedButton4,
                 ui.SpeedButton3, ui.SpeedButton2, ui.SpeedButton14, ui.SpeedButton11, ui.SpeedButton1, ui.razem,
                 ui.gotowka, ui.reszta, ui.pole1, ui.pole2, ui.pole3, ui.pole4, ui.SpeedButton10, ui.SpeedButton9,
                 ui.Memo1, ui.SpeedButton12});
    letShortcutsPassEdits(this);
    for (QLineEdit* edit : panelEdits())
        connect(edit, &QLineEdit::returnPressed, ui_->SpeedButton9, &QToolButton::click);

    // Names for a screen reader: edits by their captions, the rest told apart.
    ui_->Label1->setBuddy(ui_->numerkp);
    ui_->Label7->setBuddy(ui_->data);
    ui_->Label15->setBuddy(ui_->razem);
    ui_->Label16->setBuddy(ui_->gotowka);
    ui_->Label17->setBuddy(ui_->reszta);
    ui_->rozszerzeniekp->setAccessibleName(QStringLiteral("Rozszerzenie numeru"));
    ui_->SpeedButton7->setAccessibleName(QStringLiteral("Edytuj dane wystawcy"));
    ui_->SpeedButton8->setAccessibleName(QStringLiteral("Edytuj dane kontrahenta"));
    ui_->tabela->setAccessibleName(QStringLiteral("Pozycje dokumentu"));
    // The header stays hidden; its labels name the columns.
    ui_->tabela->setHorizontalHeaderLabels({QStringLiteral("Tytułem"), QStringLiteral("Kwota")});
    ui_->lista->setAccessibleName(QStringLiteral("Stałe treści"));
    describeFocusHonestly(*ui_->lista);
    ui_->Memo1->setAccessibleName(QStringLiteral("Pomoc"));
    nameEditPanelLines();
}

void Tkp_f::nameEditPanelLines()
{
    const std::array<QLineEdit*, 4> edits = panelEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setAccessibleName(QStringLiteral("%1, wiersz %2").arg(ui_->Label21->text()).arg(i + 1));
}

bool Tkp_f::tabLeavesGrid(const QKeyEvent& key) const
{
    const bool backwards = key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier);
    if (key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab)
        return false;
    if (key.modifiers() & Qt::ControlModifier)
        return true;
    const int last = ui_->tabela->rowCount() * ui_->tabela->columnCount() - 1;
    const int at = ui_->tabela->currentRow() * ui_->tabela->columnCount() + ui_->tabela->currentColumn();
    return backwards ? at <= 0 : at >= last;
}

void Tkp_f::leaveGrid(const QKeyEvent& key)
{
    const bool backwards = key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier);
    ui_->tabela->setFocus(Qt::OtherFocusReason);
    focusNextPrevChild(!backwards);
}

bool Tkp_f::focusNextPrevChild(bool next)
{
    if (!ui_)
        return ProgramWindow::focusNextPrevChild(next);
    // A panel that is up keeps Tab among its own controls.
    for (QWidget* panel : {static_cast<QWidget*>(ui_->Panel2), static_cast<QWidget*>(ui_->Panel3)}) {
        if (!panel->isVisible())
            continue;
        QList<QWidget*> inside;
        for (QWidget* widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain())
            if (panel->isAncestorOf(widget) && widget->isVisible() && widget->isEnabled()
                && (widget->focusPolicy() & Qt::TabFocus))
                inside << widget;
        if (inside.isEmpty())
            return false;
        const qsizetype at = inside.indexOf(QApplication::focusWidget());
        const qsizetype count = inside.size();
        const qsizetype to = at < 0 ? 0 : (at + (next ? 1 : count - 1)) % count;
        inside[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    if (ui_->lista->isVisible())
        return true; // Enter or Escape leaves the list
    return ProgramWindow::focusNextPrevChild(next);
}

} // namespace wirtello
