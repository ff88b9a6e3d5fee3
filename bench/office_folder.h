#pragma once

// A program folder as an office has it after a while of use: the installation's
// subfolders, the default contact picture and a contact database of 501 filled
// contacts.

#include "store/contact_database.h"

#include <filesystem>
#include <string>

namespace wirtello::bench {

// A database whose first `contacts` slots hold filled-in contacts.
ContactDatabase officeDatabase(int contacts = kSlotCount);

// Makes (or remakes) a program folder under the temporary folder and returns it.
std::filesystem::path makeOfficeFolder(const std::string& name, int contacts = kSlotCount);

// The default contact picture shipped with the program.
std::filesystem::path defaultPicturePath();

} // namespace wirtello::bench
