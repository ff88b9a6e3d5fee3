#include "store/paths.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using wirtello::test::TempFolder;

TEST(Paths, ExistingNamesAreFoundWithoutRegardToLetterCase)
{
    TempFolder folder({"ADMINI", "Notatki"});
    wirtello::test::writeBytes(folder / "ADMINI/Firma.DAT", {1});

    EXPECT_EQ(joinPath(folder.path(), "\\Admini\\firma.dat"), folder.path() / "ADMINI" / "Firma.DAT");
    EXPECT_EQ(joinPath(folder.path(), "/admini/historia.dat"), folder.path() / "ADMINI" / "historia.dat");
    EXPECT_EQ(joinPath(folder.path(), "NOTATKI\\x.dat"), folder.path() / "Notatki" / "x.dat");
}

TEST(Paths, MissingNamesKeepTheSpellingGiven)
{
    TempFolder folder;
    EXPECT_EQ(joinPath(folder.path(), "\\FONT\\font_zaplo_3906.dat"), folder.path() / "FONT" / "font_zaplo_3906.dat");
    EXPECT_EQ(joinPath(folder.path(), "skarbiec_config.dat"), folder.path() / "skarbiec_config.dat");
}

TEST(Paths, PolishLettersFoldToo)
{
    TempFolder folder({"ŻÓŁW"});
    EXPECT_EQ(joinPath(folder.path(), "żółw/a"), folder.path() / "ŻÓŁW" / "a");
}
