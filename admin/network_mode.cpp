#include "network_mode.h"

#include "store/io_error.h"
#include "store/program_folder.h"
#include "store/safe_file.h"

namespace wirtello {

std::filesystem::path networkModePath(const std::filesystem::path& folder)
{
    return fileIn(folder, kAdminFolder, "siec.dat");
}

NetworkModeRecord loadNetworkMode(const std::filesystem::path& current)
{
    NetworkModeRecord firstStart;
    firstStart.setMode(NetworkModeRecord::kLocalMode);
    firstStart.setLocalFolder(current.string());
    return loadOrCreate(networkModePath(current), firstStart);
}

std::filesystem::path selectedFolder(const NetworkModeRecord& record, const std::filesystem::path& current)
{
    // Local mode is the folder started, whatever the record names: the first
    // start records its own absolute path, so a copied folder would otherwise
    // go on writing into the original, and a folder brought over from Windows
    // names a place ("C:\Wirtello") that does not exist here. The record is
    // left as it is.
    if (record.mode() != NetworkModeRecord::kNetworkMode)
        return current;
    const std::string text = record.networkFolder();
    if (text.empty())
        return current.root_path();
    return std::filesystem::path(text);
}

bool networkFolderReachable(const std::filesystem::path& networkFolder)
{
    // Opened for reading and writing as the record files are, and closed at once.
    try {
        RegularFile file(networkModePath(networkFolder), FileAccess::ReadWrite);
        return true;
    } catch (const IoError&) {
        return false;
    }
}

void switchToLocalMode(NetworkModeRecord& record, const std::filesystem::path& current)
{
    record.setMode(NetworkModeRecord::kLocalMode);
    storeRecord(networkModePath(current), record);
}

bool holdsBossLevel()
{
    static const bool bossLevel = false;
    return bossLevel;
}

} // namespace wirtello
