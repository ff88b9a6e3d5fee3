#pragma once

#include "store/contact_database.h"

#include <filesystem>
#include <string>
#include <vector>

namespace wirtello {

// One used slot of the contact database, as UTF-8 texts.
struct ExportedContact {
    std::string id;   // the first three characters of the display text
    std::string name; // the display text after the id and its blank
    std::string firstLine;
    std::string secondLine;
    std::string street;
    std::string town;
    std::string phone;
    std::string fax;
    std::string mobile;
    std::string email;
    std::string web;
    std::string messenger;
    std::string photoPath;
};

// Every used slot in slot order. Free slots between used ones (a file not
// written by this program) are passed over, not taken as the end.
std::vector<ExportedContact> exportedContacts(const ContactDatabase& database);

} // namespace wirtello
