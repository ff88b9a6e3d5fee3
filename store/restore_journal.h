#pragma once

// A restore of an archive moves many files into the program folder; a kill or
// a power cut half way would leave folders half old, half new. So the moves
// are first written down in a journal in the restore's staging folder, flushed
// to disk, and only then made; whoever starts next in the program folder (the
// archiver or the program) finishes what a journal describes, or undoes it.
// Used by the archiver and by the program's start; plain C++.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The staging folders' names start so: hidden, and no archive may use them.
inline constexpr std::string_view kStagingPrefix = ".skarbiec-przywracanie-";

// One file of a restore: unpacked under `staged` in the staging folder and
// moved to `target`; a file already at `target` is first moved to `kept`.
// Paths are '/'-separated below the program folder.
struct JournalFile {
    std::string staged;
    std::string target;
    std::string kept; // empty when no file is replaced
};

struct RestoreJournal {
    std::string archiveName;             // for messages
    std::string keptFolder;              // where replaced files go; empty when none is
    std::vector<std::string> newFolders; // folders the restore makes, in the order made
    std::vector<JournalFile> files;
};

// The hidden folder inside the program folder that a restore unpacks into,
// made anew and locked while it lives, so no other start takes the restore
// for one that was cut off; removed with what it holds when destroyed.
class StagingFolder {
public:
    StagingFolder(const std::filesystem::path& programFolder, const std::string& stamp);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The staging folder, held open.
    int descriptor() const { return folder_; }

private:
    std::filesystem::path programFolder_;
    std::filesystem::path path_;
    int folder_ = -1;
    int lock_ = -1;
};

// Writes the journal into the staging folder as a record is written: complete
// and on disk when this returns, or not there at all. Raises IoError.
void writeRestoreJournal(const std::filesystem::path& staging, const RestoreJournal& journal);

// Makes the journal's folders, then each move that is not made yet, in order;
// what is made is seen on disk (a staged file gone is in place, a kept file
// there was moved aside), so this also carries on a restore cut off anywhere.
// Raises IoError at the first move that fails. `placed` is called after each file.
void rollForward(const std::filesystem::path& programFolder, const std::filesystem::path& staging,
                 const RestoreJournal& journal, const std::function<void()>& placed = {});

// Takes back every move made, last first: a placed file goes back to the
// staging folder, a kept one to its place; then the folders made, when empty.
// Returns the kept files that could not be moved back.
std::vector<std::filesystem::path> rollBack(const std::filesystem::path& programFolder,
                                            const std::filesystem::path& staging, const RestoreJournal& journal);

// What a start found of a restore that was cut off and what it did.
struct InterruptedRestore {
    enum class Outcome {
        Finished,     // every file of the archive is in place
        Undone,       // finishing failed; every file is as before the restore
        NothingMoved, // cut off before its journal was written: only unpacked files were removed
        Left,         // its journal could not be read: nothing was touched
    };
    Outcome outcome = Outcome::NothingMoved;
    std::filesystem::path staging;
    std::string archiveName;
    std::size_t fileCount = 0;
    std::filesystem::path keptFolder;
    std::string failure;                          // why finishing failed, or why the journal was not read
    std::vector<std::filesystem::path> notPutBack; // of an undone restore
};

// Finishes (or, when that fails, undoes) each restore of the program folder
// that was cut off, and removes the staging folders holding no journal. A
// restore still running in another process is left alone. Never throws.
std::vector<InterruptedRestore> finishInterruptedRestores(const std::filesystem::path& programFolder);

// What the user is told of them, in Polish; empty when there is nothing to tell.
std::string interruptedRestoresText(const std::vector<InterruptedRestore>& restores);

// Test seam: called before each move of rollForward with its number (0, 1...
// in the journal's order, a kept file's move before its placing) and once
// more after the last move with the number of moves. Production code never sets it.
void setRestoreStepHookForTests(std::function<void(std::size_t step)> hook);

} // namespace wirtello
