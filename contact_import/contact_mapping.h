#pragma once

#include "imported_contact.h"

#include <string>

namespace wirtello {

// The values found for one contact, and the rules that turn them into the
// list's name and the card (the same for vCard and CSV).
struct CardValues {
    enum class Field { FirstLine, SecondLine, Street, Town, Phone, Fax, Mobile, Email, Web, Messenger };

    // The display name the file gives ("FN", "Nazwa", "Display Name").
    std::string fullName;
    // Whether the file has a place of its own for the person's name (CSV
    // columns); without one the display name stands in for an empty first
    // card line, unless it only repeats the institution.
    bool hasPersonName = false;
    std::array<std::string, 10> card;
    std::string photoPath;

    void set(Field field, std::string value) { card[static_cast<std::size_t>(field)] = std::move(value); }
    const std::string& get(Field field) const { return card[static_cast<std::size_t>(field)]; }

    // The list's name is the display name, else the person, the institution,
    // the e-mail or a phone number; empty when the contact holds nothing.
    ImportedContact contact() const;
};

} // namespace wirtello
