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
    // Folders and files (below the program folder, '/' separated, sorted)
    // left out because they are links, or a link on their way, leading out of
    // the program folder.
    std::vector<std::string> linksLeadingOut;
};

// Whether `folder` lies in the program folder with every link on its way
// resolved; a dangling link on the way counts as outside.
bool staysInside(const std::filesystem::path& folder, const std::filesystem::path& programFolder);

// The files that the record's patterns name: each pattern is a folder and a
// mask ("<program folder>\Admini\*.*"); the folder is found without regard to
// letter case, a missing one is skipped, and its subfolders are included.
// The companions' own folders (kCompanionDataFolders) are added, found the
// same way. Links to files and folders below them are not followed; a folder
// reached through a link leading out of the program folder is left out whole.
ArchiveSelection selectArchiveFiles(const CompanionConfig& config, const std::filesystem::path& programFolder);

} // namespace wirtello
