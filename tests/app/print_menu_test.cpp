// The contact list's print button and its right-click menu.
#include "main_window_fixture.h"

#include "tests/support/recording_print_surface.h"

#include <QAction>
#include <QMenu>

using namespace wirtello;
using namespace wirtello::test;

TEST_F(MainWindowTest, DrukujMenuPreviewsTheListAsItPrints)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Żaneta"}});
    start();
    RecordingPrintSurface printed;
    RecordingPrintSurface previewed;
    platform.printerFactory = [&] { return printed.proxy(); };
    platform.previewFactory = [&] { return previewed.proxy(); };
    toolButton("SpeedButton8")->click();

    auto* menu = toolButton("SpeedButton8")->findChild<QMenu*>(QStringLiteral("printMenu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("Podgląd wydruku…"));
    menu->actions()[1]->trigger();
    EXPECT_EQ(previewed.calls, printed.calls);
    ASSERT_EQ(previewed.texts.size(), 3u);
    EXPECT_EQ(previewed.texts[2].text, "001 Żaneta");
    EXPECT_EQ(platform.printerRequests, 1);
    EXPECT_TRUE(platform.errors.empty());
}
