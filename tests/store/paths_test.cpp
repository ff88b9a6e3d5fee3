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

TEST(Paths, StoredPathsFindTheirFilesBelowTheProgramFolder)
{
    // {root} stands for the temporary folder; the program folder is {root}/program.
    TempFolder root({"program", "program/logo", "program/Wirtello", "program/Wirtello/FOTO", "program/FOTO",
                     "program/zdjęcia", "program/Stare", "outside"});
    const std::filesystem::path base = root / "program";
    for (const char* file : {"program/logo/Anna.JPG", "program/Wirtello/FOTO/ewa.jpg", "program/FOTO/ewa.jpg",
                             "program/zdjęcia/Łucja.jpg", "program/basia.jpg", "secret.jpg", "outside/x.jpg"})
        wirtello::test::writeBytes(root / file, {0xFF, 0xD8});

    struct Row {
        const char* stored;
        const char* expected; // below {root}; "" for an empty result
    };
    const Row rows[] = {
        {"C:\\Wirtello\\LOGO\\anna.jpg", "program/logo/Anna.JPG"},
        {"c:/wirtello/logo/ANNA.jpg", "program/logo/Anna.JPG"},
        {"\\\\serwer\\dane\\Wirtello\\LOGO\\anna.jpg", "program/logo/Anna.JPG"},
        {"LOGO\\anna.jpg", "program/logo/Anna.JPG"},
        {"C:\\Wirtello\\\\LOGO\\.\\anna.jpg", "program/logo/Anna.JPG"},
        {"{root}/elsewhere/Wirtello/LOGO/anna.jpg", "program/logo/Anna.JPG"}, // a moved folder of this system
        {"C:\\Wirtello\\basia.jpg", "program/basia.jpg"},
        {"C:basia.jpg", "program/basia.jpg"},
        {"D:\\Stare\\basia.jpg", "program/basia.jpg"},                // "Stare" exists but holds no such file
        {"C:\\Dane\\Wirtello\\FOTO\\ewa.jpg", "program/Wirtello/FOTO/ewa.jpg"}, // the longest tail wins
        {"C:\\Wirtello\\ZDJĘCIA\\łucja.JPG", "program/zdjęcia/Łucja.jpg"},
        {"{root}/outside/x.jpg", "outside/x.jpg"},                    // an existing absolute path as written
        // Nothing found: an absolute path as written, anything else below the program folder.
        {"{root}/outside/y.jpg", "outside/y.jpg"},
        {"C:\\Wirtello\\LOGO\\nikt.jpg", "program/Wirtello/LOGO/nikt.jpg"},
        {"C:\\Wirtello\\LOGO", "program/Wirtello/LOGO"},               // a folder is no file
        {"..\\secret.jpg", "program/secret.jpg"},                     // never above the program folder
        {"C:\\Wirtello\\..\\..\\secret.jpg", "program/secret.jpg"},
        {"", ""},
    };
    for (const Row& row : rows) {
        std::string stored = row.stored;
        if (const size_t at = stored.find("{root}"); at != std::string::npos)
            stored.replace(at, 6, root.path().string());
        const std::filesystem::path expected = *row.expected ? root / row.expected : std::filesystem::path();
        EXPECT_EQ(resolveStoredPath(base, stored), expected) << row.stored;
    }
}
