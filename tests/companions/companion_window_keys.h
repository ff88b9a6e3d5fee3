#pragma once

// What a keyboard user and a screen reader find in a companion window: names
// on every focusable control, Alt letters, the Tab round and where Tab goes
// from a table or a note field.

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>

#include <map>

namespace wirtello::test {

// Every focusable control below `node` without an accessible name.
inline void collectNameless(QAccessibleInterface* node, QStringList& nameless)
{
    if (!node->object())
        return; // a cell of a grid or list, read with its row and column header
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && !state.disabled && node->text(QAccessible::Name).trimmed().isEmpty())
        nameless << node->object()->objectName() + QStringLiteral(" (")
                        + QString::fromLatin1(node->object()->metaObject()->className()) + QLatin1Char(')');
    for (int i = 0; i < node->childCount(); ++i)
        collectNameless(node->child(i), nameless);
}

inline QStringList namelessControls(QWidget* window)
{
    QStringList nameless;
    collectNameless(QAccessible::queryAccessibleInterface(window), nameless);
    return nameless;
}

// The name a screen reader reads for `widget`.
inline QString spokenName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Alt letters used more than once by the window's buttons and labels.
inline QStringList repeatedAltLetters(QWidget* window)
{
    std::map<QChar, QStringList> users;
    auto note = [&users](QObject* owner, const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size())
            users[text.at(at + 1).toLower()] << owner->objectName();
    };
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        note(button, button->text());
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy())
            note(label, label->text());
    QStringList repeated;
    for (const auto& [letter, owners] : users)
        if (owners.size() > 1)
            repeated << QString(letter) + QStringLiteral(": ") + owners.join(QLatin1Char(','));
    return repeated;
}

// Where the focus goes when `key` is pressed in `from`.
inline QWidget* focusAfter(QWidget* from, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    from->setFocus(Qt::TabFocusReason);
    QTest::keyClick(from, key, modifiers);
    return QApplication::focusWidget();
}

// The widgets Tab visits from `start` until it comes back there (at most
// `limit` presses; a date field takes one press for each of its parts, and a
// full-page editor, which keeps Tab as a character, is left with Ctrl+Tab).
inline QList<QWidget*> tabRound(QWidget* start, int limit = 120)
{
    start->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited{start};
    for (int i = 0; i < limit; ++i) {
        QWidget* at = QApplication::focusWidget();
        const auto* editor = qobject_cast<QPlainTextEdit*>(at);
        QTest::keyClick(at, Qt::Key_Tab, editor && !editor->tabChangesFocus() ? Qt::ControlModifier : Qt::NoModifier);
        QWidget* now = QApplication::focusWidget();
        if (now == start)
            break;
        if (now != visited.back())
            visited << now;
    }
    return visited;
}

} // namespace wirtello::test
