#include "import_plan.h"

#include "store/contact_database.h"
#include "store/cp1250.h"
#include "store/safe_file.h"

#include <algorithm>

namespace wirtello {

StoredTextChange storedTextChange(std::string_view utf8, std::size_t capacity)
{
    // One Windows-1250 byte per code point, so the n-th byte kept is the n-th
    // code point of the text.
    const std::string stored = toCp1250(utf8);
    StoredTextChange change;
    change.cut = stored.size() > capacity;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < std::min(stored.size(), capacity); ++i) {
        const std::size_t start = pos;
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        // A malformed sequence is one byte to the converter; find its real end.
        if (toCp1250(utf8.substr(start, std::min(length, utf8.size() - start))).size() != 1)
            length = 1;
        pos = std::min(start + length, utf8.size());
        if (stored[i] == '?' && utf8[start] != '?')
            ++change.replaced;
    }
    return change;
}

ImportPlan planImport(const std::vector<ImportedContact>& contacts, std::size_t room)
{
    ImportPlan plan;
    const std::size_t taken = std::min(room, contacts.size());
    plan.leftOut = contacts.size() - taken;
    // The display text is the three-digit id, a blank and the name.
    const std::size_t nameCapacity = contactArrayLayout(ContactField::Display).capacity - 4;
    const auto count = [&plan](std::string_view text, std::size_t capacity) {
        const StoredTextChange change = storedTextChange(text, capacity);
        plan.cutFields += change.cut ? 1 : 0;
        plan.replacedCharacters += change.replaced;
    };
    for (std::size_t i = 0; i < taken; ++i) {
        const ImportedContact& c = contacts[i];
        ContactBook::NewContact added{c.name, c.card, c.photoPath};
        count(c.name, nameCapacity);
        for (std::size_t f = 0; f < kCardFields.size(); ++f)
            count(c.card[f], contactArrayLayout(kCardFields[f]).capacity);
        if (!c.photoPath.empty()) {
            // A photo path that cannot be stored as it is would name no file:
            // it is left out rather than kept broken.
            const StoredTextChange change = storedTextChange(c.photoPath, contactArrayLayout(ContactField::PhotoPath).capacity);
            if (change.cut || change.replaced > 0) {
                added.photoPath.clear();
                ++plan.cutFields;
            } else if (namesNonRegularFile(std::filesystem::path(c.photoPath))) {
                // Showing it would read "/dev/zero" or a pipe without end.
                added.photoPath.clear();
                ++plan.refusedPhotos;
            }
        }
        plan.contacts.push_back(std::move(added));
    }
    return plan;
}

} // namespace wirtello
