#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace wirtello {

// The first three lines of the downloaded "27.txt" (Windows-1250 on disk, UTF-8
// here). A missing line reads as the empty text.
struct UpdateInfo {
    std::string referenceVersion;
    std::string kindLetter;
    std::string downloadText;
};

// Reads the file as text; IoError when it cannot be read or is over 16 KB.
UpdateInfo readUpdateInfo(const std::filesystem::path& path);

enum class UpdateOutcome {
    None,          // an unknown kind letter with a matching version: nothing to say
    UpToDate,      // "k" and the same version
    FreeUpdate,    // "d" and the same version
    PaidUpdate,    // any other version, even one differing only in letter case
};

UpdateOutcome compareUpdate(std::string_view installedVersion, const UpdateInfo& info);

} // namespace wirtello
