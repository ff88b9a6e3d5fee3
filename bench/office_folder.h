#pragma once

// A program folder as an office has it after a while of use: the installation's
// subfolders, the default contact picture and a contact database of 501 filled
// contacts.

#include "store/contact_database.h"

#include <filesystem>
#include <cstdint>
#include <string>
#include <vector>

namespace wirtello::bench {

// A database whose first `contacts` slots hold filled-in contacts.
ContactDatabase officeDatabase(int contacts = kSlotCount);

// Makes (or remakes) a program folder under the temporary folder and returns it.
std::filesystem::path makeOfficeFolder(const std::string& name, int contacts = kSlotCount);

// A photo-like 4000 x 3000 JPEG as a phone writes it: soft gradients with
// fine grain, quality 90.
std::vector<std::uint8_t> phonePhotoJpeg();

// The default contact picture shipped with the program.
std::filesystem::path defaultPicturePath();

} // namespace wirtello::bench
