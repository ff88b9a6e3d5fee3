// The Windows command-line splitter: any line splits without fault; words
// quoted by our writer split back unchanged; the words of a split line,
// quoted again, split to the same words; and every companion command line
// gives back the texts it was built from.
#include "platform/command_line.h"
#include "companions/companion_command.h"
#include "fuzz/fuzz_support.h"
#include "store/cp1250.h"

using namespace wirtello;

namespace {

// The program name takes quotes only as grouping: it is quoted whole when it
// holds a blank (it never holds a quote after a split).
std::string programWord(const std::string& program)
{
    if (!program.empty() && program.find_first_of(" \t") == std::string::npos)
        return program;
    return "\"" + program + "\"";
}

void checkArbitraryLine(std::string_view line)
{
    const std::vector<std::string> words = splitWindowsCommandLine(line);
    if (words.empty()) {
        FUZZ_CHECK(line.find_first_not_of(" \t") == std::string_view::npos);
        return;
    }
    FUZZ_CHECK(words[0].find('"') == std::string::npos);
    std::string again = programWord(words[0]);
    for (std::size_t i = 1; i < words.size(); ++i)
        again += " " + windowsArgument(words[i]);
    FUZZ_CHECK(splitWindowsCommandLine(again) == words);
}

void checkQuotedWords(fuzz::Input& input)
{
    std::string program = input.text(40);
    std::erase(program, '"');
    if (program.find_first_not_of(" \t") == std::string::npos)
        program = "p" + program;
    std::vector<std::string> words{program};
    std::string line = programWord(program);
    while (!input.empty()) {
        const bool alwaysQuoted = input.byte() & 1;
        words.push_back(input.text(64));
        line += alwaysQuoted ? " " + quotedWindowsArgument(words.back()) : "  " + windowsArgument(words.back());
    }
    // A program name with blanks only at its ends loses them to the split.
    if (program.front() != ' ' && program.front() != '\t')
        FUZZ_CHECK(splitWindowsCommandLine(line) == words);
}

void checkCompanionLines(fuzz::Input& input)
{
    CompanionInputs inputs;
    const int button = input.byte() % 9;
    inputs.selectedEntry = input.text(200);
    inputs.firstName = input.text(40);
    inputs.surname = input.text(40);
    inputs.mail = input.text(80);
    inputs.stored = {input.text(40), input.text(40), input.text(60), input.text(60)};
    const CompanionLaunch launch = companionLaunch(static_cast<CompanionButton>(button), inputs);
    if (!launch.commandLine)
        return;
    const std::vector<std::string> words = splitWindowsCommandLine(*launch.commandLine);
    FUZZ_CHECK(!words.empty());
    const std::string entry = toCp1250(*inputs.selectedEntry);
    // Every text lands whole in some word: the split gives back what was put in.
    auto inSomeWord = [&](const std::string& cp1250) {
        for (const std::string& word : words)
            if (word.find(cp1250) != std::string::npos)
                return true;
        return false;
    };
    switch (static_cast<CompanionButton>(button)) {
    case CompanionButton::Notes:
        FUZZ_CHECK(words.size() == 3 && words[1] == entry && words[2] == entry.substr(0, 3));
        break;
    case CompanionButton::Comments:
    case CompanionButton::DocumentRegister:
        FUZZ_CHECK(words.size() == 3 && words[1].substr(0, entry.substr(0, 3).size()) == entry.substr(0, 3));
        FUZZ_CHECK(inSomeWord(toCp1250(inputs.firstName) + " " + toCp1250(inputs.surname) + " "));
        break;
    case CompanionButton::TaskCalendar:
        FUZZ_CHECK(words.size() == 4);
        FUZZ_CHECK(words[2] == toCp1250(inputs.stored.firstLine) + " " + toCp1250(inputs.stored.secondLine) + " ");
        FUZZ_CHECK(words[3] == toCp1250(inputs.stored.town) + " " + toCp1250(inputs.stored.street));
        break;
    case CompanionButton::Mail:
        FUZZ_CHECK(words.size() == 2 && toCp1250(inputs.mail).starts_with(words[1]));
        FUZZ_CHECK(launch.commandLine->size() <= kMailLineLimit);
        break;
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    switch (input.byte() % 3) {
    case 0: {
        const auto rest = input.rest();
        checkArbitraryLine(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
        break;
    }
    case 1:
        checkQuotedWords(input);
        break;
    default:
        checkCompanionLines(input);
    }
    return 0;
}
