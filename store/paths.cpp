#include "paths.h"

#include "io_error.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

namespace wirtello {
namespace {

// Letter case folding for ASCII and the Polish letters of UTF-8 names.
std::string foldCase(std::string_view name)
{
    static constexpr std::string_view kUpper[] = {"Ą", "Ć", "Ę", "Ł", "Ń", "Ó", "Ś", "Ź", "Ż"};
    static constexpr std::string_view kLower[] = {"ą", "ć", "ę", "ł", "ń", "ó", "ś", "ź", "ż"};
    std::string out;
    for (size_t i = 0; i < name.size();) {
        bool replaced = false;
        for (size_t k = 0; k < std::size(kUpper); ++k) {
            if (name.substr(i, kUpper[k].size()) == kUpper[k]) {
                out += kLower[k];
                i += kUpper[k].size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
            ++i;
        }
    }
    return out;
}

} // namespace

std::string existingSpelling(const std::filesystem::path& folder, std::string_view name)
{
    std::error_code ec;
    if (name.empty() || name == "." || name == "..")
        return std::string(name);
    if (std::filesystem::exists(folder / std::string(name), ec))
        return std::string(name);
    const std::string wanted = foldCase(name);
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (foldCase(candidate) == wanted)
            return candidate;
    }
    return std::string(name);
}

std::filesystem::path joinPath(const std::filesystem::path& folder, std::string_view relative)
{
    std::filesystem::path result = folder;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = relative.find_first_of("\\/", start);
        const std::string_view part = relative.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!part.empty())
            result /= existingSpelling(result, part);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return result;
}

bool fileExists(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

namespace {

bool isRegularFile(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The names of a stored path that may stand below a folder: no drive ("C:"),
// no empty names, nothing up to and including the last "..".
std::vector<std::string_view> tailNames(std::string_view stored)
{
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start <= stored.size()) {
        const size_t end = stored.find_first_of("\\/", start);
        std::string_view name = stored.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (start == 0 && name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
            name.remove_prefix(2); // "C:" or a drive-relative "C:anna.jpg"
        if (name == "..")
            names.clear();
        else if (!name.empty() && name != ".")
            names.push_back(name);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return names;
}

// `names` below `base` when every folder and the file exist, found without regard to letter case.
std::optional<std::filesystem::path> existingBelow(const std::filesystem::path& base,
                                                   std::span<const std::string_view> names)
{
    std::filesystem::path path = base;
    std::error_code ec;
    for (size_t i = 0; i < names.size(); ++i) {
        path /= existingSpelling(path, names[i]);
        const bool last = i + 1 == names.size();
        if (last ? !isRegularFile(path) : !std::filesystem::is_directory(path, ec))
            return std::nullopt;
    }
    return path;
}

} // namespace

std::filesystem::path resolveStoredPath(const std::filesystem::path& base, std::string_view stored)
{
    if (stored.empty())
        return {};
    const std::filesystem::path asWritten{std::string(stored)};
    if (asWritten.is_absolute() && isRegularFile(asWritten))
        return asWritten;

    const std::vector<std::string_view> names = tailNames(stored);
    for (size_t first = 0; first < names.size(); ++first) {
        if (auto found = existingBelow(base, std::span(names).subspan(first)))
            return *found;
    }
    if (asWritten.is_absolute())
        return asWritten;
    std::filesystem::path below = base;
    for (const std::string_view name : names)
        below /= existingSpelling(below, name);
    return below;
}

std::filesystem::path currentFolder()
{
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    if (ec)
        throw IoError("Nie można ustalić bieżącego folderu", folder);
    return folder;
}

} // namespace wirtello
