#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The file names tried for a program: the name as given and, when it ends in
// ".exe" (any case), also the name without it.
std::vector<std::string> programNameCandidates(std::string_view name);

// The folders of a PATH value, in order; empty entries are skipped.
std::vector<std::filesystem::path> pathFolders(std::string_view pathVariable);

// Finds the executable file for a program name: first in `ownFolder` (the
// folder of the running program, where the shipped companions live), then in
// the folders of `pathVariable`. An absolute name is taken as it stands. The
// Windows name "calc.exe" stands for the desktop's calculator.
std::optional<std::filesystem::path> findProgram(std::string_view name, const std::filesystem::path& ownFolder,
                                                 std::string_view pathVariable);

} // namespace wirtello
