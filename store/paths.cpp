#include "paths.h"

#include "io_error.h"

#include <algorithm>
#include <cctype>
#include <system_error>

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

std::filesystem::path currentFolder()
{
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    if (ec)
        throw IoError("Nie można ustalić bieżącego folderu", folder);
    return folder;
}

} // namespace wirtello
