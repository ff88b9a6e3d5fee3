#include "print/contact_list_printout.h"
#include "print/print_actions.h"
#include "tests/support/recording_print_surface.h"

#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::vector<std::string> entries(int count)
{
    std::vector<std::string> result;
    for (int i = 1; i <= count; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%03d Kontakt %d", i, i);
        result.emplace_back(text);
    }
    return result;
}

// Stores a font through the dialog as the user would.
void storeFont(CurrentPrintFont& font, const FontChoice& choice)
{
    ScriptedPlatform platform;
    platform.fontAnswers.push_back(choice);
    choosePrintFont(platform, font);
    ASSERT_TRUE(platform.errors.empty());
}

struct Printed {
    RecordingPrintSurface surface{300, 300};
    ScriptedPlatform platform;
    Printed() { platform.printerFactory = [this] { return surface.proxy(); }; }
};

TEST(ContactListPrintout, EmptyListPrintsTheHeadingAlone)
{
    RecordingPrintSurface surface(300, 300);
    CurrentPrintFont font;
    drawContactList(surface, font, {});

    EXPECT_EQ(surface.jobsStarted, 1);
    EXPECT_EQ(surface.jobsEnded, 1);
    EXPECT_EQ(surface.pages, 1);
    EXPECT_EQ(surface.misuses, 0);
    ASSERT_EQ(surface.texts.size(), 1u);
    const auto& heading = surface.texts[0];
    EXPECT_EQ(heading.text, "Lista kontaktów");
    EXPECT_EQ(heading.x, 120);
    EXPECT_EQ(heading.y, 72);
    // No font stored yet: the surface's face, size 0 + 5 for the heading.
    EXPECT_EQ(heading.face, "");
    EXPECT_EQ(heading.height, -21);
    EXPECT_EQ(heading.style, FontStyle::Bold);
    EXPECT_EQ(heading.colour, 0);
}

TEST(ContactListPrintout, FiftyOneEntriesAPageWithoutATrailingBlankPage)
{
    CurrentPrintFont font;
    {
        RecordingPrintSurface surface(300, 300);
        drawContactList(surface, font, entries(51));
        EXPECT_EQ(surface.pages, 1);
        const auto page1 = surface.textsOnPage(1);
        ASSERT_EQ(page1.size(), 52u);
        EXPECT_EQ(page1[1].text, "001 Kontakt 1");
        EXPECT_EQ(page1[1].y, 16 * 12);
        EXPECT_EQ(page1[2].y, 21 * 12);
        EXPECT_EQ(page1[51].y, 266 * 12);
        EXPECT_EQ(page1[51].x, 120);
    }
    {
        RecordingPrintSurface surface(300, 300);
        drawContactList(surface, font, entries(52));
        EXPECT_EQ(surface.pages, 2);
        const auto page2 = surface.textsOnPage(2);
        ASSERT_EQ(page2.size(), 1u);
        EXPECT_EQ(page2[0].text, "052 Kontakt 52");
        EXPECT_EQ(page2[0].y, 72);
    }
    {
        // Later pages start at 6 mm with no heading and hold 51 entries down to 256 mm.
        RecordingPrintSurface surface(300, 300);
        drawContactList(surface, font, entries(103));
        EXPECT_EQ(surface.pages, 3);
        const auto page2 = surface.textsOnPage(2);
        ASSERT_EQ(page2.size(), 51u);
        EXPECT_EQ(page2.front().text, "052 Kontakt 52");
        EXPECT_EQ(page2.back().y, 256 * 12);
        EXPECT_EQ(surface.textsOnPage(3).at(0).y, 72);
    }
}

TEST(ContactListPrintout, HeadingIsBoldAndLargerEntriesKeepTheStoredStyle)
{
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    storeFont(font, FontChoice{0x000000FF, "Arial", 10, FontStyle::Italic | FontStyle::Underline});

    RecordingPrintSurface surface(600, 300);
    drawContactList(surface, font, entries(2));
    ASSERT_EQ(surface.texts.size(), 3u);
    const auto& heading = surface.texts[0];
    EXPECT_EQ(heading.face, "Arial");
    EXPECT_EQ(heading.height, -62); // 15 pt at 300 dpi down the page
    EXPECT_EQ(heading.style, FontStyle::Bold);
    EXPECT_EQ(heading.x, 240);
    for (int i = 1; i <= 2; ++i) {
        const auto& line = surface.texts[i];
        EXPECT_EQ(line.face, "Arial");
        EXPECT_EQ(line.height, -42);
        EXPECT_EQ(line.style, FontStyle::Italic | FontStyle::Underline);
        EXPECT_EQ(line.colour, 0x000000FF);
    }
}

