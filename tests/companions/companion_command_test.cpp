#include "platform/command_line.h"
#include "companions/companion_command.h"
#include "store/cp1250.h"

#include <gtest/gtest.h>

#include <functional>

using namespace wirtello;

namespace {

using Args = std::vector<std::string>;

// The selected entry 007 Przykładowa, its card saved as shown.
CompanionInputs example()
{
    CompanionInputs inputs;
    inputs.selectedEntry = "007 Przykładowa";
    inputs.firstName = "Anna Przykładowa";
    inputs.surname = "Kancelaria Prawna";
    inputs.mail = "anna@kancelaria.pl";
    inputs.stored = {"Anna Przykładowa", "Kancelaria Prawna", "Długa 5", "Gdańsk"};
    return inputs;
}

// The UTF-8 text of a Windows-1250 command line.
std::string lineOf(CompanionButton button, const CompanionInputs& inputs)
{
    const CompanionLaunch launch = companionLaunch(button, inputs);
    return launch.commandLine ? fromCp1250(*launch.commandLine) : std::string("<nic>");
}

Args argsOf(CompanionButton button, const CompanionInputs& inputs)
{
    const auto line = companionLaunch(button, inputs).commandLine;
    Args args = line ? splitWindowsCommandLine(*line) : Args{};
    for (auto& arg : args)
        arg = fromCp1250(arg);
    return args;
}

} // namespace

