#include "main_window_fixture.h"

#include "tests/support/recording_print_surface.h"

using namespace wirtello;
using namespace wirtello::test;

namespace {

class PrintButtonsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
        start();
        platform.printerFactory = [this] { return printer.proxy(); };
    }

    RecordingPrintSurface printer{300, 300};
};

} // namespace

TEST_F(PrintButtonsTest, DrukujPrintsTheListEntriesWithTheChosenFont)
{
    platform.fontAnswers.push_back(FontChoice{0x000000FF, "Arial", 12, FontStyle::Italic});
    toolButton("SpeedButton22")->click();
    const auto font = readBytes(folder / "FONT/font_zaplo_3906.dat");
    ASSERT_EQ(font.size(), 76u);
    EXPECT_EQ(font[68], 12);

    toolButton("SpeedButton8")->click();
    ASSERT_EQ(printer.texts.size(), 3u);
    EXPECT_EQ(printer.texts[0].text, "Lista kontaktów");
    EXPECT_EQ(printer.texts[1].text, "000 Adam");
    EXPECT_EQ(printer.texts[2].text, "001 Bartek");
    EXPECT_EQ(printer.texts[1].face, "Arial");
    EXPECT_EQ(printer.texts[1].height, -50);           // 12 points at 300 dpi
    EXPECT_EQ(printer.texts[1].style, FontStyle::Italic);
    EXPECT_EQ(printer.texts[2].y, 21 * 12);            // second line at 21 mm
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(PrintButtonsTest, CancelledDialogsPrintAndWriteNothing)
{
    platform.printerFactory = [] { return nullptr; }; // the print dialog is cancelled
    platform.fontAnswers.push_back(std::nullopt);      // and so is the font dialog
    toolButton("SpeedButton8")->click();
    toolButton("SpeedButton22")->click();
    EXPECT_TRUE(printer.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "FONT/font_zaplo_3906.dat"));
    EXPECT_EQ(platform.printerRequests, 1);
    EXPECT_EQ(platform.fontRequests.size(), 1u);
}
