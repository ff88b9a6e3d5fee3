#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace wirtello {

inline constexpr std::size_t kCompanionConfigSize = 10452;

// The archiver's configuration record: 52 counted texts of capacity 200 naming
// the program folder and its subfolders. Folder names use this platform's
// separator and the spelling found on disk, so the archiver finds them on a
// case-sensitive file system.
std::vector<std::uint8_t> buildCompanionConfig(const std::filesystem::path& programFolder);

// The data folders the record names below the program folder, in field order.
std::vector<std::string> companionFolders();

// Writes "skarbiec_config.dat" into the program folder, whatever it held.
void writeCompanionConfig(const std::filesystem::path& programFolder);

// The record as the archiver reads it, texts in UTF-8.
struct CompanionConfig {
    std::string baseFolder;            // field 0: the program folder and a separator
    std::vector<std::string> patterns; // fields 1 to 50 that are not empty, in field order
    std::string programFolder;         // field 51
};

CompanionConfig parseCompanionConfig(std::span<const std::uint8_t> record);

// Reads "skarbiec_config.dat" of the program folder. A missing or short file raises IoError.
CompanionConfig readCompanionConfig(const std::filesystem::path& programFolder);

} // namespace wirtello
