#include "network_mode.h"

#include "store/counted_text.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"

#include <cstdio>
#include <system_error>

namespace wirtello {
namespace {

constexpr std::size_t kFolderField = 201;
constexpr std::size_t kLocalOffset = 1;
constexpr std::size_t kNetworkOffset = 202;

} // namespace

std::string NetworkModeRecord::localFolder() const { return readCounted(bytes().subspan(kLocalOffset, kFolderField)); }
std::string NetworkModeRecord::networkFolder() const { return readCounted(bytes().subspan(kNetworkOffset, kFolderField)); }
void NetworkModeRecord::setLocalFolder(std::string_view t) { writeCounted(bytes().subspan(kLocalOffset, kFolderField), t); }
void NetworkModeRecord::setNetworkFolder(std::string_view t) { writeCounted(bytes().subspan(kNetworkOffset, kFolderField), t); }

std::filesystem::path networkModePath(const std::filesystem::path& folder)
{
    return joinPath(folder, "\\Admini\\siec.dat");
}

NetworkModeRecord loadNetworkMode(const std::filesystem::path& current)
{
    const std::filesystem::path path = networkModePath(current);
    NetworkModeRecord record;
    if (!fileExists(path)) {
        record.setMode(NetworkModeRecord::kLocalMode);
        record.setLocalFolder(current.string());
        writeRecord(path, record.bytes());
    }
    // Read into a fresh record so a failed read leaves nothing half-filled.
    NetworkModeRecord read;
    readRecordInto(path, read.bytes());
    return read;
}

std::filesystem::path selectedFolder(const NetworkModeRecord& record, const std::filesystem::path& current)
{
    std::string text;
    switch (record.mode()) {
    case NetworkModeRecord::kLocalMode:
        text = record.localFolder();
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
    const std::filesystem::path path = networkModePath(networkFolder);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    // Opened as every record file is, for reading and writing, and closed at once.
    std::FILE* file = std::fopen(path.string().c_str(), "r+b");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

void switchToLocalMode(NetworkModeRecord& record, const std::filesystem::path& current)
{
    record.setMode(NetworkModeRecord::kLocalMode);
    writeRecord(networkModePath(current), record.bytes());
}

bool holdsBossLevel()
{
    static const bool bossLevel = false;
    return bossLevel;
}

} // namespace wirtello
