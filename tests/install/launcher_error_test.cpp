#include "app/startup.h"

#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace wirtello {
namespace {

// What the launcher hands over is shown as it is in the error box, and
// nothing is shown without it.
TEST(LauncherError, TheLaunchersMessageIsShownInTheErrorBox)
{
    const struct {
        const char* handedOver; // null: the variable is not set
        QStringList shown;
    } rows[] = {
        {"Wirtello: w miejscu folderu FONT jest plik: /home/ala/Wirtello/font",
         {QStringLiteral("Wirtello: w miejscu folderu FONT jest plik: /home/ala/Wirtello/font")}},
        {"Wirtello: nie można utworzyć folderu: /x/$(rm -rf ~)/`id`\\n",
         {QStringLiteral("Wirtello: nie można utworzyć folderu: /x/$(rm -rf ~)/`id`\\n")}},
        {"", {}},
        {nullptr, {}},
    };
    for (const auto& row : rows) {
        if (row.handedOver != nullptr)
            setenv(kLauncherErrorVariable, row.handedOver, 1);
        else
            unsetenv(kLauncherErrorVariable);
        ScriptedPlatform platform;
        EXPECT_EQ(showLauncherError(platform), !row.shown.isEmpty()) << row.handedOver;
        EXPECT_EQ(platform.failures, row.shown);
    }
    unsetenv(kLauncherErrorVariable);
}

} // namespace
} // namespace wirtello
