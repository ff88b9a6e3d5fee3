#pragma once

#include "archive_selection.h"

#include "store/companion_config.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// Called with the share done, 0.0 to 1.0.
using ArchiveProgress = std::function<void(double)>;

// "2026-12-07-101500" for the archive and the kept-files folder names.
std::string archiveStamp(const std::tm& localTime);

struct CreatedArchive {
    std::size_t fileCount = 0;
    std::filesystem::path file; // empty when no file was found: then nothing is written
    std::vector<std::string> outsidePatterns;
};

// Packs the files the record names into "Archiwa/wirtello-<stamp>.zip" of the
// program folder (a name already taken gets "-2", "-3"...). The archive is
// written to a temporary file and renamed when complete. Failures raise IoError.
CreatedArchive createArchive(const CompanionConfig& config, const std::filesystem::path& programFolder,
                             const std::string& stamp, const ArchiveProgress& progress = {});

// An archive holding a name that would land outside the folder it is restored into.
class RefusedArchive : public std::runtime_error {
public:
    explicit RefusedArchive(std::string entryName)
        : std::runtime_error("unsafe entry: " + entryName), entryName_(std::move(entryName)) {}
    const std::string& entryName() const { return entryName_; }

private:
    std::string entryName_;
};

// The components of an entry name below the restore folder, or nothing when
// the name is absolute ("/x", "\x", "C:x") or climbs out ("..").
std::optional<std::vector<std::string>> safeEntryPath(std::string_view name);

struct ArchiveEntry {
    std::uint64_t index = 0;
    std::string relativePath; // '/' separated, "." and empty components dropped
    bool isFolder = false;
    std::uint64_t size = 0;
    std::time_t modified = 0;
};

// Every entry of the archive, checked. An unsafe name raises RefusedArchive,
// an unreadable archive IoError.
std::vector<ArchiveEntry> readArchiveEntries(const std::filesystem::path& archive);

struct RestoredArchive {
    std::size_t fileCount = 0;
    std::size_t replacedCount = 0;
    // "Archiwa/przed-przywroceniem-<stamp>", holding the files that were
    // replaced at their own paths; empty when none was.
    std::filesystem::path keptFolder;
};

// Restores the archive into the program folder. Every entry is checked and
// unpacked (with its checksum) into a staging folder first, so an unsafe or
// damaged archive changes nothing; then each file that would be replaced is
// moved under the kept folder, and the unpacked files are moved into place.
RestoredArchive restoreArchive(const std::filesystem::path& archive, const std::filesystem::path& programFolder,
                               const std::string& stamp, const ArchiveProgress& progress = {});

} // namespace wirtello
