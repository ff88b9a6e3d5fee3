#pragma once

// What the restore's check and its moves share; not for other callers.

#include "zip_archive.h"

#include "store/restore_journal.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {


struct PlannedFile {
    ArchiveEntry entry;
    std::filesystem::path target;
};

struct PlannedFolder {
    ArchiveEntry entry;
    std::filesystem::path target;
};

struct RestorePlan {
    std::vector<PlannedFile> files; // sorted by target, each target once
    std::vector<PlannedFolder> folders;
    std::uint64_t unpackedBytes = 0;
};

// Everything checkArchive checks, with the targets it found.
RestorePlan planRestore(const std::filesystem::path& archive, const std::filesystem::path& programFolder);

// Unpacks the planned files into the staging folder ("0", "1"... in plan
// order); `step` is called after each. Data that does not match its length or
// checksum raises IoError naming the archive.
void unpackPlanned(const std::filesystem::path& archive, const std::vector<PlannedFile>& files,
                   const StagingFolder& staging, const std::function<void()>& step);

// `base` + `suffix` in `folder`, or with "-2", "-3"... before the suffix when taken.
std::filesystem::path freeName(const std::filesystem::path& folder, const std::string& base,
                               const std::string& suffix);

} // namespace wirtello
