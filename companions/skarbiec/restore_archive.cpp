#include "restore_plan.h"

#include "store/paths.h"
#include "store/restore_journal.h"
#include "store/safe_file.h"

#include <set>
#include <system_error>

#include <unistd.h>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

// The moves of the plan: each file that would be replaced goes under the kept
// folder at its own path, then the unpacked one into place; the folders that
// are missing on the way are made first.
RestoreJournal journalOf(const RestorePlan& plan, const fs::path& archive, const fs::path& programFolder,
                         const std::string& stamp)
{
    RestoreJournal journal;
    journal.archiveName = archive.filename().string();
    const fs::path keptFolder = freeName(joinPath(programFolder, kArchiveFolder), "przed-przywroceniem-" + stamp, "");
    std::set<fs::path> listed;
    auto relative = [&](const fs::path& path) { return path.lexically_relative(programFolder).generic_string(); };
    auto addFolders = [&](const fs::path& folder) {
        fs::path path = programFolder;
        for (const auto& part : folder.lexically_relative(programFolder)) {
            path /= part;
            std::error_code ec;
            if (listed.contains(path) || fs::exists(fs::symlink_status(path, ec)))
                continue;
            listed.insert(path);
            journal.newFolders.push_back(relative(path));
        }
    };
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const fs::path& target = plan.files[i].target;
        JournalFile file{std::to_string(i), relative(target), {}};
        std::error_code ec;
        if (fs::exists(fs::symlink_status(target, ec))) {
            const fs::path kept = keptFolder / target.lexically_relative(programFolder);
            addFolders(kept.parent_path());
            file.kept = relative(kept);
            journal.keptFolder = relative(keptFolder);
        }
        addFolders(target.parent_path());
        journal.files.push_back(std::move(file));
    }
    for (const PlannedFolder& folder : plan.folders)
        addFolders(folder.target);
    return journal;
}

} // namespace

RestoredArchive restoreArchive(const fs::path& archive, const fs::path& programFolder, const std::string& stamp,
                               const ArchiveProgress& progress)
{
    // Every move is made from the held program folder, never through a link leading out.
    trustFolderTree(programFolder);
    RestoredArchive result;
    result.finishedBefore = finishInterruptedRestores(programFolder);
    const RestorePlan plan = planRestore(archive, programFolder);
    const double steps = static_cast<double>(plan.files.size()) * 2 + 1;
    double done = 0;
    auto step = [&] {
        if (progress)
            progress(++done / steps);
    };

    // Everything is unpacked and checked before the first file is touched.
    StagingFolder staging(programFolder, stamp);
    unpackPlanned(archive, plan.files, staging, step);
    // The unpacked files reach the disk before the journal that moves them into place.
    ::syncfs(staging.descriptor());

    // The moves are on disk before the first is made: a restore cut off here
    // on is finished (or undone) by the next start.
    const RestoreJournal journal = journalOf(plan, archive, programFolder, stamp);
    writeRestoreJournal(staging.path(), journal);
    try {
        rollForward(programFolder, staging.path(), journal, step);
    } catch (const IoError& error) {
        throw UndoneRestore(error, rollBack(programFolder, staging.path(), journal));
    }
    result.fileCount = journal.files.size();
    for (const JournalFile& file : journal.files)
        result.replacedCount += file.kept.empty() ? 0 : 1;
    if (!journal.keptFolder.empty())
        result.keptFolder = programFolder / journal.keptFolder;
    if (progress)
        progress(1.0);
    return result;
}

} // namespace wirtello
