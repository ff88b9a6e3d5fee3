#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wirtello {

// The main window's buttons that start a companion program.
enum class CompanionButton {
    Scheduler,        // "Terminarz"
    Notes,            // "Notatki"
    Comments,         // "Komentarze"
    DocumentRegister, // "Rejestr dokumentów"
    TaskCalendar,     // "Kalendarz zadań"
    TaskReader,       // "Czytnik zadań"
    Mail,             // "Wyślij pocztę"
    Archiver,         // "Archiwa"
    AddressExport,    // "Eksport adresów"
};

// The stored address lines of the selected slot, as last saved.
struct StoredAddress {
    std::string firstLine;
    std::string secondLine;
    std::string street;
    std::string town;
};

// What the command lines are built from; UTF-8 texts.
struct CompanionInputs {
    // The selected list entry's whole text ("007 Przykładowa"); none when nothing is selected.
    std::optional<std::string> selectedEntry;
    // The card's edits `imie`, `nazwisko` and `mail` as they stand, saved or not.
    std::string firstName;
    std::string surname;
    std::string mail;
    StoredAddress stored;
};

struct CompanionLaunch {
    // The program folder must be reachable before anything else happens; when
    // it is not, the button reports it and starts nothing.
    bool programFolderFirst = false;
    // Windows-1250 bytes; none when the button's need is not met.
    std::optional<std::string> commandLine;
    // The button works on the selected contact and none is selected.
    bool contactMissing = false;
};

// The e-mail line is the only one cut, to this many characters.
inline constexpr std::size_t kMailLineLimit = 200;

// Builds the command line of a button. Every text lands inside the argument
// it belongs to: quotes and backslashes in it are escaped so that the Windows
// splitting rules give it back unchanged, whatever it holds.
CompanionLaunch companionLaunch(CompanionButton button, const CompanionInputs& inputs);

// The address export and the archiver read the contact database file, which
// holds only what was last stored: the caller stores the book before starting
// them, so that they see the contacts added or edited in this run.
bool readsContactDatabase(CompanionButton button);

// The first three characters of an entry's text.
std::string contactIdOfEntry(std::string_view entryCp1250);

// `text` as one argument: as it stands when it holds no blank, tab or quote
// and is not empty, otherwise in quotes with its quotes escaped.
std::string windowsArgument(std::string_view text);
// `text` in quotes, escaped so that the splitter reads it back as one argument.
std::string quotedWindowsArgument(std::string_view text);

} // namespace wirtello
