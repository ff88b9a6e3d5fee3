// A window bigger than the screen's free area scrolls inside a window that
// fits, so every control can still be reached; on a screen where it fits it
// looks exactly as before.
#include "main_window_fixture.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace wirtello::test {
namespace {

struct ScreenCase {
    const char* name;
    QRect available;
    bool scrolls;
};

const ScreenCase kScreens[] = {
    {"Office1280x1024", QRect(0, 0, 1280, 1024), false},
    {"Full1920x1080At150", QRect(0, 0, 1280, 720), false},
    {"Panel1920x1080At150", QRect(0, 0, 1280, 688), true},
    {"Panel1366x768At125", QRect(0, 24, 1093, 590), true},
};

class SmallScreen : public MainWindowTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(SmallScreen, TheWholeMainWindowCanBeReached)
{
    const ScreenCase& row = GetParam();
    start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage before = window->grab().toImage();
    window->fitInto(row.available);
    QCoreApplication::processEvents();

    auto* scroller = window->findChild<QScrollArea*>();
    EXPECT_EQ(scroller != nullptr, row.scrolls);
    if (!row.scrolls) {
        EXPECT_EQ(window->grab().toImage(), before);
        return;
    }
    ASSERT_NE(scroller, nullptr);
    EXPECT_TRUE(row.available.contains(window->geometry())) << window->geometry().width() << "x"
                                                            << window->geometry().height();
    QToolButton* end = nullptr;
    for (QToolButton* found : window->findChildren<QToolButton*>())
        if (found->text() == QStringLiteral("Koniec"))
            end = found;
    ASSERT_NE(end, nullptr);
    const auto shown = [&] { return window->rect().contains(QRect(end->mapTo(window.get(), QPoint()), end->size())); };
    EXPECT_FALSE(shown());
    scroller->horizontalScrollBar()->setValue(scroller->horizontalScrollBar()->maximum());
    scroller->verticalScrollBar()->setValue(scroller->verticalScrollBar()->maximum());
    EXPECT_TRUE(shown());

    // Tab to it scrolls it into view as well.
    scroller->horizontalScrollBar()->setValue(0);
    scroller->verticalScrollBar()->setValue(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    end->previousInFocusChain()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(end->hasFocus());
    EXPECT_TRUE(shown());
}

INSTANTIATE_TEST_SUITE_P(Screens, SmallScreen, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace wirtello::test
