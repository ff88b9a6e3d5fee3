// The keyboard comes back to the window a dialog or another window was opened
// from, so its shortcuts work again without a click.
#include "main_window_fixture.h"

#include "admin/about_window.h"

#include <QAccessible>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace wirtello::test {
namespace {

class WindowFocus : public MainWindowTest {};

TEST_F(WindowFocus, AClosedDialogOrWindowGivesTheKeyboardBack)
{
    Tform3 about(platform);
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    const std::function<void()> ways[] = {
        [&] { // a dialog of the window, as the platform's questions are
            QDialog question(window.get());
            question.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&question));
            question.hide();
        },
        [&] { // another window opened from it and left with its way back
            about.open();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
            about.dismiss();
        },
    };
    for (const auto& way : ways) {
        way();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_EQ(QApplication::activeWindow(), window.get());
    }
}

// The frame drawn over a control with the keyboard focus, when shown.
bool framed(QWidget* control)
{
    auto* frame = control->findChild<QWidget*>(QStringLiteral("focusFrame"), Qt::FindDirectChildrenOnly);
    return frame && frame->isVisible();
}

TEST_F(WindowFocus, TheFocusFrameComesBackAfterADialogAndTheListIsFramedToo)
{
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QToolButton* save = toolButton("SpeedButton9");
    save->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(framed(save));
    {
        QDialog question(window.get()); // with a button of its own to take the focus, as a message box
        new QPushButton(QStringLiteral("OK"), &question);
        question.show();
        question.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &question; }));
        EXPECT_FALSE(save->hasFocus());
        EXPECT_FALSE(framed(save));
        question.hide();
    }
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(save->hasFocus());
    EXPECT_TRUE(framed(save));

    list()->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(framed(save));
    EXPECT_TRUE(framed(list()));
    lineEdit("imie")->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(framed(list()));
}

// Every object of `root`'s tree that tells a screen reader it has the focus.
void collectFocused(QAccessibleInterface* root, QStringList& found)
{
    if (!root)
        return;
    if (root->state().focused)
        found << root->text(QAccessible::Name);
    for (int i = 0; i < root->childCount(); ++i)
        collectFocused(root->child(i), found);
}

QStringList focusedForScreenReader(QWidget& window)
{
    QStringList found;
    collectFocused(QAccessible::queryAccessibleInterface(&window), found);
    return found;
}

TEST_F(WindowFocus, OnlyTheControlWithTheFocusIsFocusedForAScreenReader)
{
    start();
    addContact(QStringLiteral("Bartek"));
    addContact(QStringLiteral("Anna"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    clickRow(1);
    const QString current = currentEntry();
    QToolButton* save = toolButton("SpeedButton9");

    save->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(focusedForScreenReader(*window), QStringList{QAccessible::queryAccessibleInterface(save)->text(QAccessible::Name)});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(list())->focusChild(), nullptr);

    list()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(focusedForScreenReader(*window), (QStringList{list()->accessibleName(), current}));
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(list())->focusChild();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(QAccessible::Name), current);
    EXPECT_EQ(item->role(), QAccessible::ListItem);

    // Rows that change give items of the rows as they are now.
    addContact(QStringLiteral("Celina"));
    list()->setFocus(Qt::TabFocusReason);
    item = QAccessible::queryAccessibleInterface(list())->focusChild();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(QAccessible::Name), currentEntry());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(list())->childCount(), rowCount());
}

// A screen reader reads the application's windows from its description: a
// window closed but kept for its next opening must not be among them, or its
// controls are read out at size 0.
TEST_F(WindowFocus, AClosedWindowIsNoLongerAmongTheApplicationsWindowsForAScreenReader)
{
    Tform3 about(platform);
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto shownWindows = [] {
        QList<QObject*> windows;
        QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
        for (int i = 0; i < application->childCount(); ++i)
            windows << application->child(i)->object();
        return windows;
    };
    for (int round = 0; round < 2; ++round) {
        about.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        EXPECT_TRUE(shownWindows().contains(&about));
        about.dismiss();
        EXPECT_FALSE(shownWindows().contains(&about));
        EXPECT_TRUE(shownWindows().contains(window.get()));
    }
}

} // namespace
} // namespace wirtello::test
