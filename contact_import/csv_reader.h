#pragma once

#include "imported_contact.h"

#include <string_view>

namespace wirtello {

// How a header column is read.
enum class CsvColumn {
    Ignored, DisplayName, FullName, GivenName, MiddleName, FamilyName, Organisation,
    Street, City, PostalCode, Phone, Fax, Mobile, Email, Web, Messenger, Photo,
    PhoneKind,  // the kind of the numbered phone of the same number ("Phone 1 - Type")
    KindPhone,  // a numbered phone whose kind stands in its own column ("Phone 1 - Value")
};

struct CsvColumnRole {
    CsvColumn column = CsvColumn::Ignored;
    int rank = 0;  // lower wins among columns of one kind that all hold a value
    int group = 0; // the address or numbered phone the column belongs to
};

// The role of a header name of the program's own export or of a common
// address book's export, in Polish or in English.
CsvColumnRole csvColumnRole(std::string_view header);

// Reads a UTF-8 CSV text: the first row names the columns, every further row
// not wholly empty is one contact, until `room` contacts are read. The
// separator (';', ',' or tab) is the one the header row uses most.
// A first row that names no known column is a ContactFileError.
ContactFileReading readCsv(std::string_view text, std::size_t room, const ImportProgress& progress);

} // namespace wirtello
