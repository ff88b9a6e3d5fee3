// The contact list's print button and its right-click menu.
#include "main_window_fixture.h"

#include "tests/support/recording_print_surface.h"

#include <QAction>
#include <QMenu>
#include <QContextMenuEvent>
#include <QCoreApplication>

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

TEST_F(MainWindowTest, MenuKeyOpensThePrintMenuAtItsFirstEntryAndBothWaysAreTold)
{
    start();
    window->show();
    QToolButton* print = toolButton("SpeedButton8");
    EXPECT_TRUE(print->accessibleDescription().contains(QStringLiteral("Prawy przycisk myszy lub klawisz Menu")));
    // A tooltip that tells of the mouse alone tells of the key too.
    QToolButton other;
    other.setToolTip(QStringLiteral("Drukuj notatkę (prawy przycisk: podgląd, PDF)"));
    addPrintMenu(&other, [](PrintDestination) {});
    EXPECT_EQ(other.toolTip(), QStringLiteral("Drukuj notatkę (prawy przycisk lub klawisz Menu: podgląd, PDF)"));

    auto* menu = print->findChild<QMenu*>(QStringLiteral("printMenu"));
    ASSERT_NE(menu, nullptr);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), print->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(print, &menuKey);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->activeAction(), menu->actions().constFirst());
    menu->hide();
}
