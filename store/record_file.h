#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

namespace wirtello {

// Record files: fixed-size records, no header, record 0 only. Every failure
// raises IoError.

// Reads record 0. A file shorter than one record is an error; a longer one is
// read from its first record. Only a regular file is read, reached as
// confinedPath allows (store/safe_file.h).
std::vector<std::uint8_t> readRecord(const std::filesystem::path& path, std::size_t recordSize);

// Reads record 0 into `record` (whose size is the record size).
void readRecordInto(const std::filesystem::path& path, std::span<std::uint8_t> record);

// Replaces the file with exactly these bytes. The file's folder is reached and
// held open once (store/confined_folder.h); the bytes go to a temporary file
// of a unique name, created exclusively in that folder, are flushed to disk
// and renamed over the old file within it; then that folder is flushed so the
// rename survives a power cut. A folder swapped for a link meanwhile changes
// nothing: the file lands where it was checked. A failure at any step removes the temporary file and
// leaves the old file whole.
//
// An existing file that is read-only (its owner's write bit is off, as for
// every user including root) or not writable by this user is refused, not
// replaced. The replacement keeps the old file's permission bits. A symbolic
// link is followed as confinedPath allows: its final target is replaced and
// the link stays; a link leading out of its folder tree, or to nothing, is
// refused and nothing is written.
void writeRecord(const std::filesystem::path& path, std::span<const std::uint8_t> record);

// Copies a regular file of at most `maxBytes` (read as readRegularFile does)
// to `to`, written as writeRecord writes it: temporary file, flush, rename.
void copyFileBeneath(const std::filesystem::path& from, const std::filesystem::path& to, std::uintmax_t maxBytes);

// Creates the file holding `recordSize` zero bytes when no file exists there.
void createZeroRecordIfMissing(const std::filesystem::path& path, std::size_t recordSize);

// Removes temporary files left in `folder` (reached as confined_folder.h
// allows; one leading out is left alone) by writes of this program that did
// not finish (a crash or a power cut), when they are older than `minimumAge`,
// so a write still in progress in another copy of the program is never
// disturbed. Never throws; returns how many files were removed.
std::size_t removeStaleTemporaryFiles(const std::filesystem::path& folder,
                                      std::chrono::seconds minimumAge = std::chrono::minutes(1));

// Whether `name` is a file name of this program's temporary files.
bool isTemporaryFileName(const std::filesystem::path& name);

// The single temporary name earlier versions used for `path`. Writes no longer
// use it; its leftovers are removed by removeStaleTemporaryFiles too.
std::filesystem::path temporaryPathFor(const std::filesystem::path& path);

// The steps of a record write, for tests that make one of them fail.
enum class RecordWriteStep { CreateTemporary, WriteBytes, FlushBytes, SetPermissions, Close, Rename, FlushFolder };

// Test seam: while set, each step of a write asks the hook first and fails as
// the operating system would when it returns false. Production code never sets it.
void setRecordWriteFaultForTests(std::function<bool(RecordWriteStep)> proceed);

// Test seam: replaces the flush of the temporary file's bytes to disk (given
// its descriptor; false for a failure) until reset with an empty function.
void setRecordFlushForTests(std::function<bool(int descriptor)> flush);

} // namespace wirtello
