// The keyboard comes back to the window a dialog or another window was opened
// from, so its shortcuts work again without a click.
#include "main_window_fixture.h"

#include "admin/about_window.h"

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

} // namespace
} // namespace wirtello::test
