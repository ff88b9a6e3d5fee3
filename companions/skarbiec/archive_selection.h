#pragma once

#include "store/companion_config.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The folder below the program folder that holds the archives. It is never
// archived itself.
inline constexpr std::string_view kArchiveFolder = "Archiwa";

// Whether a file name matches a mask with '*' and '?', without regard to
// letter case. "*.*" matches every name, with or without a dot.
bool matchesMask(std::string_view name, std::string_view mask);

struct ArchiveFile {
    std::filesystem::path source;
    std::string entryName; // path below the program folder, '/' separated, on-disk spelling
};

struct ArchiveSelection {
    std::vector<ArchiveFile> files; // sorted by entry name, each once
    // Patterns that name no folder below the program folder.
    std::vector<std::string> outsidePatterns;
};

// The files that the record's patterns name: each pattern is a folder and a
// mask ("<program folder>\Admini\*.*"); the folder is found without regard to
// letter case, a missing one is skipped, and its subfolders are included.
// The companions' own folders (kCompanionDataFolders) are added, found the
// same way. Symbolic links are not followed.
ArchiveSelection selectArchiveFiles(const CompanionConfig& config, const std::filesystem::path& programFolder);

} // namespace wirtello
