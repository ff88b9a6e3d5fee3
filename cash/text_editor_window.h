#pragma once

#include "admin/network_mode.h"
#include "platform/program_window.h"
#include "store/app_data.h"

#include <filesystem>

namespace wirtello {

class Platform;

// Text editor ("Notatnik"). For now it only resolves its data folder: being
// created before the other windows that do, it writes "siec.dat" on a first
// start and makes the server check first.
class Tlogowania_f : public ProgramWindow {
    Q_OBJECT
public:
    Tlogowania_f(AppData& data, Platform& platform, QWidget* parent = nullptr);

    void initialise() override;

    const std::filesystem::path& dataFolder() const { return dataFolder_; }

private:
    AppData& data_;
    Platform& platform_;
    NetworkModeRecord siec_;
    std::filesystem::path dataFolder_;
};

} // namespace wirtello
