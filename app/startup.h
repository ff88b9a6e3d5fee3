#pragma once

#include "platform/platform.h"
#include "store/app_data.h"
#include "store/io_error.h"

#include <filesystem>
#include <functional>

namespace wirtello {

// Start-up steps on the data between the card's clearing and the list's
// filling: companion configuration, own company record, contact files and the
// database load. A failing step that does not concern the contacts is
// reported and the next step runs, so a good database is always listed; a
// failure of the contacts' own steps is raised.
void prepareProgramFolder(AppData& data, const std::function<void(const IoError&)>& report);

// Finishes (or undoes) a restore of the archiver that was cut off half way,
// before any data is read, and tells the user what was done.
void finishCutOffRestores(const std::filesystem::path& programFolder, Platform& platform);

// The environment variable in which the launcher hands over why it could not
// lay out the program folder; it then starts the program only to show that.
inline constexpr const char* kLauncherErrorVariable = "WIRTELLO_LAUNCHER_ERROR";

// The launcher's message, or null when it handed over none.
const char* launcherError();
// Shows the launcher's message in the error box when it handed one over; true
// when it did, and the run then ends there.
bool showLauncherError(Platform& platform);

} // namespace wirtello
