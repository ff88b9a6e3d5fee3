#pragma once

#include "imported_contact.h"

#include "store/contact_book.h"

#include <vector>

namespace wirtello {

// What an import will add and what the user is told about it.
struct ImportPlan {
    std::vector<ContactBook::NewContact> contacts;
    // Texts longer than their field, cut when stored (the name counts as one).
    std::size_t cutFields = 0;
    // Characters Windows-1250 cannot hold, stored as '?'.
    std::size_t replacedCharacters = 0;
    // Read contacts left out for want of room.
    std::size_t leftOut = 0;
    // Photo paths left out because they name a device, a pipe or a folder.
    std::size_t refusedPhotos = 0;
};

// Takes at most `room` contacts, in file order, and counts what storing them
// will cut and replace.
ImportPlan planImport(const std::vector<ImportedContact>& contacts, std::size_t room);

// How storing a UTF-8 text into a field of `capacity` bytes changes it.
struct StoredTextChange {
    bool cut = false;
    std::size_t replaced = 0; // within the part that is kept
};
StoredTextChange storedTextChange(std::string_view utf8, std::size_t capacity);

} // namespace wirtello
