// The cash document window without a mouse: Tab order, shortcuts, the grid's
// way out, the panels and the names a screen reader gives the controls.
#include "cash_document_window.h"

#include "platform/keyboard_access.h"

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
        {SpeedButton7, {}}, {SpeedButton8, {}}, {SpeedButton15, {}},
        {SpeedButton13, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {SpeedButton6, {}}, {SpeedButton5, {}}, {SpeedButton4, {}}, {SpeedButton3, {}}, {SpeedButton2, {}},
        {SpeedButton14, {}}, {SpeedButton11, {}},
        {SpeedButton1, QKeySequence(Qt::Key_Escape)},
        // The panels' own ends; a hidden button's shortcut does not fire.
        {SpeedButton10, QKeySequence(Qt::Key_Escape)}, {SpeedButton9, {}},
        {SpeedButton12, QKeySequence(Qt::Key_Escape)},
    };
    for (const auto& [button, keys] : buttons)
        makeKeyboardButton(button, keys);

    // Left block, right block, the grid, the buttons under it, the sums; then the panels.
    setTabChain({SpeedButton7, SpeedButton8, numerkp, rozszerzeniekp, data, SpeedButton15, k1, k2, SpeedButton13,
                 tabela, lista, SpeedButton6, SpeedButton5, SpeedButton4, SpeedButton3, SpeedButton2, SpeedButton14,
                 SpeedButton11, SpeedButton1, razem, gotowka, reszta, pole1, pole2, pole3, pole4, SpeedButton10,
                 SpeedButton9, Memo1, SpeedButton12});
    letShortcutsPassEdits(this);
    for (QLineEdit* edit : panelEdits())
        connect(edit, &QLineEdit::returnPressed, SpeedButton9, &QToolButton::click);

    // Names for a screen reader: edits by their captions, the rest told apart.
    Label1->setBuddy(numerkp);
    Label7->setBuddy(data);
    Label15->setBuddy(razem);
    Label16->setBuddy(gotowka);
    Label17->setBuddy(reszta);
    rozszerzeniekp->setAccessibleName(QStringLiteral("Rozszerzenie numeru"));
    SpeedButton7->setAccessibleName(QStringLiteral("Edytuj dane wystawcy"));
    SpeedButton8->setAccessibleName(QStringLiteral("Edytuj dane kontrahenta"));
    tabela->setAccessibleName(QStringLiteral("Pozycje dokumentu"));
    // The header stays hidden; its labels name the columns.
    tabela->setHorizontalHeaderLabels({QStringLiteral("Tytułem"), QStringLiteral("Kwota")});
    lista->setAccessibleName(QStringLiteral("Stałe treści"));
    Memo1->setAccessibleName(QStringLiteral("Pomoc"));
    nameEditPanelLines();
}

void Tkp_f::nameEditPanelLines()
{
    const std::array<QLineEdit*, 4> edits = panelEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setAccessibleName(QStringLiteral("%1, wiersz %2").arg(Label21->text()).arg(i + 1));
}

bool Tkp_f::tabLeavesGrid(const QKeyEvent& key) const
{
    const bool backwards = key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier);
    if (key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab)
        return false;
    if (key.modifiers() & Qt::ControlModifier)
        return true;
    const int last = tabela->rowCount() * tabela->columnCount() - 1;
    const int at = tabela->currentRow() * tabela->columnCount() + tabela->currentColumn();
    return backwards ? at <= 0 : at >= last;
}

void Tkp_f::leaveGrid(const QKeyEvent& key)
{
    const bool backwards = key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier);
    tabela->setFocus(Qt::OtherFocusReason);
    focusNextPrevChild(!backwards);
}

bool Tkp_f::focusNextPrevChild(bool next)
{
    // A panel that is up keeps Tab among its own controls.
    for (QWidget* panel : {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Panel3)}) {
        if (!panel || !panel->isVisible())
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
    if (lista && lista->isVisible())
        return true; // Enter or Escape leaves the list
    return ProgramWindow::focusNextPrevChild(next);
}

} // namespace wirtello
