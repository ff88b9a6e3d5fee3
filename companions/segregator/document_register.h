#pragma once

#include "companions/companion_kit/companion_files.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
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

// Which row is which while rows move and equal rows exist; a row keeps its
// key when it is changed.
using RowKey = std::uint64_t;

// Rows kept sorted by date; rows of one date stay in the order they came.
class DocumentRegister {
public:
    DocumentRegister() = default;
    explicit DocumentRegister(std::vector<RegisterRow> rows);

    const std::vector<RegisterRow>& rows() const { return rows_; }
    RowKey keyAt(std::size_t index) const { return keys_.at(index); }
    std::optional<std::size_t> indexOf(RowKey key) const;
    // Each returns the position the row now has.
    std::size_t add(RegisterRow row);
    std::size_t replace(std::size_t index, RegisterRow row);
    void remove(std::size_t index);

private:
    std::size_t insert(RegisterRow row, RowKey key);

    std::vector<RegisterRow> rows_;
    std::vector<RowKey> keys_; // beside rows_
    RowKey nextKey_ = 1;
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

// Reads the register file into `rows` (CR LF line ends are taken too): an
// empty file is an empty register. Every row that reads is kept; the first
// line that does not is named with the reason. A file without the heading
// line gives no rows.
std::optional<DocumentProblem> readRegister(std::string_view text, std::vector<RegisterRow>& rows);

// The whole file as readRegister reads it, or RegisterFormatError naming the
// first line it refuses.
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
