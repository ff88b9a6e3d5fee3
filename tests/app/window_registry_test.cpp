// The program makes the windows of its table in the table's order, and each
// row's button in the main window opens that row's window.
#include "app/program.h"
#include "app/window_registry.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <gtest/gtest.h>

#include <QToolButton>

namespace wirtello::test {
namespace {

TEST(WindowRegistry, EveryRowIsMadeInOrderAndItsButtonOpensIt)
{
    TempFolder folder{"Admini", "NOTATKI", "LOGO", "FONT"};
    ScriptedPlatform platform;
    AppData data{folder.path()};
    Program program(data, platform);

    const std::vector<ProgramWindow*> made = program.creationOrder();
    const auto rows = registeredWindows();
    ASSERT_EQ(made.size(), rows.size() + 1);
    EXPECT_EQ(made.front(), &program.mainWindow());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ProgramWindow* window = made[i + 1];
        if (rows[i].openingButton == nullptr)
            continue;
        SCOPED_TRACE(rows[i].openingButton);
        EXPECT_FALSE(window->isVisible());
        control<QToolButton>(program.mainWindow(), rows[i].openingButton)->click();
        EXPECT_TRUE(window->isVisible());
        // No other window of the table opened with it.
        for (ProgramWindow* other : made) {
            if (other != window && other != made.front()) {
                EXPECT_FALSE(other->isVisible()) << other->objectName().toStdString();
            }
        }
        window->dismiss();
    }
    EXPECT_TRUE(platform.errors.empty());
}

} // namespace
} // namespace wirtello::test
