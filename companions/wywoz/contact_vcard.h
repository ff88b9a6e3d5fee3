#pragma once

#include "exported_contact.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// Value encodings of vCard 4.0. The card library checks every value against
// the vCard grammar but leaves escaping to its caller.

// A text value: backslash, comma and line breaks escaped; other control
// characters dropped (the grammar has no place for them).
std::string vcardText(std::string_view utf8);
// One component of a structured value (N, ADR, ORG): a text with ';' escaped too.
std::string vcardComponent(std::string_view utf8);

// Bytes outside the URI characters percent-encoded; ',' and ';' as well, since
// readers split values at them. Existing "%XX" escapes are kept.
std::string percentEncodeUri(std::string_view utf8);

// The same URI with everything after "scheme:" or "scheme://" percent-encoded
// but letters, digits, "-._~" and '/': valid whatever the text held.
std::string strictUri(std::string_view uri);

// "example.pl" -> "http://example.pl"; an address with "scheme://" keeps it.
// A host of other than ASCII characters is written in its ASCII form
// ("przykład.pl" -> "xn--przykad-rjb.pl"), as the web page button opens it.
std::string webAddressUri(std::string_view text);
// "12345" -> "im:12345"; a text that starts with a scheme ("xmpp:") keeps it.
std::string messengerUri(std::string_view text);
// The photo the program shows for a stored path, as a "file://localhost/..."
// reference: the file found for it below the program folder (a path written
// on another computer finds its file there), else the path as stored, a
// relative one below the program folder; "C:\Dane\a.jpg" found nowhere
// becomes "file://localhost/C:/Dane/a.jpg".
std::string photoUri(std::string_view stored, const std::filesystem::path& programFolder);

// "Anna Maria Przykładowa" -> given "Anna Maria", family "Przykładowa".
struct PersonName {
    std::string given;
    std::string family;
};
PersonName splitPersonName(std::string_view firstLine);

struct VcardExport {
    std::string text;                 // UTF-8, CRLF lines, folded at 75 octets between characters
    std::vector<std::string> skipped; // "007 Przykładowa: www" for values the grammar refused
};

// One vCard 4.0 per contact: FN, N, ORG, ADR, TEL (voice, fax, cell), EMAIL,
// URL, IMPP, PHOTO; empty fields are left out.
VcardExport buildVcards(const std::vector<ExportedContact>& contacts, const std::filesystem::path& programFolder);

} // namespace wirtello
