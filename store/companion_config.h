#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace wirtello {

inline constexpr std::size_t kCompanionConfigSize = 10452;

// The archiver's configuration record: 52 counted texts of capacity 200 naming
// the program folder and its subfolders. Folder names use this platform's
// separator and the spelling found on disk, so the archiver finds them on a
// case-sensitive file system.
std::vector<std::uint8_t> buildCompanionConfig(const std::filesystem::path& programFolder);

// Writes "skarbiec_config.dat" into the program folder, whatever it held.
void writeCompanionConfig(const std::filesystem::path& programFolder);

} // namespace wirtello
