#pragma once

#include "archive_selection.h"

#include "store/companion_config.h"
#include "store/io_error.h"
#include "store/restore_journal.h"

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
    std::vector<std::string> linksLeadingOut; // left out, as ArchiveSelection says
};

// Packs the files the record names into "Archiwa/wirtello-<stamp>.zip" of the
// program folder (a name already taken gets "-2", "-3"...). The archive is
// written to a temporary file in the held "Archiwa" folder and renamed when
// complete; an "Archiwa" leading out of the program folder is refused. Each
// file is opened from the held program folder when it is packed: one that a
// link leads out of the folder by then, or that is no regular file, fails the
// archive, which is then not written. Failures raise IoError.
CreatedArchive createArchive(const CompanionConfig& config, const std::filesystem::path& programFolder,
                             const std::string& stamp, const ArchiveProgress& progress = {});

// Limits of a restore, told to the user when an archive is over one. A
// restore unpacks at most kMaxUnpackedBytes, and more than kUncheckedBytes
// only from an archive at least 1/kMaxPackRatio of that size: the program's
// zero-filled records pack small, but an archive packed denser than that is
// built to fill the disk.
inline constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{2} << 30; // 2 GiB
inline constexpr std::uint64_t kUncheckedBytes = std::uint64_t{64} << 20;   // 64 MiB
inline constexpr std::uint64_t kMaxPackRatio = 100;

// "437 373 B", "1,5 MB", "2,0 GB".
std::string sizeText(std::uint64_t bytes);

// An archive that is not restored at all: a name that would land outside the
// program folder, clashes with another, is given twice or lies too deep, a
// link on the way out of the program folder, or an unpacked size over a limit
// or over the free space.
class RefusedArchive : public std::runtime_error {
public:
    // `reason` in Polish, for the user; `entryName` the entry it is about, if any.
    RefusedArchive(std::string entryName, std::string reason = "zawiera ścieżkę wychodzącą poza folder programu")
        : std::runtime_error(reason + ": " + entryName), entryName_(std::move(entryName)), reason_(std::move(reason))
    {
    }
    const std::string& entryName() const { return entryName_; }
    const std::string& reason() const { return reason_; }

private:
    std::string entryName_;
    std::string reason_;
};

// The components of an entry name below the restore folder, or nothing when
// the name is absolute ("/x", "\x", "C:x") or climbs out ("..").
std::optional<std::vector<std::string>> safeEntryPath(std::string_view name);

struct ArchiveEntry {
    std::uint64_t index = 0;
    std::string relativePath; // '/' separated, "." and empty components dropped
    bool isFolder = false;
    std::uint64_t size = 0; // as the archive states it; unpacking never writes more
    std::time_t modified = 0;
};

// Every entry of the archive, checked. Names without the UTF-8 flag are read
// in the DOS code pages (decodeDosEntryName). An unsafe name, a name given
// twice or one holding a NUL raises RefusedArchive, an unreadable archive IoError.
std::vector<ArchiveEntry> readArchiveEntries(const std::filesystem::path& archive);

struct ArchiveSummary {
    std::size_t fileCount = 0;
    std::uint64_t unpackedBytes = 0;
};

// Checks all that a restore into the program folder needs before it touches
// anything: names, clashes (a file "x" and an entry "x/y", a folder in place
// of a file), links that resolve outside the program folder on the way to a
// target, the unpacked size against the limits and the free space. Raises
// RefusedArchive or IoError; restoreArchive checks again.
ArchiveSummary checkArchive(const std::filesystem::path& archive, const std::filesystem::path& programFolder);

struct RestoredArchive {
    std::size_t fileCount = 0;
    std::size_t replacedCount = 0;
    // "Archiwa/przed-przywroceniem-<stamp>", holding the files that were
    // replaced at their own paths; empty when none was.
    std::filesystem::path keptFolder;
    // Restores cut off earlier, finished or undone before this one began.
    std::vector<InterruptedRestore> finishedBefore;
};

// A restore that failed while moving files into place and was undone: every
// file already moved is back where it was. `notPutBack` names the files that
// could not be moved back (they stay in the kept folder).
class UndoneRestore : public IoError {
public:
    UndoneRestore(const IoError& cause, std::vector<std::filesystem::path> notPutBack)
        : IoError(cause), notPutBack_(std::move(notPutBack)) {}
    const std::vector<std::filesystem::path>& notPutBack() const { return notPutBack_; }

private:
    std::vector<std::filesystem::path> notPutBack_;
};

// Restores the archive into the program folder as one step: restores cut off
// earlier are finished first (finishInterruptedRestores), then checkArchive,
// then every file unpacked (with its checksum) into a hidden staging folder
// inside the program folder, then the moves written to its journal and made:
// each file that would be replaced moved under the kept folder and the
// unpacked one moved into place, all from the held program folder. A failed
// move puts back what was moved and raises UndoneRestore. The staging folder
// is removed in every case but a kill, after which the next start of the
// archiver or the program finishes the restore.
RestoredArchive restoreArchive(const std::filesystem::path& archive, const std::filesystem::path& programFolder,
                               const std::string& stamp, const ArchiveProgress& progress = {});

} // namespace wirtello
