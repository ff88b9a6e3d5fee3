#pragma once

#include "companions/companion_command.h"

#include <QString>

#include <filesystem>
#include <string>

namespace wirtello {

class ContactBook;
class Platform;

// The first line, second line, street and town of a slot as stored; empty
// for no slot (-1).
StoredAddress storedAddress(const ContactBook& book, int slot);

// What a companion is started with: the entry and stored address of `slot`
// (none for -1) read from the book, and the card's texts as they are shown.
CompanionInputs companionInputs(const ContactBook& book, int slot, std::string firstName, std::string surname,
                                std::string mail);

// Starts the companion program of a main window button, detached, with the
// program folder as its working folder. Buttons that work in the program
// folder raise IoError when it cannot be reached, and start nothing. A button
// of the selected contact with none selected says "Wybierz kontakt z listy.";
// an empty `mail` starts and shows nothing, and so does a program installed
// nowhere. True when a program was started.
bool startCompanion(Platform& platform, const std::filesystem::path& programFolder, CompanionButton button,
                    const CompanionInputs& inputs);

// "Strona www": opens the text of the `www` edit in the browser when it is a
// web address; anything else is refused with a message. Nothing for an
// empty text, and nothing shown when no browser takes the address.
void openWebPage(Platform& platform, const QString& www);

} // namespace wirtello
