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

// The file a stored path names, for paths kept in records ("C:\Wirtello\LOGO\anna.jpg",
// "LOGO\anna.jpg", "/home/anna/Wirtello/LOGO/anna.jpg"). An absolute path that
// exists is taken as written. Otherwise the longest tail of its components that
// names an existing file below `base` is taken, each name found without regard
// to letter case, so a folder brought over from another computer finds its own
// files. When nothing exists: an absolute path as written, a relative one below
// `base`. Never relative to the current directory, never above `base` through "..".
std::filesystem::path resolveStoredPath(const std::filesystem::path& base, std::string_view stored);

// The current directory. One that cannot be taken (a network folder that has
// gone away) raises IoError, so it reaches the error box like any file step.
std::filesystem::path currentFolder();

} // namespace wirtello
