#include "archive_selection.h"

#include "companions/companion_kit/companion_files.h"
#include "store/cp1250.h"
#include "store/paths.h"
#include "store/record_file.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <system_error>

namespace wirtello {
namespace {

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool wildcardMatch(std::string_view name, std::string_view mask)
{
    // Iterative match with backtracking to the last '*'.
    std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lower(mask[m]) == lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

// Capacity of the record's texts, in Windows-1250 characters.
constexpr std::size_t kFieldCapacity = 200;

bool fillsField(const std::string& text)
{
    return toCp1250(text).size() >= kFieldCapacity;
}

// Folder (below the program folder) and mask of each pattern.
struct FolderMask {
    std::string folder;
    std::string mask;
};

// Start-up cuts each text of the record to its capacity. Under a long program
// folder the patterns lose their folder names, so then the folders start-up
// names are taken whole below the real program folder.
std::vector<FolderMask> folderMasks(const CompanionConfig& config, std::vector<std::string>& outsidePatterns)
{
    std::vector<FolderMask> result;
    if (fillsField(config.baseFolder) || std::ranges::any_of(config.patterns, fillsField)) {
        for (std::string& folder : companionFolders())
            result.push_back({std::move(folder), "*.*"});
        return result;
    }
    for (const std::string& pattern : config.patterns) {
        // The record names folders under the program folder as it was spelled
        // at start; what follows that prefix is the folder and mask.
        if (config.baseFolder.empty() || !pattern.starts_with(config.baseFolder)) {
            outsidePatterns.push_back(pattern);
            continue;
        }
        const std::string relative = pattern.substr(config.baseFolder.size());
        const auto split = relative.find_last_of("\\/");
        const std::string folderPart = split == std::string::npos ? std::string() : relative.substr(0, split);
        if (folderPart.find("..") != std::string::npos) {
            outsidePatterns.push_back(pattern);
            continue;
        }
        result.push_back({folderPart, split == std::string::npos ? relative : relative.substr(split + 1)});
    }
    return result;
}

// The record's layout was fixed before the newer companions came, so their
// folders are added here rather than written into it.
void addCompanionDataFolders(std::vector<FolderMask>& folders)
{
    for (const std::string_view folder : kCompanionDataFolders)
        folders.push_back({std::string(folder), "*.*"});
}

bool isBelow(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const auto relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

bool matchesMask(std::string_view name, std::string_view mask)
{
    if (mask == "*.*")
        mask = "*";
    return wildcardMatch(name, mask);
}

ArchiveSelection selectArchiveFiles(const CompanionConfig& config, const std::filesystem::path& programFolder)
{
    ArchiveSelection selection;
    std::map<std::string, std::filesystem::path> found;
    std::set<std::string> leadingOut;
    const std::filesystem::path archives = joinPath(programFolder, kArchiveFolder);
    std::vector<FolderMask> folders = folderMasks(config, selection.outsidePatterns);
    addCompanionDataFolders(folders);
    for (const auto& [folderPart, mask] : folders) {
        const std::filesystem::path folder = joinPath(programFolder, folderPart);
        std::error_code ec;
        if (mask.empty() || !std::filesystem::is_directory(folder, ec))
            continue;
        if (!staysInside(folder, programFolder)) {
            leadingOut.insert(folder.lexically_relative(programFolder).generic_string());
            continue;
        }
        const auto options = std::filesystem::directory_options::skip_permission_denied;
        for (std::filesystem::recursive_directory_iterator it(folder, options, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::filesystem::path& path = it->path();
            // Links are not followed; those leading out are named.
            if (it->is_symlink(ec)) {
                if (!staysInside(path, programFolder))
                    leadingOut.insert(path.lexically_relative(programFolder).generic_string());
                continue;
            }
            if (!it->is_regular_file(ec))
                continue;
            if (isBelow(path, archives) || isTemporaryFileName(path) || !matchesMask(path.filename().string(), mask))
                continue;
            found.emplace(path.lexically_relative(programFolder).generic_string(), path);
        }
    }
    for (auto& [name, path] : found)
        selection.files.push_back({path, name});
    selection.linksLeadingOut.assign(leadingOut.begin(), leadingOut.end());
    return selection;
}

} // namespace wirtello
