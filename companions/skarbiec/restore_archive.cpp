#include "restore_plan.h"

#include "store/paths.h"

#include <system_error>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

const char* const kKeepFailed = "Nie można przenieść pliku";

// The hidden folder inside the program folder that the archive is unpacked
// into, so that every move into place is a rename on one file system. It is
// removed with whatever it still holds when the restore ends, done or failed.
class StagingFolder {
public:
    StagingFolder(const fs::path& programFolder, const std::string& stamp)
    {
        removeLeftovers(programFolder);
        const std::string base = std::string(kStagingPrefix) + stamp;
        for (int n = 1;; ++n) {
            path_ = programFolder / (n == 1 ? base : base + "-" + std::to_string(n));
            std::error_code ec;
            // Made anew, never one that exists, a link included.
            if (fs::create_directory(path_, ec))
                return;
            if (ec || n == 1000)
                throw IoError(kFolderFailed, path_);
        }
    }
    ~StagingFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    // Those of a restore that was cut off, the program killed.
    static void removeLeftovers(const fs::path& programFolder)
    {
        std::error_code ec;
        for (fs::directory_iterator it(programFolder, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().filename().string().starts_with(kStagingPrefix)) {
                std::error_code ignored;
                fs::remove_all(it->path(), ignored);
            }
        }
    }

    fs::path path_;
};

// The changes of one restore, in order, so that they can be taken back.
class Moves {
public:
    explicit Moves(fs::path programFolder) : programFolder_(std::move(programFolder)) {}

    // Makes the folders of `folder` that are missing below the program folder.
    void makeFolders(const fs::path& folder)
    {
        fs::path path = programFolder_;
        for (const auto& part : folder.lexically_relative(programFolder_)) {
            path /= part;
            std::error_code ec;
            if (fs::is_directory(path, ec))
                continue;
            if (!fs::create_directory(path, ec) || ec)
                throw IoError(kFolderFailed, path);
            madeFolders_.push_back(path);
        }
    }

    // Moves the file at `target` aside to `kept`.
    void keep(const fs::path& target, const fs::path& kept)
    {
        rename(target, kept, kKeepFailed);
        kept_.push_back({target, kept});
        steps_.push_back(Step::Kept);
    }

    void place(const fs::path& staged, const fs::path& target)
    {
        rename(staged, target, kRestoreFailed);
        placed_.push_back(target);
        steps_.push_back(Step::Placed);
    }

    // Takes back every change, last first; returns the kept files that could
    // not be moved back.
    std::vector<fs::path> undo()
    {
        std::vector<fs::path> notPutBack;
        std::error_code ec;
        while (!steps_.empty()) {
            if (steps_.back() == Step::Placed) {
                // A kept file put back below replaces it; a new one goes.
                fs::remove(placed_.back(), ec);
                placed_.pop_back();
            } else {
                const auto& [target, kept] = kept_.back();
                fs::rename(kept, target, ec);
                if (ec)
                    notPutBack.push_back(kept);
                kept_.pop_back();
            }
            steps_.pop_back();
        }
        for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder)
            fs::remove(*folder, ec); // only when empty
        return notPutBack;
    }

private:
    enum class Step { Kept, Placed };

    static void rename(const fs::path& from, const fs::path& to, const char* operation)
    {
        std::error_code ec;
        fs::rename(from, to, ec);
        if (ec)
            throw IoError(operation, from);
    }

    fs::path programFolder_;
    std::vector<Step> steps_;
    std::vector<std::pair<fs::path, fs::path>> kept_;
    std::vector<fs::path> placed_;
    std::vector<fs::path> madeFolders_;
};

} // namespace

RestoredArchive restoreArchive(const fs::path& archive, const fs::path& programFolder, const std::string& stamp,
                               const ArchiveProgress& progress)
{
    const RestorePlan plan = planRestore(archive, programFolder);
    const double steps = static_cast<double>(plan.files.size()) * 2 + 1;
    double done = 0;
    auto step = [&] {
        if (progress)
            progress(++done / steps);
    };

    // Everything is unpacked and checked before the first file is touched.
    StagingFolder staging(programFolder, stamp);
    const std::vector<fs::path> staged = unpackPlanned(archive, plan.files, staging.path(), step);

    RestoredArchive result;
    const fs::path kept = freeName(joinPath(programFolder, kArchiveFolder), "przed-przywroceniem-" + stamp, "");
    Moves moves(programFolder);
    try {
        for (std::size_t i = 0; i < plan.files.size(); ++i) {
            const fs::path& target = plan.files[i].target;
            // Checked again: the folder may have changed while unpacking.
            if (!staysInside(target.parent_path(), programFolder))
                throw IoError(kRestoreFailed, target);
            std::error_code ec;
            if (fs::exists(fs::symlink_status(target, ec))) {
                const fs::path keptFile = kept / target.lexically_relative(programFolder);
                if (!staysInside(keptFile.parent_path(), programFolder))
                    throw IoError(kKeepFailed, target);
                moves.makeFolders(keptFile.parent_path());
                moves.keep(target, keptFile);
                result.keptFolder = kept;
                ++result.replacedCount;
            }
            moves.makeFolders(target.parent_path());
            moves.place(staged[i], target);
            ++result.fileCount;
            step();
        }
        for (const PlannedFolder& folder : plan.folders) {
            if (!staysInside(folder.target, programFolder))
                throw IoError(kFolderFailed, folder.target);
            moves.makeFolders(folder.target);
        }
    } catch (const IoError& error) {
        throw UndoneRestore(error, moves.undo());
    }
    if (progress)
        progress(1.0);
    return result;
}

} // namespace wirtello
