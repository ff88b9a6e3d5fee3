#include "data_folder_window.h"

#include "data_folder.h"

#include "platform/platform.h"

namespace wirtello {

bool DataFolderWindow::resolveDataFolder(Platform& platform, const std::filesystem::path& programFolder,
                                         bool serverCheck)
{
    std::optional<std::filesystem::path> folder;
    try {
        folder = ResolveDataFolder(siec_, serverCheck, platform, programFolder);
    } catch (const IoError& error) {
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
