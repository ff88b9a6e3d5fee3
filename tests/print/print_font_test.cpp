#include "print/print_font.h"

#include "store/io_error.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// A font dialog answered in advance; records what it was shown.
struct Dialog {
    std::deque<std::optional<FontChoice>> answers;
    std::vector<FontChoice> shown;
    FontChooser chooser()
    {
        return [this](const FontChoice& initial) {
            shown.push_back(initial);
            auto answer = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return answer;
        };
    }
};

const FontChoice kArial{0x000000FF, "Arial", 12, FontStyle::Bold | FontStyle::Italic};

std::filesystem::path fontFile(const TempFolder& folder)
{
    return folder / "FONT" / kPrintFontFile;
}

TEST(PrintFont, ConfirmedChoiceWritesTheRecordByteForByte)
{
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    Dialog dialog;
    dialog.answers.push_back(kArial);
    ZapiszFonty(font, kPrintFontFile, dialog.chooser());

    // With no file the dialog opens at its own first font.
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0], (FontChoice{kWindowTextColour, "Tahoma", 8, 0}));

    std::vector<std::uint8_t> expected(76, 0);
    expected[0] = 0xFF;
    expected[4] = 5;
    for (int i = 0; i < 5; ++i)
        expected[5 + i] = static_cast<std::uint8_t>("Arial"[i]);
    expected[68] = 12;
    expected[72] = 0x03;
    EXPECT_EQ(readBytes(fontFile(folder)), expected);

    EXPECT_EQ(font.face(), "Arial");
    EXPECT_EQ(font.size(), 12);
    EXPECT_EQ(font.style(), 0x03);
    EXPECT_EQ(font.colour(), 0x000000FF);

    // The next dialog in this run shows the font chosen last.
    dialog.answers.push_back(std::nullopt);
    std::filesystem::remove(fontFile(folder));
    ZapiszFonty(font, kPrintFontFile, dialog.chooser());
    EXPECT_EQ(dialog.shown.at(1), kArial);
}

TEST(PrintFont, CancellingLeavesFileAndMemoryAlone)
{
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    Dialog dialog;
    ZapiszFonty(font, kPrintFontFile, dialog.chooser()); // cancelled
    EXPECT_FALSE(std::filesystem::exists(fontFile(folder)));

    std::vector<std::uint8_t> stored(76, 0xAB);
    stored[4] = 3; // "\xAB\xAB\xAB"
    writeBytes(fontFile(folder), stored);
    ZapiszFonty(font, kPrintFontFile, dialog.chooser());
    EXPECT_EQ(readBytes(fontFile(folder)), stored);
    EXPECT_EQ(font.face(), "");
    EXPECT_EQ(font.size(), 0);
}

TEST(PrintFont, DialogIsPrefilledFromTheFileAndPaddingSurvivesRewrite)
{
    TempFolder folder({"font"}); // folder names are found without regard to case
    std::vector<std::uint8_t> stored(76, 0);
    stored[0] = 0x00; stored[1] = 0x80; // green
    stored[4] = 0; // empty face: the dialog keeps its own
    stored[65] = 0x11; stored[66] = 0x22; stored[67] = 0x33;
    stored[68] = 14;
    stored[72] = FontStyle::Underline;
    stored[73] = 0x44; stored[75] = 0x55;
    writeBytes(folder / "font" / kPrintFontFile, stored);

    CurrentPrintFont font;
    Dialog dialog;
    dialog.answers.push_back(FontChoice{0x00FF0000, "Times New Roman", 9, 0});
    ZapiszFonty(font, kPrintFontFile, dialog.chooser());

    EXPECT_EQ(dialog.shown.at(0), (FontChoice{0x00008000, "Tahoma", 14, FontStyle::Underline}));
    const auto written = readBytes(folder / "font" / kPrintFontFile);
    ASSERT_EQ(written.size(), 76u);
    EXPECT_EQ(written[65], 0x11);
    EXPECT_EQ(written[67], 0x33);
    EXPECT_EQ(written[73], 0x44);
    EXPECT_EQ(written[75], 0x55);
    EXPECT_EQ(written[68], 9);
    EXPECT_EQ(written[72], 0);
    EXPECT_EQ(test::countedAt(written, 4), "Times New Roman");
}

TEST(PrintFont, ReadingTakesTheWholeRecordOrNothing)
{
    TempFolder folder({"FONT"});
    CurrentPrintFont font;
    CzytajFonty(font, kPrintFontFile); // no file: nothing changes
    EXPECT_EQ(font.face(), "");
    EXPECT_EQ(font.colour(), 0);

    Dialog dialog;
    dialog.answers.push_back(kArial);
    ZapiszFonty(font, kPrintFontFile, dialog.chooser());

    // A short file is an error; memory and file stay as they were.
    const std::vector<std::uint8_t> shortFile(75, 0x07);
    writeBytes(fontFile(folder), shortFile);
    EXPECT_THROW(CzytajFonty(font, kPrintFontFile), IoError);
    EXPECT_EQ(font.face(), "Arial");
    EXPECT_EQ(font.colour(), 0x000000FF);
    EXPECT_EQ(font.style(), 0x03);
    EXPECT_EQ(readBytes(fontFile(folder)), shortFile);
    EXPECT_THROW(ZapiszFonty(font, kPrintFontFile, dialog.chooser()), IoError);
    EXPECT_EQ(dialog.shown.size(), 1u); // the dialog was not shown for the broken file

    // A longer file is read from its first record; a length byte past the
    // capacity reads as the capacity.
    std::vector<std::uint8_t> longFile(100, 'x');
    longFile[4] = 200;
    longFile[68] = 10; longFile[69] = 0; longFile[70] = 0; longFile[71] = 0;
    writeBytes(fontFile(folder), longFile);
    CzytajFonty(font, kPrintFontFile);
    EXPECT_EQ(font.face(), std::string(60, 'x'));
    EXPECT_EQ(font.size(), 10);
}

TEST(PrintFont, LongFacesAreCutAndAFailedWriteChangesNothing)
{
    TempFolder folder; // no FONT folder
    CurrentPrintFont font;
    Dialog dialog;
    dialog.answers.push_back(FontChoice{0, std::string(70, 'F'), 10, 0});
    EXPECT_THROW(ZapiszFonty(font, kPrintFontFile, dialog.chooser()), IoError);
    EXPECT_EQ(font.face(), "");
    EXPECT_EQ(font.size(), 0);

    std::filesystem::create_directory(folder / "FONT");
    dialog.answers.push_back(FontChoice{0, std::string(70, 'F') + "ł", 10, 0});
    ZapiszFonty(font, kPrintFontFile, dialog.chooser());
    EXPECT_EQ(font.face(), std::string(60, 'F'));
    EXPECT_EQ(readBytes(fontFile(folder)).size(), 76u);
}

} // namespace
} // namespace wirtello
