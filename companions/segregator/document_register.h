#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The register of documents exchanged with one contact, as an office keeps it.

enum class Direction { Incoming, Outgoing };

// "przychodzący" / "wychodzący", as shown and as stored.
std::string_view directionName(Direction direction);

struct RegisterRow {
    std::chrono::year_month_day date{};
    Direction direction = Direction::Incoming;
    std::string sign;       // the document's sign or number, "KP/12/2026"
    std::string title;
    std::string note;       // may hold line breaks
    std::string attachment; // a stored path (see attachmentReference), empty for none

    bool operator==(const RegisterRow&) const = default;
};

// "2026-12-07"; nothing for anything else, including dates that do not exist.
std::optional<std::chrono::year_month_day> parseIsoDate(std::string_view text);
std::string isoDate(std::chrono::year_month_day date);

// Rows kept sorted by date; rows of one date stay in the order they came.
class DocumentRegister {
public:
    DocumentRegister() = default;
    explicit DocumentRegister(std::vector<RegisterRow> rows);

    const std::vector<RegisterRow>& rows() const { return rows_; }
    // Each returns the position the row now has.
    std::size_t add(RegisterRow row);
    std::size_t replace(std::size_t index, RegisterRow row);
    void remove(std::size_t index);

private:
    std::vector<RegisterRow> rows_;
};

// The register file: UTF-8 text, first line "Rejestr dokumentów 1", then one
// line per row of six fields separated by tabs: date (yyyy-mm-dd), direction,
// sign, title, note, attached file. In the texts a backslash, tab, line feed
// and carriage return are written "\\", "\t", "\n", "\r".
std::string formatRegister(const std::vector<RegisterRow>& rows);

// A file that does not read as the format above.
class RegisterFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An empty file is an empty register; anything else must be the format above
// (CR LF line ends are taken too).
std::vector<RegisterRow> parseRegister(std::string_view text);

// Whether the row is shown under the filter: of `direction` when one is given,
// and holding `query` in its date, sign, title, note or file, compared without
// regard to letter case or Polish marks ("lecka" finds "Łęcka").
bool rowMatches(const RegisterRow& row, std::optional<Direction> direction, std::string_view query);

// How an attached file is stored: below the program folder as a path relative
// to it with "/" separators (so a moved or restored folder still finds it),
// elsewhere as the absolute path.
std::string attachmentReference(const std::filesystem::path& programFolder, const std::filesystem::path& file);
// The file a stored reference names.
std::filesystem::path attachmentPath(const std::filesystem::path& programFolder, std::string_view reference);

} // namespace wirtello
