// The keyboard comes back to the window a dialog or another window was opened
// from, so its shortcuts work again without a click.
#include "main_window_fixture.h"

#include "admin/about_window.h"

#include <QDialog>
#include <QTest>

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

} // namespace
} // namespace wirtello::test
