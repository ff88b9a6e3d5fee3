#include "cash/editor_printout.h"
#include "cash/text_lines.h"

#include "store/io_error.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;
using Lines = std::vector<std::string>;

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

TEST(EditorTextFile, ReadsAnyLineEndingAndWritesWindows1250WithCrLf)
{
    struct Case {
        std::string onDisk;
        Lines lines;
        std::string written;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"Wp\xB3" "ata\r\nZwrot\r\n", {"Wpłata", "Zwrot"}, "Wp\xB3" "ata\r\nZwrot\r\n"},
        {"a\nb\rc", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
        {"a\r\n\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"\r\n", {""}, "\r\n"},
        {"\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xAF", {"ąćęłńóśźż ĄŻ"}, "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xAF\r\n"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        writeBytes(folder / "t.dat", bytesOf(c.onDisk));
        EXPECT_EQ(readTextLines(folder / "t.dat"), c.lines) << c.onDisk;
        writeTextLines(folder / "t.dat", c.lines);
        EXPECT_EQ(readBytes(folder / "t.dat"), bytesOf(c.written)) << c.onDisk;
        // What the memo shows of the lines comes back as the same lines.
        EXPECT_EQ(splitEditedText(joinEditedText(c.lines)), c.lines) << c.onDisk;
    }
    writeTextLines(folder / "t.dat", {"日 €"});
    EXPECT_EQ(readBytes(folder / "t.dat"), bytesOf("? \x80\r\n"));
    EXPECT_EQ(splitEditedText("a\nb"), (Lines{"a", "b"}));

    EXPECT_THROW(readTextLines(folder / "brak.dat"), IoError);
    EXPECT_THROW(writeTextLines(folder / "DOKUMENTY" / "kptresc.dat", {"a"}), IoError);
}

TEST(EditorPrintout, FiftyOneLinesAPageHeadingOnTheFirstOnly)
{
    struct Case {
        int lines;
        int pages;
        int onLastPage; // texts, the heading included
        int lastY;      // page millimetres
    };
    const Case cases[] = {
        {0, 1, 1, 6}, {1, 1, 2, 16}, {51, 1, 52, 266}, {52, 2, 1, 6}, {102, 2, 51, 256}, {103, 3, 1, 6},
    };
    CurrentPrintFont font;
    for (const Case& c : cases) {
        Lines lines;
        for (int i = 1; i <= c.lines; ++i)
            lines.push_back("Treść " + std::to_string(i));
        RecordingPrintSurface surface(180, 300); // 7 dots a millimetre across, 12 down
        drawEditorText(surface, font, "Edytor stałej treści", lines);
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(surface.jobsEnded, 1);
        EXPECT_EQ(surface.misuses, 0);
        EXPECT_EQ(surface.pages, c.pages);
        const auto heading = surface.texts.front();
        EXPECT_EQ(heading.text, "Edytor stałej treści");
        EXPECT_EQ(heading.page, 1);
        EXPECT_EQ(heading.style, FontStyle::Bold);
        EXPECT_EQ(heading.y, 72);
        const auto last = surface.textsOnPage(c.pages);
        ASSERT_EQ(static_cast<int>(last.size()), c.onLastPage);
        EXPECT_EQ(last.back().x, 70);
        EXPECT_EQ(last.back().y, c.lastY * 12);
        if (c.lines > 0) {
            EXPECT_EQ(last.back().text, lines.back());
        }
    }
}

} // namespace
} // namespace wirtello
