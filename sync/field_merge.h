#pragma once

#include <string>
#include <string_view>

namespace wirtello::sync {

// The card to send when a contact changed here: `server`, the card as the
// server has it, with only the properties changed between `baseLocal` (this
// copy's card at the last sync) and `local` (its card now) changed, so what
// the contact record cannot hold (a second phone, a birthday, letters outside
// Windows-1250, texts longer than their field, any property unknown here)
// stays as the server has it.
//
// Property by property (BEGIN, END, VERSION, UID, PRODID and REV excepted):
// values equal in both local cards are left alone; a changed one replaces the
// server property it was read from, found by its value, then by the value as
// the record shows it (cut to its field, or "?" for a letter Windows-1250
// lacks), then by the same parameters; a structured value (N, ADR, ORG)
// changes only the components that changed here, and changed parameters
// replace the server's. Within a changed text, what the user left as it was
// keeps the server's letters: a surname typed after a first name shown as
// "Zo?" goes out as "Zoë Nowak"; a text cut to its field keeps its unseen end
// unless the user changed the end. A property added here is added after the server's
// ones of its name; one removed here removes the server property it was read
// from. Nothing found on the server for a changed property adds it.
// `baseLocal` may hold digests of long values (as the sync state keeps it):
// a value of `local` with the same digest counts as unchanged.
std::string mergeChangedFields(std::string_view server, std::string_view baseLocal, std::string_view local);

} // namespace wirtello::sync
