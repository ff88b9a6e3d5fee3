#include "network_mode.h"

#include "store/cp1250.h"
#include "store/io_error.h"
#include "store/program_folder.h"
#include "store/safe_file.h"

#include <cctype>

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

namespace {

bool isWindowsAbsolutePath(std::string_view text)
{
    const bool driveLetter = text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':'
        && (text[2] == '\\' || text[2] == '/');
    const bool networkShare = text.starts_with("\\\\");
    return driveLetter || networkShare;
}

} // namespace

std::filesystem::path selectedFolder(const NetworkModeRecord& record, const std::filesystem::path& current)
{
    std::string text;
    switch (record.mode()) {
    case NetworkModeRecord::kLocalMode:
        // A program folder with letters outside Windows-1250 was recorded with
        // '?' in their place; that record still means this very folder.
        if (record.rawText(NetworkModeRecord::kLocalFolder) == toCp1250(current.string()))
            return current;
        text = record.localFolder();
        // A folder brought over from Windows names its old place
        // ("C:\Wirtello"), which does not exist here: it meant this folder.
        if (isWindowsAbsolutePath(text))
            return current;
        break;
    case NetworkModeRecord::kNetworkMode:
        text = record.networkFolder();
        break;
    default:
        return current;
    }
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
