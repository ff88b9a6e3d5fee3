#include "platform/program_finder.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace wirtello;
namespace fs = std::filesystem;

namespace {

void makeProgram(const fs::path& path, bool executable = true)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
}

} // namespace

TEST(ProgramFinder, OwnFolderFirstThenPathWithOrWithoutExe)
{
    test::TempFolder folder;
    const fs::path own = folder / "own";
    const fs::path bin1 = folder / "bin1";
    const fs::path bin2 = folder / "bin2";
    makeProgram(own / "wywoz");
    makeProgram(bin1 / "wywoz");
    makeProgram(bin1 / "uwagi.exe");
    makeProgram(bin2 / "uwagi");
    makeProgram(bin1 / "brulion", false); // not executable
    makeProgram(bin2 / "brulion");
    makeProgram(bin2 / "gnome-calculator");
    makeProgram(bin1 / "calc"); // a terminal calculator must not stand in for the desktop's
    const std::string path = ":relative:" + bin1.string() + "::" + bin2.string();

    const struct {
        std::string name;
        std::optional<fs::path> found;
    } rows[] = {
        {"wywoz.exe", own / "wywoz"},
        {"uwagi.exe", bin1 / "uwagi.exe"},
        {"brulion.exe", bin2 / "brulion"},
        {"calc.exe", bin2 / "gnome-calculator"},
        {"segregator.exe", std::nullopt},
        {(bin2 / "uwagi.exe").string(), bin2 / "uwagi"},
        {(bin1 / "brulion").string(), std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(findProgram(row.name, own, path), row.found);
    }
    // A PATH entry that is relative would depend on the current folder.
    makeProgram(folder / "relative" / "przeglad");
    EXPECT_EQ(findProgram("przeglad.exe", own, path), std::nullopt);
    EXPECT_EQ(findProgram("wywoz.exe", fs::path(), ""), std::nullopt);
}
