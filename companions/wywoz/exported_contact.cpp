#include "exported_contact.h"

#include "store/cp1250.h"

#include <algorithm>

namespace wirtello {

std::vector<ExportedContact> exportedContacts(const ContactDatabase& database)
{
    std::vector<ExportedContact> contacts;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!database.isUsed(slot))
            continue;
        // The id is the first three characters; Windows-1250 has one byte each.
        const std::string raw = database.rawText(ContactField::Display, slot);
        const std::size_t idLength = std::min<std::size_t>(3, raw.size());
        std::string rest = raw.substr(idLength);
        if (!rest.empty() && rest.front() == ' ')
            rest.erase(0, 1);
        ExportedContact c;
        c.id = fromCp1250(raw.substr(0, idLength));
        c.name = fromCp1250(rest);
        c.firstLine = database.text(ContactField::FirstLine, slot);
        c.secondLine = database.text(ContactField::SecondLine, slot);
        c.street = database.text(ContactField::Street, slot);
        c.town = database.text(ContactField::Town, slot);
        c.phone = database.text(ContactField::Phone, slot);
        c.fax = database.text(ContactField::Fax, slot);
        c.mobile = database.text(ContactField::Mobile, slot);
        c.email = database.text(ContactField::Email, slot);
        c.web = database.text(ContactField::Web, slot);
        c.messenger = database.text(ContactField::Messenger, slot);
        c.photoPath = database.text(ContactField::PhotoPath, slot);
        contacts.push_back(std::move(c));
    }
    return contacts;
}

} // namespace wirtello
