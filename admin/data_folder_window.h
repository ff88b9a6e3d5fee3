#pragma once

#include "network_mode.h"

#include "platform/program_window.h"

#include <filesystem>

namespace wirtello {

class Platform;

// A program window whose files live in the data folder that the program
// folder's network mode record selects.
class DataFolderWindow : public ProgramWindow {
    Q_OBJECT
public:
    using ProgramWindow::ProgramWindow;

    const std::filesystem::path& dataFolder() const { return dataFolder_; }

protected:
    // For initialise(): reads the network mode record and takes the folder it
    // selects. False, the window staying closed, after a failed step was shown
    // or when the program ends at the server check.
    bool resolveDataFolder(Platform& platform, const std::filesystem::path& programFolder, bool serverCheck);

private:
    NetworkModeRecord siec_;
    std::filesystem::path dataFolder_;
};

} // namespace wirtello