TEST(ContactListPrintout, HandlerPrintsWithTheFontChosenLastWithoutRestart)
{
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    storeFont(font, FontChoice{0, "Arial", 10, 0});
    Printed printed;
    // Another window stores a new choice; the running program's memory is not told.
    CurrentPrintFont elsewhere;
    storeFont(elsewhere, FontChoice{0x00800000, "Courier New", 12, FontStyle::Bold});

    printContactList(printed.platform, font, entries(1));
    EXPECT_TRUE(printed.platform.errors.empty());
    EXPECT_EQ(printed.platform.printerRequests, 1);
    ASSERT_EQ(printed.surface.texts.size(), 2u);
    EXPECT_EQ(printed.surface.texts[1].face, "Courier New");
    EXPECT_EQ(printed.surface.texts[1].height, -50);
    EXPECT_EQ(printed.surface.texts[1].colour, 0x00800000);
    EXPECT_EQ(printed.surface.jobsEnded, 1);
}

TEST(ContactListPrintout, CancelledDialogPrintsNothing)
{
    TempFolder folder({"FONT"});
    ScriptedPlatform platform;
    platform.printerFactory = [] { return nullptr; }; // the dialog is cancelled
    CurrentPrintFont font;
    writeBytes(folder / "FONT" / kPrintFontFile, std::vector<std::uint8_t>(10, 0));
    printContactList(platform, font, entries(3));
    EXPECT_EQ(platform.printerRequests, 1);
    EXPECT_TRUE(platform.errors.empty()); // the font file is not even read
}

TEST(ContactListPrintout, ShortFontFileStopsBeforePrinting)
{
    TempFolder folder({"FONT"});
    const std::vector<std::uint8_t> shortFile(40, 0x01);
    writeBytes(folder / "FONT" / kPrintFontFile, shortFile);
    Printed printed;
    CurrentPrintFont font;
    printContactList(printed.platform, font, entries(3));

    ASSERT_EQ(printed.platform.errors.size(), 1u);
    EXPECT_EQ(printed.platform.errors[0].path().filename(), kPrintFontFile);
    EXPECT_TRUE(printed.surface.calls.empty());
    EXPECT_EQ(readBytes(folder / "FONT" / kPrintFontFile), shortFile);
}

TEST(ContactListPrintout, PrinterFailuresAreReportedAndNoJobStaysOpen)
{
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    {
        Printed printed;
        printed.surface.failBeginJob = true;
        printContactList(printed.platform, font, entries(3));
        ASSERT_EQ(printed.platform.errors.size(), 1u);
        EXPECT_FALSE(printed.surface.jobOpen());
        EXPECT_TRUE(printed.surface.texts.empty());
    }
    {
        // A page that cannot start abandons the job rather than leaving it open.
        Printed printed;
        printed.surface.failNewPage = true;
        printContactList(printed.platform, font, entries(60));
        ASSERT_EQ(printed.platform.errors.size(), 1u);
        EXPECT_FALSE(printed.surface.jobOpen());
        EXPECT_EQ(printed.surface.jobsAborted, 1);
        EXPECT_EQ(printed.surface.jobsEnded, 0);
    }
}

// The font file is looked for in the program folder, whatever is current.
TEST(ContactListPrintout, FontComesFromTheProgramFolderWhateverIsCurrent)
{
    TempFolder folder({"FONT"});
    PrintFontRecord record;
    record.setFace("Courier");
    record.setPoints(9);
    writeBytes(folder / "FONT" / kPrintFontFile, std::vector<std::uint8_t>(record.bytes().begin(), record.bytes().end()));
    CurrentPrintFont font(folder.path());
    std::filesystem::create_directory(folder / "siec");
    std::filesystem::current_path(folder / "siec");

    Printed printed;
    printContactList(printed.platform, font, entries(3));
    EXPECT_TRUE(printed.platform.errors.empty());
    EXPECT_EQ(printed.surface.jobsStarted, 1);
    EXPECT_EQ(font.face(), "Courier");
}

TEST(ContactListPrintout, FontButtonReportsAMissingFontFolder)
{
    TempFolder folder; // the installation's FONT folder is missing
    ScriptedPlatform platform;
    platform.fontAnswers.push_back(FontChoice{0, "Arial", 10, 0});
    CurrentPrintFont font;
    choosePrintFont(platform, font);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(font.face(), "");
}

} // namespace
} // namespace wirtello
