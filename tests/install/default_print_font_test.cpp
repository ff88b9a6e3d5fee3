#include "print/print_font.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace wirtello {
namespace {

// The print font file a new program folder gets is the one the program itself
// writes when the user chooses Arial, 10 points, black, no style.
TEST(DefaultPrintFont, ShippedFileIsWhatTheProgramWritesForArial10Black)
{
    test::TempFolder folder({"FONT"});
    CurrentPrintFont font;
    ZapiszFonty(font, kPrintFontFile, [](const FontChoice&) { return FontChoice{0, "Arial", 10, 0}; });
    EXPECT_EQ(test::readBytes(WIRTELLO_DEFAULT_PRINT_FONT), test::readBytes(folder / "FONT" / kPrintFontFile));
}

} // namespace
} // namespace wirtello
