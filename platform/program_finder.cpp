#include "program_finder.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace wirtello {
namespace {

#ifdef _WIN32
constexpr char kPathSeparator = ';';
#else
constexpr char kPathSeparator = ':';
#endif

bool endsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

bool isExecutableFile(const std::filesystem::path& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status))
        return false;
    using std::filesystem::perms;
    return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none;
}

std::optional<std::filesystem::path> findIn(const std::vector<std::filesystem::path>& folders,
                                            const std::vector<std::string>& names)
{
    for (const auto& folder : folders) {
        for (const auto& name : names) {
            const std::filesystem::path candidate = folder / name;
            if (isExecutableFile(candidate))
                return candidate;
        }
    }
    return std::nullopt;
}

// Desktop calculators, best known first.
const std::vector<std::string>& calculatorNames()
{
    static const std::vector<std::string> names{"gnome-calculator", "kcalc",     "galculator", "mate-calc",
                                                "qalculate-gtk",    "speedcrunch", "xcalc"};
    return names;
}

} // namespace

std::vector<std::string> programNameCandidates(std::string_view name)
{
    std::vector<std::string> names{std::string(name)};
    if (name.size() > 4 && endsWithNoCase(name, ".exe"))
        names.emplace_back(name.substr(0, name.size() - 4));
    return names;
}

std::vector<std::filesystem::path> pathFolders(std::string_view pathVariable)
{
    std::vector<std::filesystem::path> folders;
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        std::size_t end = pathVariable.find(kPathSeparator, start);
        if (end == std::string_view::npos)
            end = pathVariable.size();
        if (end > start)
            folders.emplace_back(std::string(pathVariable.substr(start, end - start)));
        start = end + 1;
    }
    return folders;
}

std::optional<std::filesystem::path> findProgram(std::string_view name, const std::filesystem::path& ownFolder,
                                                 std::string_view pathVariable)
{
    if (name.empty())
        return std::nullopt;
    const std::vector<std::string> names = programNameCandidates(name);
    if (std::filesystem::path(std::string(name)).is_absolute()) {
        for (const auto& candidate : names) {
            if (isExecutableFile(candidate))
                return std::filesystem::path(candidate);
        }
        return std::nullopt;
    }

    std::vector<std::filesystem::path> folders;
    if (!ownFolder.empty())
        folders.push_back(ownFolder);
    for (auto& folder : pathFolders(pathVariable)) {
        // A relative PATH entry would depend on whatever folder is current.
        if (folder.is_absolute())
            folders.push_back(std::move(folder));
    }
    // A "calc" on the PATH may well be a terminal program; the Windows name
    // means the windowed calculator.
    if (name.size() == 8 && endsWithNoCase(name, "calc.exe"))
        return findIn(folders, calculatorNames());
    return findIn(folders, names);
}

} // namespace wirtello
