#include "data_folder_window.h"

#include "data_folder.h"

#include "platform/platform.h"

#include <set>
#include <string>
#include <utility>

namespace wirtello {

namespace {

// The faults shown while the windows are made at start, before any is opened.
// Each window that keeps its files in the data folder reads the same record
// then, and one fault is worth one box; a window the user opens says it again.
bool firstShownAtStart(const IoError& error)
{
    static std::set<std::pair<std::string, std::filesystem::path>> shown;
    return shown.emplace(error.operation(), error.path()).second;
}

} // namespace

bool DataFolderWindow::resolveDataFolder(Platform& platform, const std::filesystem::path& programFolder,
                                         bool serverCheck)
{
    std::optional<std::filesystem::path> folder;
    try {
        folder = ResolveDataFolder(siec_, serverCheck, platform, programFolder);
    } catch (const IoError& error) {
        if (widgetsBuilt() || firstShownAtStart(error))
            platform.showError(error);
    }
    if (!folder) {
        initialiseFailed();
        return false;
    }
    dataFolder_ = *folder;
    return true;
}

} // namespace wirtello
