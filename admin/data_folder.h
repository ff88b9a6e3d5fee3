#pragma once

#include "network_mode.h"

#include <filesystem>
#include <optional>

namespace wirtello {

class Platform;

// ResolveDataFolder: reads (creating on first start) the network mode record of
// the program folder into the window's own copy and returns the folder it
// selects. With the server check, in network mode, an unreachable server makes
// the program end after asking whether to switch to local mode; the result is
// then empty, for a platform whose endProcess() returns (tests). A missing
// "Admini" or a short record raises IoError.
std::optional<std::filesystem::path> ResolveDataFolder(NetworkModeRecord& record, bool serverCheck,
                                                       Platform& platform,
                                                       const std::filesystem::path& programFolder);

// Guard of the operations reserved to the boss level: shows the refusal and
// returns false unless the run holds that level (which it never does).
bool checkBossLevel(Platform& platform);

} // namespace wirtello
