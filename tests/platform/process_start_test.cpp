#include "platform/qt_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

using namespace wirtello;
namespace fs = std::filesystem;

TEST(FileFilter, WindowsFilterBecomesQtFilter)
{
    EXPECT_EQ(toQtFileFilter(QStringLiteral("Zdjęcia cyfrowe|*.jpg")), QStringLiteral("Zdjęcia cyfrowe (*.jpg)"));
    EXPECT_EQ(toQtFileFilter(QStringLiteral("A|*.a;*.b|B|*.pro")), QStringLiteral("A (*.a *.b);;B (*.pro)"));
}

namespace {

std::string waitForFile(const fs::path& path)
{
    for (int i = 0; i < 200 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

// A real program started the real way: each text arrives as one argument and
// nothing in it is ever run by a shell.
TEST(QtPlatformExec, StartsTheProgramDirectlyInTheWorkingFolder)
{
    test::TempFolder folder({"program", "work"});
    const fs::path script = folder / "program" / "uwagi.exe";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$PWD\" > pwd.txt\n"
                             "printf '%s\\0' \"$@\" > args.tmp && mv args.tmp args.txt\n";
    fs::permissions(script, fs::perms::owner_all);
    const fs::path before = fs::current_path();

    QtPlatform platform;
    const QString line = QStringLiteral("\"%1\" 007.kom \"Komentarze dla: $(touch pwned); `touch pwned` && "
                                        "touch pwned | x \\\"Łódź\\\" \"")
                             .arg(QString::fromStdString(script.string()));
    ASSERT_TRUE(platform.exec(line, folder / "work"));
    const std::string args = waitForFile(folder / "work" / "args.txt");
    std::string expected = "007.kom";
    expected += '\0';
    expected += "Komentarze dla: $(touch pwned); `touch pwned` && touch pwned | x \"Łódź\" ";
    expected += '\0';
    EXPECT_EQ(args, expected);
    EXPECT_EQ(waitForFile(folder / "work" / "pwd.txt"), (folder / "work").string() + "\n");
    EXPECT_FALSE(fs::exists(folder / "work" / "pwned"));
    EXPECT_EQ(fs::current_path(), before);

    EXPECT_FALSE(platform.exec(QStringLiteral("nie-ma-takiego-programu.exe x"), folder / "work"));
    EXPECT_FALSE(platform.exec(QStringLiteral("   "), folder / "work"));
}
