#include "restore_plan.h"

#include "store/paths.h"

#include <cctype>
#include <map>
#include <set>
#include <system_error>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

// Longest name of one file or folder that file systems take.
constexpr std::size_t kMaxNameBytes = 255;
// Deepest path restored, in folders below the program folder, and the longest
// one in bytes (the system's own limit): the program's folders are shallow.
constexpr std::size_t kMaxDepth = 64;
constexpr std::size_t kMaxPathBytes = 4095;

bool isBelow(const fs::path& path, const fs::path& folder)
{
    const auto relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

bool sameNameAnyCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

void checkName(const ArchiveEntry& entry, const fs::path& programFolder)
{
    const std::string& path = entry.relativePath;
    const std::string_view first = std::string_view(path).substr(0, path.find('/'));
    // The archives and the kept files live in "Archiwa"; staging folders are ours.
    if (sameNameAnyCase(first, kArchiveFolder) || first.starts_with(kStagingPrefix))
        throw RefusedArchive(path, "zawiera plik, który zapisałby się w folderze Archiwa lub folderze przywracania");
    std::size_t depth = 0;
    for (const auto& part : fs::path(path)) {
        if (part.native().size() > kMaxNameBytes)
            throw RefusedArchive(path, "zawiera za długą nazwę");
        ++depth;
    }
    if (depth > kMaxDepth || (programFolder / path).native().size() > kMaxPathBytes)
        throw RefusedArchive(path, "zawiera zbyt głęboko zagnieżdżoną ścieżkę");
}

void checkClashes(const RestorePlan& plan, const fs::path& programFolder)
{
    std::set<fs::path> fileTargets;
    for (const PlannedFile& file : plan.files)
        fileTargets.insert(file.target);
    std::error_code ec;
    for (const PlannedFile& file : plan.files) {
        if (fs::is_directory(fs::symlink_status(file.target, ec)))
            throw RefusedArchive(file.entry.relativePath, "zawiera plik, w którego miejscu jest folder");
        for (auto parent = file.target.parent_path(); isBelow(parent, programFolder); parent = parent.parent_path()) {
            if (fileTargets.contains(parent))
                throw RefusedArchive(file.entry.relativePath, "zawiera plik i folder o tej samej nazwie");
            if (fs::exists(parent, ec) && !fs::is_directory(parent, ec))
                throw RefusedArchive(file.entry.relativePath, "zawiera folder, w którego miejscu jest plik");
        }
    }
    for (const PlannedFolder& folder : plan.folders) {
        if (fileTargets.contains(folder.target))
            throw RefusedArchive(folder.entry.relativePath, "zawiera plik i folder o tej samej nazwie");
        if (fs::exists(folder.target, ec) && !fs::is_directory(folder.target, ec))
            throw RefusedArchive(folder.entry.relativePath, "zawiera folder, w którego miejscu jest plik");
    }
}

void checkLinks(const RestorePlan& plan, const fs::path& programFolder)
{
    const char* const reason = "prowadzi przez dowiązanie poza folder programu";
    // The replaced files are moved into "Archiwa": it must stay inside too.
    const fs::path archives = joinPath(programFolder, kArchiveFolder);
    if (!staysInside(archives, programFolder))
        throw RefusedArchive(std::string(kArchiveFolder), reason);
    for (const PlannedFile& file : plan.files) {
        if (!staysInside(file.target.parent_path(), programFolder))
            throw RefusedArchive(file.entry.relativePath, reason);
    }
    for (const PlannedFolder& folder : plan.folders) {
        if (!staysInside(folder.target, programFolder))
            throw RefusedArchive(folder.entry.relativePath, reason);
    }
}

void checkSize(const RestorePlan& plan, const fs::path& archive, const fs::path& programFolder)
{
    const std::uint64_t total = plan.unpackedBytes;
    const std::string unpacked = "rozpakowuje się do " + sizeText(total);
    if (total > kMaxUnpackedBytes)
        throw RefusedArchive({}, unpacked + ", więcej niż przywraca się z jednego archiwum (" +
                                     sizeText(kMaxUnpackedBytes) + ")");
    std::error_code ec;
    const std::uint64_t packed = fs::file_size(archive, ec);
    if (!ec && total > kUncheckedBytes && total / kMaxPackRatio > packed)
        throw RefusedArchive({}, unpacked + " z " + sizeText(packed) + ", ponad " + std::to_string(kMaxPackRatio) +
                                     " razy więcej, niż zajmuje; tak gęsto pakuje się tylko archiwa, które mają "
                                     "zapełnić dysk");
    const fs::space_info space = fs::space(programFolder, ec);
    if (!ec && total > space.available)
        throw RefusedArchive({}, unpacked + ", a na dysku folderu programu jest wolne tylko " +
                                     sizeText(space.available));
}

} // namespace

std::string sizeText(std::uint64_t bytes)
{
    if (bytes < 1024) {
        return std::to_string(bytes) + " B";
    }
    const char* const units[] = {"KB", "MB", "GB", "TB"};
    std::uint64_t unit = 1024;
    int index = 0;
    while (index < 3 && bytes >= unit * 1024) {
        unit *= 1024;
        ++index;
    }
    const std::uint64_t tenths = (bytes * 10 + unit / 2) / unit;
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " " + units[index];
}

bool staysInside(const fs::path& folder, const fs::path& programFolder)
{
    std::error_code ec;
    fs::path path = programFolder;
    for (const auto& part : folder.lexically_relative(programFolder)) {
        path /= part;
        const fs::file_status status = fs::symlink_status(path, ec);
        if (!fs::exists(status))
            break; // nothing below exists, so no link is on the rest of the way
        if (fs::is_symlink(status) && !fs::exists(path, ec))
            return false; // a folder made through it would appear wherever it points
    }
    const fs::path root = fs::weakly_canonical(programFolder, ec);
    if (ec)
        return false;
    const fs::path resolved = fs::weakly_canonical(folder, ec);
    return !ec && (resolved == root || isBelow(resolved, root));
}

RestorePlan planRestore(const fs::path& archive, const fs::path& programFolder)
{
    std::map<fs::path, PlannedFile> files;
    RestorePlan plan;
    for (ArchiveEntry& entry : readArchiveEntries(archive)) {
        checkName(entry, programFolder);
        fs::path target = joinPath(programFolder, entry.relativePath);
        if (entry.isFolder)
            plan.folders.push_back({std::move(entry), std::move(target)});
        else if (files.contains(target)) // spelt apart ("a//b", "./a/b", any case of a folder found)
            throw RefusedArchive(entry.relativePath, "zawiera dwa pliki o tej samej nazwie");
        else
            files.emplace(target, PlannedFile{std::move(entry), target});
    }
    for (auto& [target, file] : files) {
        plan.unpackedBytes += file.entry.size;
        plan.files.push_back(std::move(file));
    }
    checkClashes(plan, programFolder);
    checkLinks(plan, programFolder);
    checkSize(plan, archive, programFolder);
    return plan;
}

ArchiveSummary checkArchive(const fs::path& archive, const fs::path& programFolder)
{
    const RestorePlan plan = planRestore(archive, programFolder);
    return {plan.files.size(), plan.unpackedBytes};
}

} // namespace wirtello