TEST(CompanionCommand, EveryButtonsLineForTheExampleContact)
{
    const struct {
        CompanionButton button;
        std::string line;
        bool programFolderFirst;
    } rows[] = {
        {CompanionButton::Scheduler, R"(grafik.exe "Kalvaro")", false},
        {CompanionButton::Notes, R"(brulion.exe "007 Przykładowa" 007)", true},
        {CompanionButton::Comments, R"(uwagi.exe 007.kom "Komentarze dla: Anna Przykładowa Kancelaria Prawna ")", false},
        {CompanionButton::DocumentRegister,
         R"(segregator.exe 007.lis "Rejestr dokumentów dla: Anna Przykładowa Kancelaria Prawna ")", false},
        {CompanionButton::TaskCalendar,
         R"(kalendarium.exe 007.adr "Anna Przykładowa Kancelaria Prawna "  "Gdańsk Długa 5")", true},
        {CompanionButton::TaskReader, "przeglad.exe *.adr", true},
        {CompanionButton::Mail, "listonosz.exe anna@kancelaria.pl", true},
        {CompanionButton::Archiver, "skarbiec.exe", true},
        {CompanionButton::AddressExport, "wywoz.exe a", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const CompanionLaunch launch = companionLaunch(row.button, example());
        ASSERT_TRUE(launch.commandLine);
        // Byte for byte in Windows-1250.
        EXPECT_EQ(*launch.commandLine, toCp1250(row.line));
        EXPECT_EQ(launch.programFolderFirst, row.programFolderFirst);
    }
}

TEST(CompanionCommand, CardTextsVersusStoredFields)
{
    CompanionInputs inputs = example();
    inputs.firstName = "Beata Nowa"; // typed, not saved
    EXPECT_EQ(lineOf(CompanionButton::Comments, inputs),
              R"(uwagi.exe 007.kom "Komentarze dla: Beata Nowa Kancelaria Prawna ")");
    EXPECT_EQ(lineOf(CompanionButton::TaskCalendar, inputs),
              R"(kalendarium.exe 007.adr "Anna Przykładowa Kancelaria Prawna "  "Gdańsk Długa 5")");

    inputs.stored.street.clear();
    inputs.stored.town.clear();
    EXPECT_EQ(lineOf(CompanionButton::TaskCalendar, inputs),
              R"(kalendarium.exe 007.adr "Anna Przykładowa Kancelaria Prawna "  " ")");

    inputs.mail = "to nie adres"; // started all the same; the composer judges it
    EXPECT_EQ(argsOf(CompanionButton::Mail, inputs), (Args{"listonosz.exe", "to nie adres"}));
}

TEST(CompanionCommand, OnlyTheMailLineIsCut)
{
    CompanionInputs inputs = example();
    inputs.mail = std::string(150, 'a') + "@" + std::string(150, 'b') + ".pl";
    const std::string line = *companionLaunch(CompanionButton::Mail, inputs).commandLine;
    EXPECT_EQ(line, ("listonosz.exe " + inputs.mail).substr(0, 200));

    // Cut inside quotes: still one argument, the start of the address.
    inputs.mail = "a \"b\" " + std::string(300, 'c');
    const std::string quoted = *companionLaunch(CompanionButton::Mail, inputs).commandLine;
    EXPECT_LE(quoted.size(), 200u);
    const Args args = splitWindowsCommandLine(quoted);
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(inputs.mail.substr(0, args[1].size()), args[1]);
    EXPECT_GT(args[1].size(), 150u);

    inputs.firstName = std::string(300, 'x');
    EXPECT_GT(companionLaunch(CompanionButton::Comments, inputs).commandLine->size(), 300u);
}

// Whatever a name, a card text or an address holds, it stays inside its own
// argument: the program is the one named and the arguments are the texts.
TEST(CompanionCommand, HostileTextsBecomeArgumentsAndNothingElse)
{
    const std::string hostile[] = {
        R"(a"b)",          R"(" ; rm -rf ~ ; ")", "$(touch pwned)", "`touch pwned`", "x && calc.exe",
        "x | sh",          "a;b",                 "line\nnext",     R"(C:\ends\)",     R"(\"quoted\")",
        R"(\\" "\\)",      "\"",                  "",               " \t ",            "100% & <b>",
    };
    using Set = std::function<void(CompanionInputs&, const std::string&)>;
    using Expect = std::function<Args(const std::string&)>;
    const struct {
        CompanionButton button;
        Set set;
        Expect expected;
    } rows[] = {
        {CompanionButton::Notes, [](auto& in, auto& t) { in.selectedEntry = "007 " + t; },
         [](auto& t) { return Args{"brulion.exe", "007 " + t, "007"}; }},
        {CompanionButton::Notes, [](auto& in, auto& t) { in.selectedEntry = t; },
         [](auto& t) { return Args{"brulion.exe", t, t.substr(0, 3)}; }},
        {CompanionButton::Comments, [](auto& in, auto& t) { in.firstName = t; },
         [](auto& t) { return Args{"uwagi.exe", "007.kom", "Komentarze dla: " + t + " Kancelaria Prawna "}; }},
        {CompanionButton::DocumentRegister, [](auto& in, auto& t) { in.surname = t; },
         [](auto& t) {
             return Args{"segregator.exe", "007.lis", "Rejestr dokumentów dla: Anna Przykładowa " + t + " "};
         }},
        {CompanionButton::TaskCalendar, [](auto& in, auto& t) { in.stored.secondLine = t; },
         [](auto& t) {
             return Args{"kalendarium.exe", "007.adr", "Anna Przykładowa " + t + " ", "Gdańsk Długa 5"};
         }},
        {CompanionButton::TaskCalendar, [](auto& in, auto& t) { in.stored.street = t; },
         [](auto& t) {
             return Args{"kalendarium.exe", "007.adr", "Anna Przykładowa Kancelaria Prawna ", "Gdańsk " + t};
         }},
        {CompanionButton::Mail, [](auto& in, auto& t) { in.mail = "x@y.pl" + t; },
         [](auto& t) { return Args{"listonosz.exe", "x@y.pl" + t}; }},
    };
    for (const auto& text : hostile) {
        for (const auto& row : rows) {
            SCOPED_TRACE(lineOf(row.button, example()) + " with [" + text + "]");
            CompanionInputs inputs = example();
            row.set(inputs, text);
            EXPECT_EQ(argsOf(row.button, inputs), row.expected(text));
        }
    }
}
