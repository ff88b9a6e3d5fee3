#pragma once

#include "imported_contact.h"

#include <string_view>

namespace wirtello {

// Whether the text's first line that is not blank opens a vCard.
bool startsAsVcard(std::string_view text);

// Reads the vCards (versions 2.1, 3.0 and 4.0) of a text, one or many, until
// `room` contacts are read. Cards are checked by the vCard library; the older
// versions' quoted-printable values, character sets and bare type names are
// brought into the library's form first. Lines may end in CR LF, LF or CR;
// lines without a character set are UTF-8, or Windows-1250 when they are not.
ContactFileReading readVcards(std::string_view text, std::size_t room, const ImportProgress& progress);

} // namespace wirtello
