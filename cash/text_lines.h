#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// Plain text files of the data folder ("kptresc.dat", "kwtresc.dat"):
// Windows-1250, one line per entry, lines ended by CR LF.

// How much of a text file a reader takes: bytes and lines, which bound the
// memory of a read to a small multiple of the file's size.
struct TextFileLimit {
    std::size_t bytes;
    std::size_t lines;
};
// The fixed contents offered by "Wstaw treść": a short pick list.
inline constexpr TextFileLimit kFixedContentsLimit{256 * 1024, 5'000};
// A text opened in the text editor.
inline constexpr TextFileLimit kEditedTextLimit{1024 * 1024, 50'000};

// The file's lines as UTF-8. A line ends at CR LF, LF or a lone CR; a last
// line without an ending counts, a file ending in a line ending adds no empty
// line after it. A file that cannot be read, is no regular file, or is over
// the limit raises IoError naming it.
std::vector<std::string> readTextLines(const std::filesystem::path& path, TextFileLimit limit = kEditedTextLimit);

// Replaces the file atomically with the lines (UTF-8), each converted to
// Windows-1250 and followed by CR LF. No lines: an empty file. A failure
// raises IoError and leaves the old file whole.
void writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Creates an empty file when none exists there.
void createEmptyTextFileIfMissing(const std::filesystem::path& path);

// Lines of an edited text: split at line feeds, a final line feed ending the
// last line rather than starting an empty one.
std::vector<std::string> splitEditedText(std::string_view text);
// The inverse: every line followed by a line feed.
std::string joinEditedText(const std::vector<std::string>& lines);

} // namespace wirtello
