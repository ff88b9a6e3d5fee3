#pragma once

#include <filesystem>
#include <string_view>

namespace wirtello {

// Joins a folder and a relative path written with "\" or "/" separators
// ("\NOTATKI\x.dat", "/Admini/historia.dat", "FONT\f.dat"). Each component that
// already exists on disk is taken with its on-disk spelling, found without
// regard to letter case; a component that does not exist keeps the spelling given.
std::filesystem::path joinPath(const std::filesystem::path& folder, std::string_view relative);

// The on-disk spelling of `name` inside `folder` when an entry matches it without
// regard to letter case, else `name` itself.
std::string existingSpelling(const std::filesystem::path& folder, std::string_view name);

bool fileExists(const std::filesystem::path& path);

// The current directory. One that cannot be taken (a network folder that has
// gone away) raises IoError, so it reaches the error box like any file step.
std::filesystem::path currentFolder();

} // namespace wirtello
