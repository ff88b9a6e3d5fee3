#include "contact_mapping.h"

#include "import_text.h"

namespace wirtello {

ImportedContact CardValues::contact() const
{
    ImportedContact out;
    for (std::size_t i = 0; i < card.size(); ++i)
        out.card[i] = oneLine(card[i]);
    out.photoPath = oneLine(photoPath);
    const std::string display = oneLine(fullName);
    std::string& firstLine = out.card[static_cast<std::size_t>(Field::FirstLine)];
    const std::string& institution = out.card[static_cast<std::size_t>(Field::SecondLine)];
    // A company's card names the company as its display name too.
    if (firstLine.empty() && !hasPersonName && !institution.starts_with(display))
        firstLine = display;

    out.name = display;
    for (const Field fallback : {Field::FirstLine, Field::SecondLine, Field::Email, Field::Phone, Field::Mobile}) {
        if (out.name.empty())
            out.name = out.card[static_cast<std::size_t>(fallback)];
    }
    return out;
}

} // namespace wirtello
