#include "companion_command.h"

#include "store/cp1250.h"

namespace wirtello {
namespace {

std::string notesLine(const std::string& entry)
{
    return "brulion.exe " + quotedWindowsArgument(entry) + " " + windowsArgument(contactIdOfEntry(entry));
}

std::string titledLine(std::string_view program, std::string_view extension, std::string_view title,
                       const std::string& entry, const CompanionInputs& inputs)
{
    const std::string text =
        std::string(title) + toCp1250(inputs.firstName) + " " + toCp1250(inputs.surname) + " ";
    return std::string(program) + " " + windowsArgument(contactIdOfEntry(entry) + std::string(extension)) + " " +
           quotedWindowsArgument(text);
}

std::string calendarLine(const std::string& entry, const StoredAddress& stored)
{
    const std::string names = toCp1250(stored.firstLine) + " " + toCp1250(stored.secondLine) + " ";
    const std::string place = toCp1250(stored.town) + " " + toCp1250(stored.street);
    return "kalendarium.exe " + windowsArgument(contactIdOfEntry(entry) + ".adr") + " " +
           quotedWindowsArgument(names) + "  " + quotedWindowsArgument(place);
}

// The longest start of the address whose line fits the limit, so that a cut
// never leaves a quote or an escape half written.
std::string mailLine(const std::string& mailCp1250)
{
    const std::string program = "listonosz.exe ";
    for (std::size_t length = mailCp1250.size();; --length) {
        std::string line = program + windowsArgument(std::string_view(mailCp1250).substr(0, length));
        if (line.size() <= kMailLineLimit || length == 0)
            return line;
    }
}

} // namespace

bool readsContactDatabase(CompanionButton button)
{
    return button == CompanionButton::AddressExport || button == CompanionButton::Archiver;
}

std::string contactIdOfEntry(std::string_view entryCp1250)
{
    return std::string(entryCp1250.substr(0, 3));
}

std::string quotedWindowsArgument(std::string_view text)
{
    std::string result = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            // Backslashes before a quote are doubled, and the quote escaped.
            result.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        result += c;
    }
    // Backslashes before the closing quote would escape it.
    result.append(backslashes, '\\');
    result += '"';
    return result;
}

std::string windowsArgument(std::string_view text)
{
    if (!text.empty() && text.find_first_of(" \t\"") == std::string_view::npos)
        return std::string(text);
    return quotedWindowsArgument(text);
}

CompanionLaunch companionLaunch(CompanionButton button, const CompanionInputs& inputs)
{
    CompanionLaunch launch;
    const std::optional<std::string> entry =
        inputs.selectedEntry ? std::optional<std::string>(toCp1250(*inputs.selectedEntry)) : std::nullopt;
    const bool ofTheContact = button == CompanionButton::Notes || button == CompanionButton::Comments ||
                              button == CompanionButton::DocumentRegister || button == CompanionButton::TaskCalendar;
    launch.contactMissing = ofTheContact && !entry;
    switch (button) {
    case CompanionButton::Scheduler:
        launch.commandLine = "grafik.exe \"Kalvaro\"";
        break;
    case CompanionButton::Notes:
        launch.programFolderFirst = true;
        if (entry)
            launch.commandLine = notesLine(*entry);
        break;
    case CompanionButton::Comments:
        if (entry)
            launch.commandLine = titledLine("uwagi.exe", ".kom", "Komentarze dla: ", *entry, inputs);
        break;
    case CompanionButton::DocumentRegister:
        if (entry)
            launch.commandLine =
                titledLine("segregator.exe", ".lis", toCp1250("Rejestr dokumentów dla: "), *entry, inputs);
        break;
    case CompanionButton::TaskCalendar:
        launch.programFolderFirst = true;
        if (entry)
            launch.commandLine = calendarLine(*entry, inputs.stored);
        break;
    case CompanionButton::TaskReader:
        launch.programFolderFirst = true;
        launch.commandLine = "przeglad.exe *.adr";
        break;
    case CompanionButton::Mail:
        if (!inputs.mail.empty()) {
            launch.programFolderFirst = true;
            launch.commandLine = mailLine(toCp1250(inputs.mail));
        }
        break;
    case CompanionButton::Archiver:
        launch.programFolderFirst = true;
        launch.commandLine = "skarbiec.exe";
        break;
    case CompanionButton::AddressExport:
        launch.programFolderFirst = true;
        launch.commandLine = "wywoz.exe a";
        break;
    }
    return launch;
}

} // namespace wirtello
