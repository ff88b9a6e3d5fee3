#include "platform/command_line.h"

#include <gtest/gtest.h>

using namespace wirtello;

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsRules)
{
    const struct {
        std::string line;
        Args args;
    } rows[] = {
        {"brulion.exe 001", {"brulion.exe", "001"}},
        {R"(  uwagi.exe "C:\Dane\Uwaga\001.kom"  x )", {"uwagi.exe", R"(C:\Dane\Uwaga\001.kom)", "x"}},
        {R"("C:\Program Files\a.exe" b)", {R"(C:\Program Files\a.exe)", "b"}},
        // The program name takes quotes only as grouping, backslashes as they are.
        {R"(C:\x\"a b".exe c)", {R"(C:\x\a b.exe)", "c"}},
        // 2n backslashes + quote: n backslashes and the quote toggles; 2n+1: a literal quote.
        {R"(p a\\"b c")", {"p", R"(a\b c)"}},
        {R"(p a\"b)", {"p", R"(a"b)"}},
        {R"(p a\b\ "")", {"p", R"(a\b\)", ""}},
        {R"(p "a""b")", {"p", R"(a"b)"}},
        {"p \"unclosed x", {"p", "unclosed x"}},
        // Shell characters are plain text: nothing here ever reaches a shell.
        {"p $(rm -rf x);`y` && z | w", {"p", "$(rm", "-rf", "x);`y`", "&&", "z", "|", "w"}},
        {"p a\nb", {"p", "a\nb"}},
        {"   ", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(splitWindowsCommandLine(row.line), row.args);
    }
}
