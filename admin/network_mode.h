#pragma once

#include "store/fixed_record.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// "siec.dat": which folder the envelope, cash document, text editor and run
// history windows keep their files in. Mode byte, then the local and the network
// folder as counted texts of capacity 200 (403 bytes).
class NetworkModeRecord : public FixedRecord<403> {
public:
    static constexpr std::uint8_t kLocalMode = 1;
    static constexpr std::uint8_t kNetworkMode = 2;
    static constexpr TextField kLocalFolder{1, 200};
    static constexpr TextField kNetworkFolder{202, 200};

    std::uint8_t mode() const { return byte(0); }
    void setMode(std::uint8_t mode) { setByte(0, mode); }
    std::string localFolder() const { return text(kLocalFolder); }
    std::string networkFolder() const { return text(kNetworkFolder); }
    void setLocalFolder(std::string_view utf8) { setText(kLocalFolder, utf8); }
    void setNetworkFolder(std::string_view utf8) { setText(kNetworkFolder, utf8); }
};

// Folder followed by "\Admini\siec.dat".
std::filesystem::path networkModePath(const std::filesystem::path& folder);

// The record of `current`, created in local mode on that folder when the
// file is missing. A missing "Admini" or a short file raises IoError.
NetworkModeRecord loadNetworkMode(const std::filesystem::path& current);

// Whether the record asks for the network folder (the only case with a server check).
inline bool inNetworkMode(const NetworkModeRecord& record) { return record.mode() == NetworkModeRecord::kNetworkMode; }

// The folder the record selects: the network folder in mode 2, `current` (the
// folder started) otherwise, whatever local folder the record names. An empty
// network folder text names the root of the current drive, as a path
// beginning with a separator would.
std::filesystem::path selectedFolder(const NetworkModeRecord& record, const std::filesystem::path& current);

// Whether the network folder's own copy of the record opens for reading and
// writing. Any failure (no file, no share, no write access) counts as unreachable.
bool networkFolderReachable(const std::filesystem::path& networkFolder);

// Rewrites the record of `current` in local mode, keeping both folder texts.
void switchToLocalMode(NetworkModeRecord& record, const std::filesystem::path& current);

// The boss level ("Szef"). No run of the program holds it: there is no login.
bool holdsBossLevel();

} // namespace wirtello
