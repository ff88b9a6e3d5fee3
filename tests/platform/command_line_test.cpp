#include "platform/command_line.h"
#include "platform/qt_platform.h"

#include <gtest/gtest.h>

using namespace wirtello;

TEST(CommandLine, SplitsByTheWindowsRules)
{
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("brulion.exe 001")),
              (QStringList{"brulion.exe", "001"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("  uwagi.exe \"C:\\Dane\\Uwaga\\001.kom\"  x ")),
              (QStringList{"uwagi.exe", "C:\\Dane\\Uwaga\\001.kom", "x"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("\"C:\\Program Files\\a.exe\" b")),
              (QStringList{"C:\\Program Files\\a.exe", "b"}));
}

TEST(CommandLine, BackslashesAndQuotesInArguments)
{
    // 2n backslashes + quote: n backslashes, quote toggles; 2n+1: literal quote.
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("p a\\\\\"b c\"")), (QStringList{"p", "a\\b c"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("p a\\\"b")), (QStringList{"p", "a\"b"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("p a\\b\\ \"\"")), (QStringList{"p", "a\\b\\", ""}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("p \"a\"\"b\"")), (QStringList{"p", "a\"b"}));
    // Shell characters are plain text: nothing here is ever given to a shell.
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("p $(rm -rf x);`y`")),
              (QStringList{"p", "$(rm", "-rf", "x);`y`"}));
    EXPECT_TRUE(splitWindowsCommandLine(QStringLiteral("   ")).isEmpty());
}

TEST(FileFilter, WindowsFilterBecomesQtFilter)
{
    EXPECT_EQ(toQtFileFilter(QStringLiteral("Zdjęcia cyfrowe|*.jpg")), QStringLiteral("Zdjęcia cyfrowe (*.jpg)"));
    EXPECT_EQ(toQtFileFilter(QStringLiteral("A|*.a;*.b|B|*.pro")), QStringLiteral("A (*.a *.b);;B (*.pro)"));
}
