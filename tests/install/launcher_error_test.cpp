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
    const char* const rows[] = {"Wirtello: nie można utworzyć folderu: /x/$(rm -rf ~)/`id`\\n", "", nullptr};
    for (const char* handedOver : rows) {
        if (handedOver != nullptr)
            setenv(kLauncherErrorVariable, handedOver, 1);
        else
            unsetenv(kLauncherErrorVariable);
        ScriptedPlatform platform;
        const bool given = handedOver != nullptr && *handedOver != '\0';
        EXPECT_EQ(showLauncherError(platform), given);
        EXPECT_EQ(platform.failures, given ? QStringList{QString::fromUtf8(handedOver)} : QStringList{});
    }
    unsetenv(kLauncherErrorVariable);
}

} // namespace
} // namespace wirtello
