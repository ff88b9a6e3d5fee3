#pragma once

// What a keyboard-only or screen-reader user meets in a companion window:
// unnamed controls, the Tab order, where Tab goes from a table or a note
// field, and the Alt letters.

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace wirtello::test {

// The focusable controls a screen reader finds without a name.
inline void collectNameless(QAccessibleInterface* node, QStringList& nameless)
{
    if (!node->object())
        return; // a cell of a grid or list, read with its row and column header
    const QAccessible::State state = node->state();
    if (state.focusable && !state.invisible && !state.disabled && node->text(QAccessible::Name).trimmed().isEmpty())
        nameless << node->object()->objectName() + QStringLiteral(" (") +
                        QString::fromLatin1(node->object()->metaObject()->className()) + QLatin1Char(')');
    for (int i = 0; i < node->childCount(); ++i)
        collectNameless(node->child(i), nameless);
}

inline QStringList namelessControls(QWidget* window)
{
    QStringList nameless;
    collectNameless(QAccessible::queryAccessibleInterface(window), nameless);
    return nameless;
}

inline QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Shows the window as the companion does and makes it the active one.
inline void showActive(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
}

// The control that has the window's keyboard after `key` is pressed in `from`.
inline QWidget* focusAfter(QWidget* from, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    from->setFocus(Qt::TabFocusReason);
    QTest::keyClick(from, static_cast<Qt::Key>(key), modifiers);
    return from->window()->focusWidget();
}

// The controls Tab visits from the window's focus until it comes back there
// (at most `most` presses; a date field takes one per part of the date).
inline QList<QWidget*> tabRound(QWidget* window, int most = 120)
{
    QWidget* first = window->focusWidget();
    QList<QWidget*> visited = {first};
    for (int i = 0; i < most && first; ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        if (window->focusWidget() == first)
            break;
        if (!visited.contains(window->focusWidget()))
            visited << window->focusWidget();
    }
    return visited;
}

// The Alt letter of a caption ("Za&mknij": M), or nothing.
inline QChar altLetter(const QString& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

// Each button has its own Alt letter, and no label's letter is a button's.
inline void expectOwnAltLetters(QWidget* window, const QStringList& withoutLetter = {})
{
    std::map<QChar, QString> taken;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        // Unnamed ones are parts of other controls (a table's corner).
        if (button->objectName().isEmpty() || withoutLetter.contains(button->objectName()))
            continue;
        const QChar letter = altLetter(button->text());
        EXPECT_FALSE(letter.isNull()) << button->objectName().toStdString();
        if (letter.isNull())
            continue;
        EXPECT_TRUE(taken.emplace(letter, button->objectName()).second)
            << button->objectName().toStdString() << " and " << taken[letter].toStdString();
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QChar letter = altLetter(label->text());
        if (!letter.isNull()) {
            EXPECT_TRUE(taken.emplace(letter, label->objectName()).second) << label->objectName().toStdString();
        }
    }
}

// Each visible button's Alt letter, and each of `more` keys, presses that
// button and no other. A button pressed by a key clicks a moment later, when
// events are next processed: call this last, before the window goes.
inline void expectAltKeysPress(QWidget* window, const std::vector<std::pair<QKeySequence, const char*>>& more = {})
{
    std::vector<std::pair<QKeySequence, QString>> keys;
    std::vector<std::pair<QAbstractButton*, std::unique_ptr<QSignalSpy>>> spies;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->objectName().isEmpty() || !button->isVisible())
            continue;
        spies.emplace_back(button, std::make_unique<QSignalSpy>(button, &QAbstractButton::pressed));
        const QChar letter = altLetter(button->text());
        if (letter >= QLatin1Char('A') && letter <= QLatin1Char('Z'))
            keys.emplace_back(QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_A + (letter.unicode() - 'A'))),
                              button->objectName());
    }
    for (const auto& [key, name] : more)
        keys.emplace_back(key, QString::fromUtf8(name));
    for (const auto& [key, name] : keys) {
        SCOPED_TRACE(key.toString().toStdString());
        QWidget* focus = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(focus, key[0].key(), key[0].keyboardModifiers());
        for (const auto& [button, spy] : spies) {
            EXPECT_EQ(spy->count(), button->objectName() == name ? 1 : 0) << button->objectName().toStdString();
            spy->clear();
        }
    }
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

// The widgets Tab visits from `start` until it comes back there (at most
// `limit` presses; a date field takes one press for each of its parts, and a
// full-page editor, which keeps Tab as a character, is left with Ctrl+Tab).
inline QList<QWidget*> tabRoundFrom(QWidget* start, int limit = 120)
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
