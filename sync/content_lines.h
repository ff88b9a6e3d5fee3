#pragma once

// A small model of vCard and iCalendar text (content lines), enough to compare
// two cards by content and to change single properties of a card while every
// other line stays as the server wrote it. The project's vCard import maps a
// card onto the contact record and drops what the record cannot hold, so the
// sync keeps its own model: properties it does not know pass through untouched.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wirtello::sync {

// "group.NAME;PARAM=value;...:value", unfolded. Names are kept upper case;
// parameter values and the value are kept as written (escapes included).
struct ContentLine {
    std::string group;
    std::string name;
    std::vector<std::pair<std::string, std::string>> params;
    std::string value;

    bool operator==(const ContentLine&) const = default;
};

// Unfolds the text (CRLF or LF line ends, continuation lines starting with a
// blank or a tab) and splits every line. A line without a colon is kept as a
// property of that name with an empty value; empty lines are dropped.
std::vector<ContentLine> parseContentLines(std::string_view text);

// CRLF line ends, lines folded at 75 octets without splitting a UTF-8 sequence.
std::string writeContentLines(const std::vector<ContentLine>& lines);

// A form of the text in which the server's rewrites that change nothing of
// substance read equal: line folding and ends, letter case of names, the order
// of parameters, of properties within each component and of components
// (recurrence exceptions, alarms); PRODID, REV, DTSTAMP and LAST-MODIFIED are
// left out. Two texts have the same content when their canonical forms are equal.
std::string canonicalContent(std::string_view text);

bool sameContent(std::string_view a, std::string_view b);

// The first UID of the text (a card's, or a calendar's first component's).
std::optional<std::string> firstUid(std::string_view text);

// The text with a UID line after its first BEGIN line when it has none.
std::string withUid(std::string_view text, const std::string& uid);

// Values longer than this are kept in the sync state as a digest only (photos, mostly).
inline constexpr std::size_t kDigestAbove = 1024;

// The text with every value longer than kDigestAbove replaced by
// "x-wirtello-digest:<FNV-1a 64 in hex>:<length>", which stands for it in
// comparisons; the text as it is when it has no such value.
std::string digestedText(std::string_view text);

bool isDigest(std::string_view value);

// The digest `value` has in a digested text (itself when short).
std::string digestOf(const std::string& value);

// Splits a value at its unescaped ";" (structured values: N, ADR, ORG).
std::vector<std::string> splitComponents(std::string_view value);
std::string joinComponents(const std::vector<std::string>& components);

} // namespace wirtello::sync
