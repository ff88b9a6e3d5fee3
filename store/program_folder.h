#pragma once

#include "paths.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace wirtello {

// The subfolders of the program folder (and of a data folder), each spelled
// once. They are found on disk without regard to letter case.
inline constexpr std::string_view kAdminFolder = "Admini";
inline constexpr std::string_view kNotesFolder = "NOTATKI";
inline constexpr std::string_view kDocumentsFolder = "DOKUMENTY";
inline constexpr std::string_view kFontFolder = "FONT";
inline constexpr std::string_view kLogoFolder = "LOGO";
inline constexpr std::string_view kEnvelopesFolder = "Koperty";

// `base`, then `subfolder`, then `fileName`, each existing name in its on-disk spelling.
inline std::filesystem::path fileIn(const std::filesystem::path& base, std::string_view subfolder,
                                    std::string_view fileName)
{
    std::string relative(subfolder);
    relative += '\\';
    relative += fileName;
    return joinPath(base, relative);
}

} // namespace wirtello
